#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/pages/steps/AiraGeometry.h"
#include "ui/pages/steps/CAiraDisplay.h"

using namespace oxn3::aira;

namespace
{
using juce::ModifierKeys;

struct Table : oxn3test::PageRig<CAiraDisplay>
{
    Vst303Pattern& pattern = synth.activePattern();

    explicit Table(float scale = 1.0f) : PageRig(scale, 137)
    {
        page.setSynth(&synth);
        reset();
    }
    void reset()
    {
        page.update();
        page.pageOffset = 0;
        page.pitchBarView = 0;
        synth.setRunStop(0);
        pattern.setLength(64);
        for (int i = 0; i < 64; ++i)
            pattern.steps[i] = step_t{static_cast<std::int8_t>(i % 24), 0};
    }
    // The first window pixel of a design pixel.
    juce::Point<float> at(int x, int y) const { return {std::ceil(x * page.scale), std::ceil(y * page.scale)}; }
    void down(int x, int y, ModifierKeys mods = {})
    {
        const auto p = at(x, y);
        page.mouseDown(oxn3test::mouseAt(page, p, p, 1, mods.withFlags(ModifierKeys::leftButtonModifier)));
    }
    void dragTo(int x, int y, int fromX, int fromY, ModifierKeys mods = {})
    {
        page.mouseDrag(oxn3test::mouseAt(page, at(x, y), at(fromX, fromY), 1,
                                         mods.withFlags(ModifierKeys::leftButtonModifier)));
    }
};

// Design point inside cell (column, row): its top left and bottom right design pixels.
juce::Point<int> cellFirst(int column, int row) { return {105 + 32 * column, 5 + 18 * row}; }
juce::Point<int> cellLast(int column, int row) { return {105 + 32 * column + 31, 5 + 18 * row + 17}; }
} // namespace

TEST(StepTableTable, EachFlagRowTogglesExactlyItsFlagOfTheShownStep)
{
    // {row, flag}
    const std::pair<int, int> rows[] = {
        {2, step_t::kGate}, {3, step_t::kDown}, {4, step_t::kUp}, {5, step_t::kAccent}, {6, step_t::kSlide},
    };
    for (float scale : {1.0f, 1.5f})
    {
        Table t(scale);
        for (int offset : {0, 21})
            for (const auto& [row, flag] : rows)
                for (int column : {0, 15})
                    for (bool last : {false, true})
                    {
                        t.reset();
                        t.page.pageOffset = offset;
                        const Vst303Pattern before = t.pattern;
                        const auto p = last ? cellLast(column, row) : cellFirst(column, row);
                        t.down(p.x, std::min(p.y, kTableBottom)); // the Slide row ends with the table
                        for (int s = 0; s < 64; ++s)
                        {
                            const int expected = before.steps[s].flags ^ (s == offset + column ? flag : 0);
                            ASSERT_EQ(t.pattern.steps[s].flags, expected)
                                << "row " << row << " column " << column << " step " << s << " offset " << offset
                                << " scale " << scale;
                        }
                    }
    }
}

TEST(StepTableTable, RowsAndColumnsEndAtTheirLastDesignPixel)
{
    // {design point, step whose flag toggles (-1 none), flag}
    const std::tuple<int, int, int, int> rows[] = {
        {99, 45, -1, 0},                 // one left of the table
        {100, 45, 0, step_t::kGate},     // the table's first design column belongs to column 0
        {105, 45, 0, step_t::kGate},
        {136, 58, 0, step_t::kGate},     // last pixel of column 0 and of row 2
        {137, 59, 1, step_t::kDown},     // first pixel of column 1 and of row 3
        {616, 45, 15, step_t::kGate},    // last pixel of column 15
        {617, 45, -1, 0},                // past the last column
        {120, 41, 0, step_t::kGate},     // last pixel of row 2
        {120, 125, 0, step_t::kSlide},   // the table's last design row
        {120, 126, -1, 0},               // one below it
    };
    Table t;
    for (const auto& [x, y, step, flag] : rows)
    {
        t.reset();
        const Vst303Pattern before = t.pattern;
        t.down(x, y);
        for (int s = 0; s < 64; ++s)
            ASSERT_EQ(t.pattern.steps[s].flags, before.steps[s].flags ^ (s == step ? flag : 0)) << x << "," << y;
    }
}

TEST(StepTableTable, ZonesAnswerFromTheirFirstToTheirLastDesignPixel)
{
    const Layout l;
    // {zone, x, y, w, h} at page offset 0; the thumb lies over the bar's left end.
    const std::tuple<int, int, int, int, int> zones[] = {
        {kZoneThumb, 105, 128, 125, 6},    {kZoneBar, 105, 128, 509, 16},    {kZonePitchLabel, 50, 20, 50, 16},
        {kZoneRunStop, 3, 2, 40, 40},      {kZoneClear, 3, 47, 40, 40},      {kZoneLength, 3, 92, 40, 40},
    };
    auto answers = [&](int zone, int x, int y, float scale) {
        const int found = zoneAt(l, 0, scale, x, y);
        return found == zone || (zone == kZoneBar && found == kZoneThumb);
    };
    for (float scale : {1.0f, 2.0f})
        for (const auto& [zone, x, y, w, h] : zones)
        {
            const int right = x + w - 1, bottom = y + h - 1;
            EXPECT_TRUE(answers(zone, x, y, scale)) << zone << " first pixel, scale " << scale;
            EXPECT_TRUE(answers(zone, right, bottom, scale)) << zone << " last pixel, scale " << scale;
            EXPECT_FALSE(answers(zone, x - 1, y, scale)) << zone << " left, scale " << scale;
            EXPECT_FALSE(answers(zone, x, y - 1, scale)) << zone << " above, scale " << scale;
            EXPECT_FALSE(answers(zone, right + 1, bottom, scale)) << zone << " right, scale " << scale;
            EXPECT_FALSE(answers(zone, right, bottom + 1, scale)) << zone << " below, scale " << scale;
        }
    EXPECT_EQ(zoneAt(l, 0, 1.0f, 150, 130), kZoneThumb); // the thumb wins over the bar under it
}

TEST(StepTableTable, ZonePressesDoExactlyTheirJob)
{
    // {design point, what changes: 'r' run, 'c' clear, 'p' pitch-bar view, 'n' page step}
    const std::pair<juce::Point<int>, char> rows[] = {
        {{3, 2}, 'r'}, {{42, 41}, 'r'}, {{3, 47}, 'c'}, {{42, 86}, 'c'}, {{50, 20}, 'p'}, {{99, 35}, 'p'},
        {{300, 130}, 'n'}, {{613, 143}, 'n'}, {{42, 44}, '-'}, {{49, 25}, '-'},
    };
    Table t;
    for (const auto& [p, job] : rows)
    {
        t.reset();
        t.pattern.steps[3].pitch = 7;
        t.down(p.x, p.y);
        const std::string changed = std::string(t.synth.running ? "r" : "") + (t.pattern.steps[3].pitch == 0 ? "c" : "") +
                                    (t.page.pitchBarView ? "p" : "") + (t.page.pageOffset != 0 ? "n" : "");
        EXPECT_EQ(changed, job == '-' ? "" : std::string(1, job)) << p.toString();
    }
    t.reset();
    for (int running : {1, 0}) // run/stop both ways
    {
        t.down(20, 20);
        EXPECT_EQ(t.synth.running, running);
    }
}

TEST(StepTableTable, DragsStopAtTheirLimits)
{
    Table t;
    // Length: one step per 4 design units up, 1..64.
    for (const auto& [dy, length] : {std::pair(-4, 17), {-400, 64}, {60, 1}, {64, 1}})
    {
        t.reset();
        t.pattern.setLength(16);
        t.down(20, 100);
        t.dragTo(20, 100 + dy, 20, 100);
        EXPECT_EQ(t.pattern.getLength(), length) << dy;
    }
    // Pitch bar: the top of the track is 36, its bottom -12.
    for (const auto& [y, pitch] : {std::pair(44, 36), {122, -12}, {83, 12}})
    {
        t.reset();
        t.page.pitchBarView = 1;
        t.down(cellFirst(4, 2).x, y);
        EXPECT_EQ(t.pattern.steps[4].pitch, pitch) << y;
    }
    // Pitch drag downwards stops at -12 and re-anchors there.
    t.reset();
    t.pattern.steps[2].pitch = 0;
    const auto c = cellFirst(2, 1);
    t.down(c.x, c.y);
    t.dragTo(c.x, c.y + 100, c.x, c.y);
    EXPECT_EQ(t.pattern.steps[2].pitch, kLowestPitch);
    t.dragTo(c.x, c.y + 96, c.x, c.y);
    EXPECT_EQ(t.pattern.steps[2].pitch, kLowestPitch + 1);
}

TEST(StepTableTable, ShiftPaintStaysInTheSixteenShownColumns)
{
    Table t;
    t.page.pageOffset = 16;
    const auto g = cellFirst(14, 2);
    t.down(g.x, g.y); // gate of step 30 on
    for (int x = g.x; x <= 621; x += 8)
        t.dragTo(x, g.y, g.x, g.y, ModifierKeys(ModifierKeys::shiftModifier));
    for (int s = 0; s < 64; ++s)
        EXPECT_EQ(t.pattern.steps[s].has(step_t::kGate), s == 30 || s == 31) << s;
    // Across the rows of one column: each row paints its own flag.
    const auto d = cellFirst(3, 3);
    t.down(d.x, d.y); // down flag of step 19 on
    for (int row = 3; row <= 6; ++row)
        t.dragTo(d.x, cellFirst(3, row).y, d.x, d.y, ModifierKeys(ModifierKeys::shiftModifier));
    EXPECT_EQ(t.pattern.steps[19].flags, step_t::kDown | step_t::kUp | step_t::kAccent | step_t::kSlide);
    // A press on the Slide row paints slides.
    const auto s = cellFirst(5, 6);
    t.down(s.x, s.y);
    t.dragTo(s.x + 32, s.y, s.x, s.y, ModifierKeys(ModifierKeys::shiftModifier));
    EXPECT_EQ(t.pattern.steps[21].has(step_t::kSlide) + t.pattern.steps[22].has(step_t::kSlide), 2);
}
