#include <gtest/gtest.h>

#include "PanelTestHelpers.h"
#include "StepPagesTestHelpers.h"
#include "ui/CAiraDisplay.h"

namespace
{
using juce::ModifierKeys;
using oxn3test::EditorFixture;

const ModifierKeys kNone;
const ModifierKeys kShift(ModifierKeys::shiftModifier);
const ModifierKeys kCtrl(ModifierKeys::ctrlModifier);
const ModifierKeys kCommand(ModifierKeys::commandModifier);
const ModifierKeys kCommandShift(ModifierKeys::commandModifier | ModifierKeys::shiftModifier);

struct AiraFixture : EditorFixture
{
    CAiraDisplay page{nullptr, editor.get()};

    explicit AiraFixture(float scale = 1.0f)
    {
        page.setSynth(&synth);
        page.setScale(scale);
        page.setBounds(0, 0, static_cast<int>(622 * scale), static_cast<int>(137 * scale));
        page.update();
        for (int i = 0; i < 64; ++i)
            pattern.steps[i] = step_t{static_cast<std::int8_t>(i % 24), step_t::kGate};
    }

    juce::Point<int> at(float x, float y) const { return {int(x * page.scale), int(y * page.scale)}; }
    juce::Point<int> cell(int column, int row) const { return at(119.0f + 32 * column, 13.0f + 18 * row); }
};

TEST(AiraDisplay, CtrlPressInsertsAStepWithinTheLength)
{
    AiraFixture f;
    f.pattern.setLength(8);
    const Vst303Pattern before = f.pattern;
    f.page.pointerPressed(f.cell(2, 1), kCtrl);
    EXPECT_EQ(f.pattern.steps[2].pitch, before.steps[2].pitch);
    for (int i = 3; i < 8; ++i)
        EXPECT_EQ(f.pattern.steps[i].pitch, before.steps[i - 1].pitch) << i;
    EXPECT_EQ(f.pattern.steps[8].pitch, before.steps[8].pitch);
    EXPECT_EQ(f.pattern.getLength(), 8);

    const Vst303Pattern beforeLast = f.pattern;
    f.page.pointerPressed(f.cell(7, 1), kCtrl);
    EXPECT_EQ(0, std::memcmp(&beforeLast, &f.pattern, sizeof(Vst303Pattern)));
}

TEST(AiraDisplay, PitchDragStopsAtTheTopAndReanchors)
{
    AiraFixture f;
    f.pattern.steps[0].pitch = 0;
    const auto start = f.cell(0, 1);
    f.page.pointerPressed(start, kNone);
    f.page.pointerDragged(start.translated(0, -200), kNone);
    EXPECT_EQ(f.pattern.steps[0].pitch, 36);
    f.page.pointerDragged(start.translated(0, -196), kNone);
    EXPECT_EQ(f.pattern.steps[0].pitch, 35);
}

TEST(AiraDisplay, ShiftDragTransposesOnlyStepsWithinTheLength)
{
    AiraFixture f;
    f.pattern.setLength(4);
    const Vst303Pattern before = f.pattern;
    const auto start = f.cell(1, 1);
    f.page.pointerPressed(start, kNone);
    f.page.pointerDragged(start.translated(0, -8), kShift);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(f.pattern.steps[i].pitch, before.steps[i].pitch + (i < 4 ? 2 : 0)) << i;
}

TEST(AiraDisplay, ModifierDragsPaintGates)
{
    struct Case
    {
        ModifierKeys mods;
        bool gatesBefore;
        bool gatesAfter;
    };
    // Command clears, Command+Shift sets, Shift repeats what the press did (switched the gate on).
    const Case cases[] = {{kCommand, true, false}, {kCommandShift, false, true}, {kShift, false, true}};
    for (const auto& c : cases)
    {
        AiraFixture f(2.0f);
        for (int i = 0; i < 16; ++i)
            f.pattern.steps[i].set(step_t::kGate, c.gatesBefore);
        f.page.pointerPressed(f.cell(0, 2), kNone);
        for (int column = 1; column <= 5; ++column)
            f.page.pointerDragged(f.cell(column, 2), c.mods);
        for (int i = 0; i <= 5; ++i)
            EXPECT_EQ(f.pattern.steps[i].has(step_t::kGate), c.gatesAfter) << i;
        EXPECT_EQ(f.pattern.steps[6].has(step_t::kGate), c.gatesBefore);
    }
}

TEST(AiraDisplay, LengthDragStaysWithin1And64AndKeepsTheTriplet)
{
    AiraFixture f;
    f.pattern.setTriplet(1);
    const auto button = f.at(23, 112);
    const int lengths[] = {1, 64};
    for (int expected : lengths)
    {
        f.page.pointerPressed(button, kNone);
        f.page.pointerDragged(button.translated(0, expected == 1 ? 400 : -400), kNone);
        EXPECT_EQ(f.pattern.getLength(), expected);
        EXPECT_EQ(f.pattern.getTriplet(), 1);
    }
}

TEST(AiraDisplay, ThumbDragMovesOneStepPer8Units)
{
    AiraFixture f;
    const auto thumb = f.at(150, 130);
    f.page.pointerPressed(thumb, kNone);
    f.page.pointerDragged(thumb.translated(200, 0), kNone);
    EXPECT_EQ(f.page.pageOffset, 25);
    f.page.pointerDragged(thumb.translated(2000, 0), kNone);
    EXPECT_EQ(f.page.pageOffset, 48);
    f.page.pointerDragged(thumb.translated(-2000, 0), kNone);
    EXPECT_EQ(f.page.pageOffset, 0);
}

TEST(AiraDisplay, BarPressStepsAPageAtEveryScale)
{
    struct Case
    {
        int from;
        float x, y;
        int to;
    };
    const Case cases[] = {{20, 450, 140, 32}, {20, 150, 140, 0}, {20, 300, 140, 20}, {48, 612, 140, 48},
                          {0, 300, 129, 16}};
    for (float scale : {1.0f, 1.5f, 2.0f})
    {
        AiraFixture f(scale);
        for (const auto& c : cases)
        {
            f.page.pageOffset = c.from;
            f.page.pointerPressed(f.at(c.x, c.y), kNone);
            EXPECT_EQ(f.page.pageOffset, c.to) << scale << " " << c.x;
        }
    }
}

TEST(AiraDisplay, ClearStoresTheUndoCopy)
{
    AiraFixture f;
    f.pattern.steps[3].pitch = 17;
    const Vst303Pattern before = f.pattern;
    f.page.pointerPressed(f.at(23, 67), kNone);
    EXPECT_EQ(0, std::memcmp(&before, &f.editor->undoPattern, sizeof(Vst303Pattern)));
    EXPECT_EQ(f.editor->undoLabel, "Clear Pattern");
    EXPECT_EQ(f.pattern.steps[3].pitch, 0);
}

TEST(AiraDisplay, PitchLabelFadesToThePitchBarViewWhereAPressSetsThePitch)
{
    AiraFixture f;
    f.page.pointerPressed(f.at(75, 28), kNone);
    for (int tick = 0; tick < 11; ++tick)
        f.page.onIdle(true);
    EXPECT_EQ(f.page.pitchBarFade, 1.0);
    const struct
    {
        float y;
        int pitch;
    } cases[] = {{44, 36}, {122, -12}};
    for (const auto& c : cases)
    {
        f.page.pointerPressed(f.at(119, c.y), kNone);
        EXPECT_EQ(f.pattern.steps[0].pitch, c.pitch);
    }
}

TEST(AiraDisplay, MarkersAndBrightness)
{
    const float s = 2.0f;
    AiraFixture f(s);
    f.pattern.setLength(6);
    f.synth.playStep = 2;
    f.synth.editStep = 4;
    auto markerColour = [&](const juce::Image& image, int column) {
        return image.getPixelAt(int((105 + 32 * column) * s), int(10 * s));
    };
    const juce::Colour green(154, 229, 180), red(219, 0, 0);

    auto image = oxn3test::paintPage(f.page, 1244, 274);
    EXPECT_EQ(markerColour(image, 2), green);
    EXPECT_NE(markerColour(image, 4), red);

    f.synth.stepRecord = 1;
    image = oxn3test::paintPage(f.page, 1244, 274);
    EXPECT_EQ(markerColour(image, 4), red);
    EXPECT_NE(markerColour(image, 2), green);

    // Gate fills: full brightness within the length, half beyond it.
    auto gateFill = [&](int column) { return image.getPixelAt(int((119 + 32 * column) * s), int(46 * s)); };
    EXPECT_EQ(gateFill(5).getBlue(), 140);
    EXPECT_EQ(gateFill(6).getBlue(), 70);
    // Step numbers 01, 05, ... are brighter than the others.
    auto number = [&](int column) {
        return oxn3test::brightestBlue(image, {int((105 + 32 * column) * s), int(4 * s), int(28 * s), int(12 * s)});
    };
    EXPECT_GE(number(0), 230);
    EXPECT_LE(number(1), 150);
    EXPECT_GE(number(8), 230);
}

TEST(AiraDisplay, SnapshotsOfTableAndPitchBars)
{
    for (float scale : {1.0f, 2.0f})
    {
        AiraFixture f(scale);
        f.pattern.setLength(13);
        const int flags[] = {1, 0x11, 0x09, 1, 0, 0x13, 0x05, 1, 0x19, 1, 0x03, 0, 0x11};
        for (int i = 0; i < 13; ++i)
            f.pattern.steps[i].flags = static_cast<std::uint8_t>(flags[i]);
        f.synth.playStep = 5;
        f.page.pointerMoved(f.cell(3, 3));
        f.page.onIdle(true);
        const int w = int(622 * scale), h = int(137 * scale);
        const auto suffix = juce::String("_x") + juce::String(int(scale));
        oxn3test::saveSnapshot(oxn3test::paintPage(f.page, w, h), ("aira_table" + suffix).toRawUTF8());
        f.page.pitchBarView = 1;
        f.page.pitchBarFade = 1.0;
        oxn3test::saveSnapshot(oxn3test::paintPage(f.page, w, h), ("aira_pitchbars" + suffix).toRawUTF8());
    }
}
} // namespace
