#include "UiTestHelpers.h"
#include "ui/pages/preferences/CPreferencesView.h"
#include "ui/framework/CubeMaths.h"

namespace
{
using oxn3test::mouseAt;

struct PreferencesView : ::testing::Test, oxn3test::PageRig<CPreferencesView>
{
    JuceDemoPluginAudioProcessor& p() { return *processor; }
    // The caption that follows a box in the table carries the same tag.
    PanelControl& caption(int tag)
    {
        for (int i = page.controlCount - 1; i >= 0; --i)
            if (page.controls[i].tag == tag)
                return page.controls[i];
        return page.controls[0];
    }
};

TEST_F(PreferencesView, CaptionClicksActLikeTheirBoxesAndVcoModeCaptionAlternates)
{
    synth.running = synth.runRequest = synth.gate = synth.slideActive = synth.keyHeld = 1;
    clickAt(60, 90); // "Note Mode" stops the pattern at once
    EXPECT_EQ(p().MidiMode, 1);
    EXPECT_EQ(synth.running + synth.runRequest + synth.gate + synth.slideActive + synth.keyHeld, 0);
    synth.running = 1;
    clickAt(60, 90); // back to pattern mode: only the mode changes
    EXPECT_EQ(p().MidiMode + synth.running, 1);

    clickAt(60, 122); // "Improved Emulation": the dimming shows at once
    EXPECT_EQ(p().ImprovedEmulation + caption(207).enabled, 0);
    for (int expected : {0, 1, 0, 1})
    {
        clickAt(60, 10); // "VCO Mode"
        EXPECT_EQ(p().VCOMode, expected);
        page.onIdle(true);
    }
    clickAt(36, 14); // the switch's right end
    EXPECT_EQ(p().VCOMode, 2);
}

// A value other than 0 or 1 (a damaged or foreign state) counts as on and switches off.
TEST_F(PreferencesView, AnOptionHoldingAnotherValueSwitchesOffThenOn)
{
    for (auto option : {&JuceDemoPluginAudioProcessor::VCANoise, &JuceDemoPluginAudioProcessor::VCOPhaseReset})
    {
        p().*option = option == &JuceDemoPluginAudioProcessor::VCANoise ? 5 : -4;
        const int tag = option == &JuceDemoPluginAudioProcessor::VCANoise ? 102 : 105;
        page.buttonClicked(tag);
        EXPECT_EQ(p().*option, 0);
        page.buttonClicked(tag);
        EXPECT_EQ(p().*option, 1);
    }
    p().MidiMode = 2;
    synth.running = 1;
    clickAt(60, 90); // "Note Mode": pattern mode can be reached
    EXPECT_EQ(p().MidiMode, oxn3::kPatternMode);
    EXPECT_EQ(synth.running, 1);
    page.onIdle(true);
    EXPECT_EQ(control(104).value, 0.0f);
    clickAt(60, 90);
    EXPECT_EQ(p().MidiMode + synth.running, 1);
}

// After a recall the trim knobs show the trims that sound, and the host has the same values.
TEST_F(PreferencesView, RecalledTrimsShowOnTheKnobsAndReachTheHost)
{
    juce::XmlElement xml("MYPLUGINSETTINGS");
    // {attribute, knob, parameter, value}
    const std::tuple<const char*, int, int, float> trims[] = {
        {"ResoTrim", 200, 13, 0.3f}, {"GateTrim", 202, 14, 0.6f},
        {"TuningTrim", 204, 15, 0.4f}, {"VCFTrim", 212, 17, 0.8f},
    };
    for (const auto& [name, tag, parameter, value] : trims)
        xml.setAttribute(name, value);
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(xml, block);
    p().setStateInformation(block.getData(), static_cast<int>(block.getSize()));
    page.onIdle(true);
    for (const auto& [name, tag, parameter, value] : trims)
    {
        EXPECT_FLOAT_EQ(control(tag).value, value) << name;
        EXPECT_FLOAT_EQ(p().getParameters()[parameter]->getValue(), value) << name;
    }
}

TEST_F(PreferencesView, TrimsDimWithTheClassicEngineButStillWorkWithTruncatedPercentTexts)
{
    page.buttonClicked(106);
    for (int tag : {206, 207, 212, 213})
        EXPECT_EQ(caption(tag).enabled, 0) << tag;
    EXPECT_EQ(control(200).enabled, 1);
    // {tag, parameter, value, text}
    const std::tuple<int, int, float, const char*> cases[] = {
        {200, 13, 0.999f, "Reso Trim: 99%"}, {202, 14, 1.0f, "Gate Trim: 100%"}, {204, 15, 0.5f, "Detune Trim: 50%"},
        {210, 9, 0.0f, "Hipass: 0%"},        {206, 16, 0.25f, "Bass: 25%"}};
    for (const auto& [tag, parameter, v, text] : cases)
    {
        page.valueChanged(tag, v);
        EXPECT_FLOAT_EQ(p().getParameter(parameter), v) << tag;
        EXPECT_EQ(p().touchedParameter, parameter);
        EXPECT_EQ(status(), text);
        EXPECT_EQ(editor->statusCounter, 10);
    }
    EXPECT_DOUBLE_EQ(p().ResoTrim, static_cast<double>(0.999f));
    page.valueChanged(212, 0.75f);
    EXPECT_DOUBLE_EQ(p().VCFTrim, 0.75);
    page.valueChanged(99, 2.0f);
    EXPECT_EQ(p().VCOMode, 2);

    // A restored state shows on the next tick, on this page and on the editor's own.
    p().ImprovedEmulation = 1, p().VCANoise = 1, p().PatternKnob = 4;
    page.onIdle(true);
    EXPECT_EQ(caption(213).enabled, 1);
    EXPECT_EQ(control(106).value, 1.0f);
    tick();
    ASSERT_TRUE(editor->preferencesView->isVisible());
    p().ImprovedEmulation = 0;
    tick();
    EXPECT_EQ(editor->preferencesView->getControlWithTag(102)->value, 1.0f);
    EXPECT_EQ(editor->preferencesView->getControlWithTag(212)->enabled, 0);
}

TEST_F(PreferencesView, SpinHalvesInAbout69TicksAndADragWithoutNetMovementStopsIt)
{
    const juce::Point<float> down(300, 60);
    page.mouseDown(mouseAt(page, down, down));
    page.mouseDrag(mouseAt(page, {340, 40}, down));
    EXPECT_FLOAT_EQ(page.cubeSpin[0] * 100 + page.cubeSpin[1] * 10 + page.cubeSpin[2], -2 + 0.4f + 0.002f);
    for (int tick = 0; tick < 69; ++tick)
        page.onIdle(true);
    EXPECT_NEAR(page.cubeSpin[1], 0.02f, 0.0001f);
    page.mouseDrag(mouseAt(page, down, down));
    EXPECT_EQ(page.cubeSpin[0] == 0 && page.cubeSpin[1] == 0 && page.cubeSpin[2] == 0, true);
}

TEST(CubeMaths, WaveformHalfIsTwistedJustAboveIsStraight)
{
    const float shape[5] = {1, 1, 1, 1, 1};
    float box[8][3];
    oxn3::cubeTargetVertices(shape, oxn3::cubeIsTwisted(0.5f), box);
    EXPECT_EQ(box[0][0] + box[0][1], 20.0f);
    oxn3::cubeTargetVertices(shape, oxn3::cubeIsTwisted(0.5001f), box);
    EXPECT_EQ(box[0][0] + box[0][1] + box[0][2], -30.0f);
    EXPECT_EQ(box[4][0], -10.0f) << "the back face keeps its side in both variants";
}
} // namespace
