#include "UiTestHelpers.h"
#include "ui/pages/steps/CAiraDisplay.h"

namespace
{
using juce::ModifierKeys;
const ModifierKeys kNone, kShift(ModifierKeys::shiftModifier), kCommand(ModifierKeys::commandModifier);

struct Aira : oxn3test::PageRig<CAiraDisplay>
{
    Vst303Pattern& pattern = synth.activePattern();

    explicit Aira(float scale = 1.0f) : PageRig(scale, 137)
    {
        page.setSynth(&synth);
        page.update();
        for (int i = 0; i < 64; ++i)
            pattern.steps[i] = step_t{static_cast<std::int8_t>(i % 24), step_t::kGate};
    }
    juce::Point<int> at(float x, float y) const { return {int(x * page.scale), int(y * page.scale)}; }
    juce::Point<int> cell(int column, int row) const { return at(119.0f + 32 * column, 13.0f + 18 * row); }
    void press(juce::Point<int> p, ModifierKeys mods = kNone) { page.pointerPressed(p, mods); }
    void drag(juce::Point<int> p, ModifierKeys mods = kNone) { page.pointerDragged(p, mods); }
};

TEST(AiraDisplay, CtrlPressInsertsAStepWithinTheLengthAndClearKeepsAnUndoCopy)
{
    Aira f;
    f.pattern.setLength(8);
    const Vst303Pattern before = f.pattern;
    f.press(f.cell(2, 1), ModifierKeys(ModifierKeys::ctrlModifier));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(f.pattern.steps[i].pitch, before.steps[i - (i >= 3 && i < 8)].pitch) << i;
    EXPECT_EQ(f.pattern.getLength(), 8);
    const Vst303Pattern beforeLast = f.pattern;
    f.press(f.cell(7, 1), ModifierKeys(ModifierKeys::ctrlModifier));
    EXPECT_TRUE(oxn3test::samePattern(beforeLast, f.pattern));

    f.press(f.at(23, 67)); // Clear
    EXPECT_TRUE(oxn3test::samePattern(beforeLast, f.editor->undoPattern));
    EXPECT_EQ(f.editor->undoLabel, "Clear Pattern");
    EXPECT_EQ(f.pattern.steps[3].pitch, 0);
}

TEST(AiraDisplay, PitchDragStopsAtTheTopAndReanchorsAndShiftTransposesWithinTheLength)
{
    Aira f;
    f.pattern.steps[0].pitch = 0;
    f.press(f.cell(0, 1));
    f.drag(f.cell(0, 1).translated(0, -200));
    EXPECT_EQ(f.pattern.steps[0].pitch, 36);
    f.drag(f.cell(0, 1).translated(0, -196));
    EXPECT_EQ(f.pattern.steps[0].pitch, 35);

    f.pattern.setLength(4);
    const Vst303Pattern before = f.pattern;
    f.press(f.cell(1, 1));
    f.drag(f.cell(1, 1).translated(0, -8), kShift);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(f.pattern.steps[i].pitch, before.steps[i].pitch + (i < 4 ? 2 : 0)) << i;
}

TEST(AiraDisplay, ModifierDragsPaintGates)
{
    // {modifiers, gates before, gates after}: Command clears, Command+Shift sets, Shift repeats what the
    // press did (switched the gate on).
    for (const auto& [mods, before, after] : {std::tuple(kCommand, true, false),
                                              {kCommand.withFlags(ModifierKeys::shiftModifier), false, true},
                                              {kShift, false, true}})
    {
        Aira f(2.0f);
        for (int i = 0; i < 16; ++i)
            f.pattern.steps[i].set(step_t::kGate, before);
        f.press(f.cell(0, 2));
        for (int column = 1; column <= 5; ++column)
            f.drag(f.cell(column, 2), mods);
        for (int i = 0; i <= 6; ++i)
            EXPECT_EQ(f.pattern.steps[i].has(step_t::kGate), i < 6 ? after : before) << i;
    }
}

// What a drag took at the press belongs to the pattern pressed on: once a MIDI note has switched the
// pattern mid-drag, the drag writes into neither pattern again.
TEST(AiraDisplay, EveryDragEndsWhenTheCurrentPatternChanges)
{
    Aira probe;
    // {press, first drag, later drag, modifiers, pitch-bar view}: transpose, pitch, gate paint,
    // pitch bar, length
    const std::tuple<juce::Point<int>, juce::Point<int>, juce::Point<int>, ModifierKeys, bool> cases[] = {
        {probe.cell(1, 1), probe.cell(1, 1).translated(0, -8), probe.cell(1, 1).translated(0, -40), kShift, false},
        {probe.cell(1, 1), probe.cell(1, 1).translated(0, -8), probe.cell(1, 1).translated(0, -40), kNone, false},
        {probe.cell(0, 2), probe.cell(1, 2), probe.cell(3, 2), kCommand, false},
        {probe.at(119, 80), probe.at(119, 60), probe.at(119, 100), kNone, true},
        {probe.at(23, 112), probe.at(23, 104), probe.at(23, 72), kNone, false}};
    for (const auto& [press, first, later, mods, pitchBar] : cases)
    {
        Aira f;
        f.page.pitchBarView = pitchBar ? 1 : 0;
        f.synth.patterns[1] = f.pattern;
        f.synth.patterns[1].setLength(4);
        const Vst303Pattern one = f.synth.patterns[1];
        f.press(press, mods);
        f.drag(first, mods);
        const Vst303Pattern zero = f.pattern;
        for (int current : {1, 0})
        {
            f.synth.currentPattern = current;
            f.drag(later, mods);
        }
        EXPECT_TRUE(oxn3test::samePattern(f.synth.patterns[1], one)) << press.toString();
        EXPECT_TRUE(oxn3test::samePattern(f.pattern, zero)) << press.toString();
    }
}

TEST(AiraDisplay, LengthThumbAndBarPressesStayInTheirRangesAtEveryScale)
{
    Aira f;
    f.pattern.setTriplet(1);
    for (const auto& [dy, length] : {std::pair(400, 1), {-400, 64}})
    {
        f.press(f.at(23, 112));
        f.drag(f.at(23, 112).translated(0, dy));
        EXPECT_EQ(f.pattern.getLength() * 10 + f.pattern.getTriplet(), length * 10 + 1);
    }
    f.press(f.at(150, 130)); // the thumb
    for (const auto& [dx, offset] : {std::pair(200, 25), {2000, 48}, {-2000, 0}})
    {
        f.drag(f.at(150, 130).translated(dx, 0));
        EXPECT_EQ(f.page.pageOffset, offset) << dx;
    }
    // {from, x, y, to}: a press on the bar beside the thumb steps a page
    const int cases[][4] = {{20, 450, 140, 32}, {20, 150, 140, 0}, {20, 300, 140, 20}, {48, 612, 140, 48}, {0, 300, 129, 16}};
    for (float scale : {1.0f, 1.5f, 2.0f})
    {
        Aira g(scale);
        for (const auto& c : cases)
        {
            g.page.pageOffset = c[0];
            g.press(g.at(float(c[1]), float(c[2])));
            EXPECT_EQ(g.page.pageOffset, c[3]) << scale << " " << c[1];
        }
    }
}

TEST(AiraDisplay, PitchLabelFadesToThePitchBarViewWhereAPressSetsThePitch)
{
    Aira f;
    f.press(f.at(75, 28));
    for (int tick = 0; tick < 11; ++tick)
        f.page.onIdle(true);
    EXPECT_EQ(f.page.pitchBarFade, 1.0);
    for (const auto& [y, pitch] : {std::pair(44.0f, 36), {122.0f, -12}})
    {
        f.press(f.at(119, y));
        EXPECT_EQ(f.pattern.steps[0].pitch, pitch);
    }
}

// Rows 2..6 slide down by the fade's hundredths, truncated from the double fade: 0.1 added nine
// times is just under 0.9.
TEST(AiraDisplay, FlagRowsSlideDownByTheTruncatedFade)
{
    Aira f;
    f.place(1.0f, 160);
    f.press(f.at(75, 28)); // the Pitch label
    int ticks = 0;
    for (const auto& [tick, shift] : {std::pair(8, 80), {9, 89}, {10, 99}})
    {
        for (; ticks < tick; ++ticks)
            f.page.onIdle(true);
        const auto image = oxn3test::paintOf(f.page, juce::Colour(24, 26, 30));
        const juce::Colour labelBack(34, 36, 40);
        int gateLabelTop = 40;
        while (gateLabelTop < image.getHeight() && image.getPixelAt(60, gateLabelTop) != labelBack)
            ++gateLabelTop;
        EXPECT_EQ(gateLabelTop, 38 + shift) << "tick " << tick;
    }
}

TEST(AiraDisplay, MarkersAndBrightness)
{
    const float s = 2.0f;
    Aira f(s);
    f.pattern.setLength(6);
    f.synth.playStep = 2, f.synth.editStep = 4;
    const juce::Colour green(154, 229, 180), red(219, 0, 0);
    for (int recording : {0, 1}) // step recording shows the red edit marker instead of the green play one
    {
        f.synth.stepRecord = recording;
        const auto image = oxn3test::paintOf(f.page, juce::Colour(24, 26, 30));
        auto marker = [&](int column) { return image.getPixelAt(int((105 + 32 * column) * s), int(10 * s)); };
        EXPECT_EQ(marker(2) == green, !recording);
        EXPECT_EQ(marker(4) == red, recording == 1);
    }
    const auto image = oxn3test::paintOf(f.page, juce::Colour(24, 26, 30));
    // Gate fills: full brightness within the length, half beyond it.
    auto gateFill = [&](int column) { return image.getPixelAt(int((119 + 32 * column) * s), int(46 * s)).getBlue(); };
    EXPECT_EQ(gateFill(5) * 1000 + gateFill(6), 140070);
    // Step numbers 01, 05, ... are brighter than the others (text is a blue-tinted grey).
    auto number = [&](int column) {
        int best = 0;
        for (int y = int(4 * s); y < int(16 * s); ++y)
            for (int x = int((105 + 32 * column) * s); x < int((133 + 32 * column) * s); ++x)
                best = std::max(best, int(image.getPixelAt(x, y).getBlue()));
        return best;
    };
    EXPECT_GE(std::min(number(0), number(8)), 230);
    EXPECT_LE(number(1), 150);
}
} // namespace
