#include <gtest/gtest.h>

#include <cstring>

#include "UiTestHelpers.h"
#include "ui/pages/randomiser/CAdvancedRandomView.h"

namespace
{
struct Randomiser : ::testing::Test, oxn3test::PageRig<CAdvancedRandomView>
{
    AdvancedRandom_t& settings() { return processor->advancedRandom; }

    Randomiser()
    {
        settings().noteDensity = settings().gateDensity = settings().slideDensity = settings().accentDensity = 50;
        settings().lowerRange2 = 0, settings().upperRange = 0;
        settings().scale[4] = 0;
        settings().root = 5;
        page.update();
    }
    // The settings as raw words, to see that a click changes exactly the one it stands for.
    std::vector<int32_t> words()
    {
        std::vector<int32_t> w(sizeof(AdvancedRandom_t) / sizeof(int32_t));
        std::memcpy(w.data(), &settings(), sizeof(AdvancedRandom_t));
        return w;
    }
    static size_t wordOf(const int32_t* field, const AdvancedRandom_t& s)
    {
        return static_cast<size_t>(field - reinterpret_cast<const int32_t*>(&s));
    }
};
} // namespace

TEST_F(Randomiser, EachKeySwitchAndSliderWritesExactlyItsSetting)
{
    const AdvancedRandom_t& s = settings();
    // {design point, setting, value afterwards}
    std::vector<std::tuple<juce::Point<float>, const int32_t*, int>> rows = {
        {{8, 98}, &s.scale[0], 0},   {{18, 78}, &s.scale[1], 0},   {{28, 98}, &s.scale[2], 0},
        {{38, 78}, &s.scale[3], 0},  {{48, 98}, &s.scale[4], 1},   {{68, 98}, &s.scale[5], 0},
        {{78, 78}, &s.scale[6], 0},  {{88, 98}, &s.scale[7], 0},   {{98, 78}, &s.scale[8], 0},
        {{108, 98}, &s.scale[9], 0}, {{118, 78}, &s.scale[10], 0}, {{128, 98}, &s.scale[11], 0},
        {{18, 38}, &s.lowerRange2, 1}, {{38, 38}, &s.lowerRange, 0}, {{88, 38}, &s.upperRange, 1},
        {{108, 38}, &s.upperRange2, 0}, {{565, 68}, &s.fixedScale, 1},
        {{167, 26}, &s.noteDensity, 100}, {{227, 106}, &s.gateDensity, 0}, {{287, 26}, &s.slideDensity, 100},
        {{347, 106}, &s.accentDensity, 0},   {{606, 126}, &s.apply, 1},
    };
    const std::vector<int32_t> baseline = words();
    for (const auto& [point, field, value] : rows)
    {
        std::memcpy(static_cast<void*>(&settings()), baseline.data(), sizeof(AdvancedRandom_t));
        page.update();
        std::vector<int32_t> expected = baseline;
        expected[wordOf(field, s)] = value;
        clickAt(point.x, point.y);
        EXPECT_EQ(words(), expected) << "click at " << point.toString();
    }
}

TEST_F(Randomiser, SeedButtonsChangeOnlyTheSeed)
{
    const std::vector<int32_t> start = words();
    const size_t seed = wordOf(&settings().seed, settings());
    clickAt(565, 13); // Next Seed
    std::vector<int32_t> next = words();
    EXPECT_NE(next[seed], start[seed]);
    next[seed] = start[seed];
    EXPECT_EQ(next, start);
    clickAt(565, 40); // Prev Seed
    EXPECT_EQ(words(), start);
}

TEST_F(Randomiser, ApplySwitchesOnAndOffAndKeepsAnUndoCopy)
{
    const Vst303Pattern before = synth.activePattern();
    clickAt(565, 105);
    EXPECT_EQ(settings().apply, 1);
    EXPECT_EQ(editor->undoLabel, "Randomize Pattern");
    EXPECT_TRUE(oxn3test::samePattern(editor->undoPattern, before));
    clickAt(565, 105);
    EXPECT_EQ(settings().apply, 0);
}

TEST_F(Randomiser, RootKnobSpansCToB)
{
    // {knob value, root}
    for (const auto& [value, root] : {std::pair(0.0f, 0), {1.0f, 11}, {0.5f, 5}})
    {
        control(105).value = value;
        page.updateAdvancedRandom();
        EXPECT_EQ(settings().root, root) << value;
    }
}

TEST_F(Randomiser, LearnOverlaysOnEverySettingAndOnNextSeedOnly)
{
    processor->midiLearnActive = 1;
    (void)oxn3test::paintOf(page);
    for (int tag = 101; tag <= 125; ++tag)
        EXPECT_EQ(control(tag).showOverlay, tag <= 124 ? 1 : 0) << tag;
}
