#include <cmath>

#include "UiTestHelpers.h"
#include "ui/MyCustomDisplay.h"
#include "ui/CPatchDisplay.h"
#include "ui/CPreferencesView.h"
#include "ui/CubeMaths.h"

namespace
{
using oxn3test::mouseAt;

class PreferencesViewTest : public oxn3test::EditorTest
{
protected:
    CPreferencesView page{nullptr, editor.get()};

    PreferencesViewTest() { place(1.0f); }
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
    JuceDemoPluginAudioProcessor& p() { return *processor; }
    PanelControl& control(int tag) { return *page.getControlWithTag(tag); }
    PanelControl& caption(int tag)
    {
        for (int i = page.controlCount - 1; i >= 0; --i)
            if (page.controls[i].tag == tag)
                return page.controls[i];
        return page.controls[0];
    }
};

TEST_F(PreferencesViewTest, CaptionClicksActLikeTheirBoxesAndVcoModeCaptionAlternates)
{
    Synth303& engine = *p().synth;
    engine.running = engine.runRequest = engine.gate = engine.slideActive = engine.keyHeld = 1;
    clickAt(60, 90); // "Note Mode" stops the pattern at once
    EXPECT_EQ(p().MidiMode, 1);
    EXPECT_EQ(engine.running + engine.runRequest + engine.gate + engine.slideActive + engine.keyHeld, 0);
    engine.running = 1;
    clickAt(60, 90); // back to pattern mode: only the mode changes
    EXPECT_EQ(p().MidiMode, 0);
    EXPECT_EQ(engine.running, 1);

    clickAt(60, 122); // "Improved Emulation": the dimming shows at once
    EXPECT_EQ(p().ImprovedEmulation, 0);
    EXPECT_EQ(caption(207).enabled, 0);

    for (int expected : {0, 1, 0, 1})
    {
        clickAt(60, 10); // "VCO Mode"
        EXPECT_EQ(p().VCOMode, expected);
        page.onIdle(true);
    }
    clickAt(36, 14); // the switch's right end
    EXPECT_EQ(p().VCOMode, 2);
}

TEST_F(PreferencesViewTest, OptionsToggleAsOneMinusTheirValue)
{
    struct Case
    {
        int tag;
        int JuceDemoPluginAudioProcessor::*option;
    };
    for (const Case& c : {Case{102, &JuceDemoPluginAudioProcessor::VCANoise},
                          Case{105, &JuceDemoPluginAudioProcessor::VCOPhaseReset}})
    {
        p().*c.option = 5; // hand-edited configuration
        page.buttonClicked(c.tag);
        EXPECT_EQ(p().*c.option, -4) << c.tag;
        page.buttonClicked(c.tag);
        EXPECT_EQ(p().*c.option, 5) << c.tag;
    }
}

TEST_F(PreferencesViewTest, BassAndVcfTrimDimWithTheClassicEngineButStillWork)
{
    page.buttonClicked(106);
    EXPECT_EQ(p().ImprovedEmulation, 0);
    for (int tag : {206, 207, 212, 213})
        EXPECT_EQ(caption(tag).enabled, 0) << tag;
    EXPECT_EQ(control(200).enabled, 1);

    page.valueChanged(206, 0.25f);
    EXPECT_FLOAT_EQ(p().getParameter(16), 0.25f);
    EXPECT_EQ(editor->patchDisplay->text, "Bass: 25%");
    EXPECT_EQ(p().touchedParameter, 16);
    page.valueChanged(212, 0.75f);
    EXPECT_DOUBLE_EQ(p().VCFTrim, 0.75);

    // A restored state with the improved engine shows on the next tick.
    p().ImprovedEmulation = 1;
    page.onIdle(true);
    EXPECT_EQ(caption(213).enabled, 1);
    EXPECT_EQ(control(106).value, 1.0f);
}

TEST_F(PreferencesViewTest, InTheEditorARestoredStateShowsOnTheNextTicks)
{
    p().PatternKnob = 4;
    editor->timerCallback();
    CPreferencesView& shown = *editor->preferencesView;
    ASSERT_TRUE(shown.isVisible());
    p().ImprovedEmulation = 0;
    p().VCANoise = 1;
    editor->timerCallback();
    EXPECT_EQ(shown.getControlWithTag(102)->value, 1.0f);
    EXPECT_EQ(shown.getControlWithTag(212)->enabled, 0);
}

TEST_F(PreferencesViewTest, TrimsGoThroughTheHostParameterWithTruncatedPercentTexts)
{
    struct Case
    {
        int tag, parameter;
        float v;
        const char* text;
    };
    for (const Case& c : {Case{200, 13, 0.999f, "Reso Trim: 99%"}, Case{202, 14, 1.0f, "Gate Trim: 100%"},
                          Case{204, 15, 0.5f, "Detune Trim: 50%"}, Case{210, 9, 0.0f, "Hipass: 0%"}})
    {
        page.valueChanged(c.tag, c.v);
        EXPECT_FLOAT_EQ(p().getParameter(c.parameter), c.v) << c.tag;
        EXPECT_EQ(p().touchedParameter, c.parameter);
        EXPECT_EQ(editor->patchDisplay->text, c.text);
        EXPECT_EQ(editor->statusCounter, 10);
    }
    EXPECT_DOUBLE_EQ(p().ResoTrim, static_cast<double>(0.999f));

    page.valueChanged(99, 2.0f);
    EXPECT_EQ(p().VCOMode, 2);
    page.valueChanged(99, 0.0f);
    EXPECT_EQ(p().VCOMode, 0);
}

TEST_F(PreferencesViewTest, SpinHalvesInAbout69TicksAndADragWithoutNetMovementStopsIt)
{
    const juce::Point<float> down(300, 60);
    page.mouseDown(mouseAt(page, down, down));
    page.mouseDrag(mouseAt(page, {340, 40}, down));
    EXPECT_FLOAT_EQ(page.cubeSpin[0], -0.02f);
    EXPECT_FLOAT_EQ(page.cubeSpin[1], 0.04f);
    EXPECT_FLOAT_EQ(page.cubeSpin[2], 0.002f);

    for (int tick = 0; tick < 69; ++tick)
        page.onIdle(true);
    EXPECT_NEAR(page.cubeSpin[1], 0.02f, 0.0001f);

    page.mouseDrag(mouseAt(page, down, down));
    for (float spin : page.cubeSpin)
        EXPECT_EQ(spin, 0.0f);
}

TEST(CubeMaths, WaveformHalfIsTwistedJustAboveIsStraight)
{
    const float shape[5] = {1, 1, 1, 1, 1};
    float box[8][3];
    oxn3::cubeTargetVertices(shape, oxn3::cubeIsTwisted(0.5f), box);
    EXPECT_EQ(box[0][0], 10.0f);
    EXPECT_EQ(box[0][1], 10.0f);
    oxn3::cubeTargetVertices(shape, oxn3::cubeIsTwisted(0.5001f), box);
    EXPECT_EQ(box[0][0], -10.0f);
    EXPECT_EQ(box[0][1], -10.0f);
    EXPECT_EQ(box[0][2], -10.0f);
    EXPECT_EQ(box[4][0], -10.0f) << "the back face keeps its side in both variants";
}
} // namespace
