#include <gtest/gtest.h>

#include <memory>

#include "UiTestHelpers.h"
#include "ui/CPatternAnalyzer.h"

namespace
{
using oxn3test::mouseAt;
constexpr float kScale = 1.3f;
const juce::Colour kBackground(0xff202428);

int midiNote(const step_t& s)
{
    return 36 + s.pitch + (s.has(step_t::kUp) ? 12 : 0) - (s.has(step_t::kDown) ? 12 : 0);
}

struct AnalyzerPage : ::testing::Test
{
    JuceDemoPluginAudioProcessor processor;
    JuceDemoPluginAudioProcessorEditor editor{processor};
    CPatternAnalyzer page{nullptr, &editor};
    Synth303& synth = *processor.synth;

    void SetUp() override
    {
        page.setSynth(&synth);
        page.setScale(kScale);
        page.setBounds(0, 0, static_cast<int>(622 * kScale), static_cast<int>(133 * kScale));
    }

    int xAt(float fraction) const
    {
        const CPatternAnalyzer::WaveArea a = page.waveArea();
        return static_cast<int>(a.x0 + fraction * a.width);
    }
    int bottom() const { return page.getHeight() - 1; }
    void press(int x, int y) { page.mouseDown(mouseAt(page, x, y)); }
    void drag(int x, int y) { page.mouseDrag(mouseAt(page, x, y)); }
    void release(int x, int y) { page.mouseUp(mouseAt(page, x, y)); }
    void click(int x, int y) { press(x, y), release(x, y); }
    void clickButton(int designY) { click(static_cast<int>(40 * kScale), static_cast<int>((designY + 9) * kScale)); }

    juce::Image paintPage(int times = 1)
    {
        for (int i = 1; i < times; ++i)
            oxn3test::paintOf(page, kBackground);
        return oxn3test::paintOf(page, kBackground);
    }
};
} // namespace

TEST(AnalyzerRules, MarkersPushAndStopEachOther)
{
    const struct
    {
        bool left;
        float to, start, end, wantStart, wantEnd;
    } cases[] = {
        {true, 0.7f, 0.2f, 0.5f, 0.7f, 0.7f},  // left pushes right along
        {true, -0.3f, 0.2f, 0.5f, 0.0f, 0.5f},
        {true, 1.4f, 0.2f, 0.5f, 1.0f, 1.0f},
        {false, 0.1f, 0.2f, 0.5f, 0.2f, 0.2f}, // right stops at left; left stays
        {false, 1.4f, 0.2f, 0.5f, 0.2f, 1.0f},
        {false, 0.8f, 0.2f, 0.5f, 0.2f, 0.8f},
    };
    for (const auto& c : cases)
    {
        float start = c.start, end = c.end;
        if (c.left)
            CPatternAnalyzer::moveLeftMarker(c.to, start, end);
        else
            CPatternAnalyzer::moveRightMarker(c.to, start, end);
        EXPECT_FLOAT_EQ(start, c.wantStart) << c.left << " " << c.to;
        EXPECT_FLOAT_EQ(end, c.wantEnd) << c.left << " " << c.to;
    }
    EXPECT_EQ(CPatternAnalyzer::lengthAfterDrag(16, -40), 26);
    EXPECT_EQ(CPatternAnalyzer::lengthAfterDrag(16, 400), 1);
    EXPECT_EQ(CPatternAnalyzer::lengthAfterDrag(16, -400), 64);
}

TEST_F(AnalyzerPage, MarkerHandlesDragAndTheDeadAreaKeepsThePlayPosition)
{
    press(xAt(0.0f) + 2, bottom());
    drag(xAt(0.6f), 10);
    release(xAt(0.6f), 10);
    EXPECT_NEAR(page.selectionStart, 0.6f, 0.01f);
    press(xAt(1.0f) - 3, bottom());
    drag(xAt(0.2f), 10);
    EXPECT_FLOAT_EQ(page.selectionEnd, page.selectionStart);
    release(xAt(0.2f), 10);

    processor.samplePlayPosition = 1234.0;
    click(static_cast<int>(400 * kScale), 5);
    EXPECT_EQ(processor.samplePlayPosition, 1234.0);
    EXPECT_FALSE(page.playPositionClicked);
}

TEST_F(AnalyzerPage, PlayWaveStartsAtTheClickThenFromTheStart)
{
    const int n = processor.sampleBuffer.getNumSamples();
    click(xAt(0.5f), 60);
    EXPECT_NEAR(processor.samplePlayPosition, n / 2, n / 200);
    const double clicked = processor.samplePlayPosition;
    clickButton(5); // Play Wave
    EXPECT_EQ(processor.playSample, 1);
    EXPECT_EQ(processor.samplePlayPosition, clicked);
    clickButton(5);
    EXPECT_EQ(processor.playSample, 0);
    clickButton(5);
    EXPECT_EQ(processor.playSample, 1);
    EXPECT_EQ(processor.samplePlayPosition, 0.0);

    page.onIdle(true);
    EXPECT_STREQ(page.getControlWithTag(CPatternAnalyzer::kPlayWave)->label, "Stop Wave");
    clickButton(26); // Play Pattern
    EXPECT_EQ(synth.running, 1);
    page.onIdle(true);
    EXPECT_STREQ(page.getControlWithTag(CPatternAnalyzer::kPlayPattern)->label, "Stop Pattern");
}

TEST_F(AnalyzerPage, StepsFollowsTheLengthAndDragsIt)
{
    PanelControl* steps = page.getControlWithTag(CPatternAnalyzer::kSteps);
    page.onIdle(true);
    EXPECT_STREQ(steps->label, "Steps 16");
    synth.activePattern().setLength(7);
    page.onIdle(true);
    EXPECT_STREQ(steps->label, "Steps 7");

    const int y = static_cast<int>(119 * kScale);
    press(40, y);
    drag(40, y - 40);
    release(40, y - 40);
    EXPECT_EQ(synth.activePattern().getLength(), 17);
    EXPECT_EQ(processor.touchedParameter, CPatternAnalyzer::kSteps);
}

TEST_F(AnalyzerPage, NoWaveLoadedAndHelpFadeRestarts)
{
    const juce::Rectangle<int> middle(xAt(0.35f), page.getHeight() / 3, xAt(0.65f) - xAt(0.35f), page.getHeight() / 3);
    EXPECT_GT(oxn3test::countPixelsUnlike(paintPage(), middle, kBackground), 50); // "NO WAVE LOADED"

    clickButton(68); // Help
    ASSERT_TRUE(page.helpVisible);
    paintPage(12);
    EXPECT_EQ(page.helpFrame, 12);
    clickButton(68);
    paintPage();
    clickButton(68);
    paintPage();
    EXPECT_EQ(page.helpFrame, 1);
    clickButton(47); // Detect closes the help view
    EXPECT_FALSE(page.helpVisible);
}

// A loop OXN3 rendered at 48 kHz, dropped on the page, comes back as the pattern that made it.
TEST_F(AnalyzerPage, DroppedRenderedLoopWritesItsPatternBack)
{
    const Vst303Pattern sent = oxn3test::bassLine();
    const juce::File loop = oxn3test::renderedLoop(sent, 48000, "oxn3-analyser-loop.wav");
    synth.activePattern().Clear();
    page.helpVisible = true;
    page.filesDropped(juce::StringArray(loop.getFullPathName()), 10, 10);
    EXPECT_FALSE(page.helpVisible);
    EXPECT_EQ(processor.sampleFileRate, 48000.0);
    const Vst303Pattern& heard = synth.activePattern();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(heard.steps[i].has(step_t::kGate) ? midiNote(heard.steps[i]) : -1,
                  sent.steps[i].has(step_t::kGate) ? midiNote(sent.steps[i]) : -1) << i;

    // An unreadable file keeps that audio; Detect runs on it again.
    const juce::File bogus = loop.getSiblingFile("oxn3-analyser-bogus.wav");
    bogus.replaceWithText("not audio");
    synth.activePattern().Clear();
    page.loadChosenFile(bogus);
    EXPECT_EQ(page.audioFolder, bogus);
    EXPECT_GT(processor.sampleBuffer.getNumSamples(), 100000);
    EXPECT_FALSE(synth.activePattern().steps[4].has(step_t::kGate));
    loop.deleteFile();
    bogus.deleteFile();
}

// Inside the editor: the page shows in view mode 2, follows the length within one tick and
// shows a dropped loop.
TEST(AnalyzerInEditor, FollowsTheLengthWithinATickAndShowsTheDroppedLoop)
{
    oxn3test::EditorRig rig;
    rig.processor->PatternKnob = 2;
    JuceDemoPluginAudioProcessorEditor& editor = rig.open();
    rig.tick();
    ASSERT_NE(editor.analyzer, nullptr);
    EXPECT_TRUE(editor.analyzer->isVisible());
    rig.synth.activePattern().setLength(9);
    rig.tick();
    EXPECT_STREQ(editor.analyzer->getControlWithTag(CPatternAnalyzer::kSteps)->label, "Steps 9");

    rig.synth.activePattern().setLength(16);
    const juce::File loop = oxn3test::renderedLoop(oxn3test::bassLine(), 44100, "oxn3-analyser-editor-loop.wav");
    editor.analyzer->filesDropped(juce::StringArray(loop.getFullPathName()), 10, 10);
    rig.tick(2);
    EXPECT_FALSE(rig.synth.activePattern().steps[4].has(step_t::kGate));
    loop.deleteFile();
}
