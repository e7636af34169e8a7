#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/CAiraDisplay.h"

namespace
{
using juce::ModifierKeys;

const ModifierKeys kNone;
const ModifierKeys kShift(ModifierKeys::shiftModifier);
const ModifierKeys kCtrl(ModifierKeys::ctrlModifier);
const ModifierKeys kCommand(ModifierKeys::commandModifier);
const ModifierKeys kCommandShift(ModifierKeys::commandModifier | ModifierKeys::shiftModifier);

struct AiraFixture : oxn3test::EditorRig
{
    Vst303Pattern& pattern = synth.activePattern();
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

TEST(AiraDisplay, PitchDragStopsAtTheTopAndReanchorsAndShiftTransposesWithinTheLength)
{
    AiraFixture f;
    f.pattern.steps[0].pitch = 0;
    const auto start = f.cell(0, 1);
    f.page.pointerPressed(start, kNone);
    f.page.pointerDragged(start.translated(0, -200), kNone);
    EXPECT_EQ(f.pattern.steps[0].pitch, 36);
    f.page.pointerDragged(start.translated(0, -196), kNone);
    EXPECT_EQ(f.pattern.steps[0].pitch, 35);

    f.pattern.setLength(4);
    const Vst303Pattern before = f.pattern;
    f.page.pointerPressed(f.cell(1, 1), kNone);
    f.page.pointerDragged(f.cell(1, 1).translated(0, -8), kShift);
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

TEST(AiraDisplay, LengthDragStaysWithin1And64AndThumbDragWithin0And48)
{
    AiraFixture f;
    f.pattern.setTriplet(1);
    const auto button = f.at(23, 112);
    for (int expected : {1, 64})
    {
        f.page.pointerPressed(button, kNone);
        f.page.pointerDragged(button.translated(0, expected == 1 ? 400 : -400), kNone);
        EXPECT_EQ(f.pattern.getLength(), expected);
        EXPECT_EQ(f.pattern.getTriplet(), 1);
    }
    const auto thumb = f.at(150, 130);
    f.page.pointerPressed(thumb, kNone);
    for (const auto& [dx, offset] : {std::pair(200, 25), {2000, 48}, {-2000, 0}})
    {
        f.page.pointerDragged(thumb.translated(dx, 0), kNone);
        EXPECT_EQ(f.page.pageOffset, offset) << dx;
    }
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

    auto image = oxn3test::paintOf(f.page, juce::Colour(24, 26, 30));
    EXPECT_EQ(markerColour(image, 2), green);
    EXPECT_NE(markerColour(image, 4), red);

    f.synth.stepRecord = 1;
    image = oxn3test::paintOf(f.page, juce::Colour(24, 26, 30));
    EXPECT_EQ(markerColour(image, 4), red);
    EXPECT_NE(markerColour(image, 2), green);

    // Gate fills: full brightness within the length, half beyond it.
    auto gateFill = [&](int column) { return image.getPixelAt(int((119 + 32 * column) * s), int(46 * s)); };
    EXPECT_EQ(gateFill(5).getBlue(), 140);
    EXPECT_EQ(gateFill(6).getBlue(), 70);
    // Step numbers 01, 05, ... are brighter than the others.
    auto number = [&](int column) { // brightest blue: text is a blue-tinted grey
        int best = 0;
        for (int y = int(4 * s); y < int(16 * s); ++y)
            for (int x = int((105 + 32 * column) * s); x < int((133 + 32 * column) * s); ++x)
                best = std::max(best, int(image.getPixelAt(x, y).getBlue()));
        return best;
    };
    EXPECT_GE(number(0), 230);
    EXPECT_LE(number(1), 150);
    EXPECT_GE(number(8), 230);
}
} // namespace
