#include "UiTestHelpers.h"
#include "ui/MyCustomDisplay.h"
#include "ui/AdvancedRandomMapping.h"
#include "ui/CAdvancedRandomView.h"

namespace
{
using oxn3test::mouseAt;
using oxn3test::samePattern;

class AdvancedRandomViewTest : public oxn3test::EditorTest
{
protected:
    CAdvancedRandomView page{nullptr, editor.get()};

    void place(float scale)
    {
        page.setScale(scale);
        page.setBounds(0, 0, static_cast<int>(622 * scale), static_cast<int>(133 * scale));
    }
    void clickAt(float x, float y)
    {
        page.mouseDown(mouseAt(page, static_cast<int>(x * page.scale), static_cast<int>(y * page.scale)));
        page.mouseUp(mouseAt(page, static_cast<int>(x * page.scale), static_cast<int>(y * page.scale)));
    }
    AdvancedRandom_t& settings() { return processor->advancedRandom; }
    Vst303Pattern& pattern() { return synth.activePattern(); }
    PanelControl& control(int tag) { return *page.getControlWithTag(tag); }

    // A control left at `v` by the mouse, then read by the page as after every click and drag step.
    void move(int tag, float v)
    {
        control(tag).value = v;
        page.updateAdvancedRandom();
    }
};

TEST(AdvancedRandomMapping, ControlsAndSettingsMeetAtTheirEnds)
{
    struct Case
    {
        float v;
        int density, root;
    };
    for (const Case& c : {Case{0.0f, 100, 0}, Case{1.0f, 0, 11}, Case{0.5f, 50, 5}, Case{0.999f, 0, 10}})
    {
        EXPECT_EQ(oxn3::densityFromSlider(c.v), c.density) << c.v;
        EXPECT_EQ(oxn3::rootFromKnob(c.v), c.root) << c.v;
    }
    // A setting written into the controls reads back unchanged, so a tick never drifts it.
    for (int d = 0; d <= 100; ++d)
        EXPECT_EQ(oxn3::densityFromSlider(oxn3::sliderFromDensity(d)), d);
    for (int r = 0; r <= 11; ++r)
        EXPECT_EQ(oxn3::rootFromKnob(oxn3::knobFromRoot(r)), r);
}

TEST_F(AdvancedRandomViewTest, ApplyOffChangesSettingsAndCaptionsButNotThePattern)
{
    const Vst303Pattern before = pattern();
    move(102, 1.0f);
    move(105, 0.5f);
    page.update();
    EXPECT_EQ(settings().gateDensity, 0);
    EXPECT_EQ(settings().root, 5);
    EXPECT_STREQ(control(127).label, "0%");
    EXPECT_STREQ(control(126).label, "50%");
    EXPECT_TRUE(samePattern(pattern(), before));
}

TEST_F(AdvancedRandomViewTest, ApplyOnRegeneratesFromTheSeedSoASliderBackWhereItStartedRestores)
{
    const Vst303Pattern original = pattern();
    page.buttonClicked(123);
    EXPECT_EQ(settings().apply, 1);
    EXPECT_EQ(editor->undoLabel, "Randomize Pattern");
    EXPECT_TRUE(samePattern(editor->undoPattern, original));

    move(101, 0.5f);
    const Vst303Pattern atStart = pattern();
    EXPECT_FALSE(samePattern(atStart, original));
    move(101, 0.9f);
    EXPECT_FALSE(samePattern(pattern(), atStart));
    move(101, 0.5f);
    EXPECT_TRUE(samePattern(pattern(), atStart));

    move(104, 1.0f); // a density slider at the bottom: no step gets that property
    EXPECT_EQ(settings().accentDensity, 0);
    for (int i = 0; i < pattern().getStepCount(); ++i)
        EXPECT_FALSE(pattern().steps[i].has(step_t::kAccent)) << i;
}

TEST_F(AdvancedRandomViewTest, ClicksAndDragStepsRegenerateWhileApplyIsOn)
{
    place(2.0f);
    clickAt(565, 105); // Apply
    EXPECT_EQ(settings().apply, 1);
    EXPECT_EQ(control(123).value, 1.0f);

    // Drag the note slider from its top to the bottom and back to where the press put it.
    const juce::Point<float> down(167 * 2.0f, 26 * 2.0f);
    page.mouseDown(mouseAt(page, down, down));
    EXPECT_EQ(settings().noteDensity, 100);
    const Vst303Pattern atPress = pattern();
    page.mouseDrag(mouseAt(page, {down.x, 106 * 2.0f}, down));
    EXPECT_EQ(settings().noteDensity, 0);
    EXPECT_FALSE(samePattern(pattern(), atPress));
    page.mouseDrag(mouseAt(page, down, down));
    page.mouseUp(mouseAt(page, down, down));
    EXPECT_TRUE(samePattern(pattern(), atPress));
    EXPECT_EQ(processor->touchedParameter, 101);

    // The seed buttons spring back and flash; a new seed makes a new pattern.
    clickAt(565, 13);
    EXPECT_EQ(control(124).value, 0.0f);
    EXPECT_EQ(control(124).animation, 1.0f);
    EXPECT_FALSE(samePattern(pattern(), atPress));
    clickAt(565, 40);
    EXPECT_TRUE(samePattern(pattern(), atPress));
}

TEST_F(AdvancedRandomViewTest, SeedHistoryWalksBackToTheFirstSeed)
{
    const int first = settings().seed;
    page.buttonClicked(125);
    EXPECT_EQ(settings().seed, first) << "Prev Seed on an empty history";

    page.buttonClicked(124);
    const int second = settings().seed;
    page.buttonClicked(124);
    EXPECT_NE(settings().seed, second) << "two quick clicks still give two seeds";
    EXPECT_GE(settings().seed, 0);
    EXPECT_EQ(control(124).value, 1.0f);
    EXPECT_EQ(control(124).animation, 1.0f);

    page.buttonClicked(125);
    EXPECT_EQ(settings().seed, second);
    page.buttonClicked(125);
    EXPECT_EQ(settings().seed, first);
    EXPECT_TRUE(page.seedHistory.empty());
}

TEST_F(AdvancedRandomViewTest, SettingsFromMidiLearnShowWithinOneTick)
{
    processor->handleMidiCC(103, 0);   // slide density 0
    processor->handleMidiCC(105, 127); // root B
    processor->handleMidiCC(110, 0);   // E off
    page.onIdle(true);
    EXPECT_EQ(control(103).value, 1.0f);
    EXPECT_STREQ(control(128).label, "0%");
    EXPECT_FLOAT_EQ(control(105).value, 1.0f);
    EXPECT_EQ(control(110).value, 0.0f);

    page.valueChanged(118, 0.0f);
    EXPECT_EQ(processor->touchedParameter, 118);
}

TEST_F(AdvancedRandomViewTest, InTheEditorAControllerMoveShowsOnTheNextTick)
{
    processor->PatternKnob = 3;
    editor->timerCallback();
    CAdvancedRandomView& shown = *editor->randomView;
    ASSERT_TRUE(shown.isVisible());
    processor->handleMidiCC(102, 0); // gate density 0
    editor->timerCallback();
    EXPECT_EQ(shown.getControlWithTag(102)->value, 1.0f);
    EXPECT_STREQ(shown.getControlWithTag(127)->label, "0%");
}
} // namespace
