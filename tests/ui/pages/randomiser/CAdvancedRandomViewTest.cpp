#include "UiTestHelpers.h"
#include "ui/pages/randomiser/AdvancedRandomMapping.h"
#include "ui/pages/randomiser/CAdvancedRandomView.h"
#include "ui/window/PatchMenu.h"

namespace
{
using oxn3test::mouseAt;
using oxn3test::samePattern;

struct AdvancedRandomView : ::testing::Test, oxn3test::PageRig<CAdvancedRandomView>
{
    AdvancedRandom_t& settings() { return processor->advancedRandom; }
    Vst303Pattern& pattern() { return synth.activePattern(); }
    // A control left at `v` by the mouse, then read by the page as after every click and drag step.
    void move(int tag, float v)
    {
        control(tag).value = v;
        page.updateAdvancedRandom();
    }
};

TEST(AdvancedRandomMapping, ControlsAndSettingsMeetAtTheirEnds)
{
    // {control, density, root}
    for (const auto& [v, density, root] : {std::tuple(0.0f, 100, 0), {1.0f, 0, 11}, {0.5f, 50, 5}, {0.999f, 0, 10}})
        EXPECT_EQ(oxn3::densityFromSlider(v) * 100 + oxn3::rootFromKnob(v), density * 100 + root) << v;
    // A setting written into the controls reads back unchanged, so a tick never drifts it.
    for (int d = 0; d <= 100; ++d)
        EXPECT_EQ(oxn3::densityFromSlider(oxn3::sliderFromDensity(d)), d);
    for (int r = 0; r <= 11; ++r)
        EXPECT_EQ(oxn3::rootFromKnob(oxn3::knobFromRoot(r)), r);
}

TEST_F(AdvancedRandomView, ApplyOffChangesSettingsAndCaptionsButNotThePattern)
{
    const Vst303Pattern before = pattern();
    move(102, 1.0f);
    page.update();
    EXPECT_EQ(settings().gateDensity, 0);
    EXPECT_STREQ(control(127).label, "0%");
    EXPECT_TRUE(samePattern(pattern(), before));
}

TEST_F(AdvancedRandomView, ApplyOnRegeneratesFromTheSeedSoASliderBackWhereItStartedRestores)
{
    const Vst303Pattern original = pattern();
    place(2.0f);
    clickAt(565, 105); // Apply
    EXPECT_EQ(settings().apply + control(123).value, 2.0f);
    EXPECT_EQ(editor->undoLabel, "Randomize Pattern");
    EXPECT_TRUE(samePattern(editor->undoPattern, original));
    move(104, 1.0f); // a density slider at the bottom: no step gets that property
    EXPECT_EQ(settings().accentDensity, 0);
    for (int i = 0; i < pattern().getStepCount(); ++i)
        EXPECT_FALSE(pattern().steps[i].has(step_t::kAccent)) << i;

    // Drag the note slider from its top to the bottom and back to where the press put it.
    const juce::Point<float> down(167 * 2.0f, 26 * 2.0f);
    page.mouseDown(mouseAt(page, down, down));
    EXPECT_EQ(settings().noteDensity, 100);
    const Vst303Pattern atPress = pattern();
    EXPECT_FALSE(samePattern(atPress, original));
    page.mouseDrag(mouseAt(page, {down.x, 106 * 2.0f}, down));
    EXPECT_EQ(settings().noteDensity, 0);
    EXPECT_FALSE(samePattern(pattern(), atPress));
    page.mouseDrag(mouseAt(page, down, down));
    page.mouseUp(mouseAt(page, down, down));
    EXPECT_TRUE(samePattern(pattern(), atPress));
    EXPECT_EQ(processor->touchedParameter, 101);

    // The seed buttons spring back and flash; a new seed makes a new pattern, the previous one restores.
    clickAt(565, 13);
    EXPECT_EQ(control(124).value + control(124).animation, 1.0f);
    EXPECT_FALSE(samePattern(pattern(), atPress));
    clickAt(565, 40);
    EXPECT_TRUE(samePattern(pattern(), atPress));
}

// Only switching Apply on takes the undo copy: switching it off keeps the pattern from before.
TEST_F(AdvancedRandomView, ApplyOffKeepsTheUndoCopyOfThePatternBeforeApplyOn)
{
    const Vst303Pattern original = pattern();
    clickAt(565, 105); // Apply on
    move(101, 0.3f);
    ASSERT_FALSE(samePattern(pattern(), original));
    clickAt(565, 105); // Apply off
    EXPECT_EQ(settings().apply, 0);
    editor->menuItemSelected(oxn3::kMenuUndo, editor.get());
    EXPECT_TRUE(samePattern(pattern(), original));
}

TEST_F(AdvancedRandomView, SeedHistoryWalksBackToTheFirstSeed)
{
    const int first = settings().seed;
    page.buttonClicked(125);
    EXPECT_EQ(settings().seed, first) << "Prev Seed on an empty history";
    page.buttonClicked(124);
    const int second = settings().seed;
    page.buttonClicked(124);
    EXPECT_NE(settings().seed, second) << "two quick clicks still give two seeds";
    EXPECT_GE(settings().seed, 0);
    for (int expected : {second, first})
    {
        page.buttonClicked(125);
        EXPECT_EQ(settings().seed, expected);
    }
    EXPECT_TRUE(page.seedHistory.empty());
}

TEST_F(AdvancedRandomView, ControllerMovesShowWithinOneTickOnThePageAndInTheEditor)
{
    processor->handleMidiCC(103, 0);   // slide density 0
    processor->handleMidiCC(105, 127); // root B
    processor->handleMidiCC(110, 0);   // E off
    page.onIdle(true);
    EXPECT_EQ(control(103).value + control(105).value + control(110).value, 2.0f);
    EXPECT_STREQ(control(128).label, "0%");
    page.valueChanged(118, 0.0f);
    EXPECT_EQ(processor->touchedParameter, 118);

    processor->PatternKnob = 3;
    tick();
    processor->handleMidiCC(102, 0); // gate density 0
    tick();
    EXPECT_EQ(editor->randomView->getControlWithTag(102)->value, 1.0f);
    EXPECT_STREQ(editor->randomView->getControlWithTag(127)->label, "0%");
}
} // namespace
