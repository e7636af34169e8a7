#include "UiTestHelpers.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"

namespace
{
constexpr float kScale = 1.3f;
const juce::Colour kBackground(0xff202428);

int midiNote(const step_t& s)
{
    return s.has(step_t::kGate) ? 36 + s.pitch + (s.has(step_t::kUp) ? 12 : 0) - (s.has(step_t::kDown) ? 12 : 0) : -1;
}

struct AnalyzerPage : ::testing::Test, oxn3test::PageRig<CPatternAnalyzer>
{
    AnalyzerPage() : PageRig(kScale) { page.setSynth(&synth); }

    int xAt(float fraction) const
    {
        const CPatternAnalyzer::WaveArea a = page.waveArea();
        return static_cast<int>(a.x0 + fraction * a.width);
    }
    void mouse(int x, int y, void (CPatternAnalyzer::*what)(const juce::MouseEvent&))
    {
        (page.*what)(oxn3test::mouseAt(page, x, y));
    }
    void click(int x, int y) { mouse(x, y, &CPatternAnalyzer::mouseDown), mouse(x, y, &CPatternAnalyzer::mouseUp); }
    void clickButton(int designY) { clickAt(40, float(designY + 9)); }
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
    // {left marker, to, start, end, start after, end after}: the left pushes the right along; the right
    // stops at the left
    const std::tuple<bool, float, float, float> cases[] = {
        {true, 0.7f, 0.7f, 0.7f},  {true, -0.3f, 0.0f, 0.5f}, {true, 1.4f, 1.0f, 1.0f},
        {false, 0.1f, 0.2f, 0.2f}, {false, 1.4f, 0.2f, 1.0f}, {false, 0.8f, 0.2f, 0.8f}};
    for (const auto& [left, to, wantStart, wantEnd] : cases)
    {
        float start = 0.2f, end = 0.5f;
        (left ? CPatternAnalyzer::moveLeftMarker : CPatternAnalyzer::moveRightMarker)(to, start, end);
        EXPECT_FLOAT_EQ(start * 10 + end, wantStart * 10 + wantEnd) << left << " " << to;
    }
    for (const auto& [dy, length] : {std::pair(-40, 26), {400, 1}, {-400, 64}})
        EXPECT_EQ(CPatternAnalyzer::lengthAfterDrag(16, dy), length);
}

TEST_F(AnalyzerPage, MarkerHandlesDragAndTheDeadAreaKeepsThePlayPosition)
{
    const int bottom = page.getHeight() - 1;
    mouse(xAt(0.0f) + 2, bottom, &CPatternAnalyzer::mouseDown);
    mouse(xAt(0.6f), 10, &CPatternAnalyzer::mouseDrag);
    mouse(xAt(0.6f), 10, &CPatternAnalyzer::mouseUp);
    EXPECT_NEAR(page.selectionStart, 0.6f, 0.01f);
    mouse(xAt(1.0f) - 3, bottom, &CPatternAnalyzer::mouseDown);
    mouse(xAt(0.2f), 10, &CPatternAnalyzer::mouseDrag);
    EXPECT_FLOAT_EQ(page.selectionEnd, page.selectionStart);
    mouse(xAt(0.2f), 10, &CPatternAnalyzer::mouseUp);

    processor->samplePlayPosition = 1234.0;
    click(static_cast<int>(400 * kScale), 5);
    EXPECT_EQ(processor->samplePlayPosition, 1234.0);
    EXPECT_FALSE(page.playPositionClicked);
}

TEST_F(AnalyzerPage, PlayWaveStartsAtTheClickThenFromTheStartAndStepsFollowsTheLength)
{
    const int n = processor->sampleBuffer.getNumSamples();
    click(xAt(0.5f), 60);
    EXPECT_NEAR(processor->samplePlayPosition, n / 2, n / 200);
    const double clicked = processor->samplePlayPosition;
    // {play after the click, position}: start, stop, start again from the beginning
    for (const auto& [playing, position] : {std::pair(1, clicked), {0, clicked}, {1, 0.0}})
    {
        clickButton(5); // Play Wave
        EXPECT_EQ(processor->playSample, playing);
        EXPECT_EQ(processor->samplePlayPosition, position);
    }
    clickButton(26); // Play Pattern
    EXPECT_EQ(synth.running, 1);
    page.onIdle(true);
    EXPECT_EQ(juce::String(control(CPatternAnalyzer::kPlayWave).label) + "|" +
                  juce::String(control(CPatternAnalyzer::kPlayPattern).label) + "|" + juce::String(control(CPatternAnalyzer::kSteps).label),
              "Stop Wave|Stop Pattern|Steps 16");
    synth.activePattern().setLength(7);
    page.onIdle(true);
    EXPECT_STREQ(control(CPatternAnalyzer::kSteps).label, "Steps 7");

    const int y = static_cast<int>(119 * kScale);
    mouse(40, y, &CPatternAnalyzer::mouseDown);
    mouse(40, y - 40, &CPatternAnalyzer::mouseDrag);
    EXPECT_EQ(synth.activePattern().getLength(), 17);
}

// The length taken at the press belongs to the pattern pressed on: once another pattern is current
// the drag writes nothing more, even when the first pattern comes back.
TEST_F(AnalyzerPage, StepsDragEndsWhenTheCurrentPatternChanges)
{
    synth.patterns[1].setLength(4);
    const Vst303Pattern one = synth.patterns[1];
    const int y = static_cast<int>(119 * kScale);
    mouse(40, y, &CPatternAnalyzer::mouseDown);
    mouse(40, y - 8, &CPatternAnalyzer::mouseDrag);
    EXPECT_EQ(synth.patterns[0].getLength(), 18);
    for (const auto& [current, dy] : {std::pair(1, -40), {1, 400}, {0, -80}})
    {
        synth.currentPattern = current;
        mouse(40, y + dy, &CPatternAnalyzer::mouseDrag);
    }
    mouse(40, y - 80, &CPatternAnalyzer::mouseUp);
    EXPECT_TRUE(oxn3test::samePattern(synth.patterns[1], one));
    EXPECT_EQ(synth.patterns[0].getLength(), 18);
}

// Past 2^24 samples the right marker's single-precision product rounds above the sample count;
// Detect still reads the span up to the last sample. A square wave of period 400 is note 45.
TEST_F(AnalyzerPage, DetectOnALongFileReadsUpToTheRightMarker)
{
    const int n = (1 << 24) + 3;
    EXPECT_EQ(CPatternAnalyzer::markedSpan(n, 0.0f, 1.0f), std::make_pair(0, n));
    EXPECT_EQ(CPatternAnalyzer::markedSpan(n, 1.0f, 1.0f), std::make_pair(n, n));
    processor->sampleBuffer.setSize(1, n);
    float* samples = processor->sampleBuffer.getWritePointer(0);
    for (int i = 0; i < n; ++i)
        samples[i] = (i / 200) % 2 ? 0.5f : -0.5f;
    processor->thumbnail = std::make_unique<juce::AudioThumbnail>(128, *processor->formatManager, *processor->thumbnailCache);
    synth.activePattern().Clear(0);
    clickButton(47); // Detect
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(midiNote(synth.activePattern().steps[i]), 45) << i;
}

// With MIDI learn on, the controller moved after a Steps drag sets the pattern length from then
// on; the randomiser's scale keys are left alone.
TEST_F(AnalyzerPage, StepsDragThenAControllerLearnsThePatternLength)
{
    processor->LockToPresetLengths = 0;
    processor->midiLearnActive = 1;
    const int scaleCSharp = processor->advancedRandom.scale[1];
    const int y = static_cast<int>(119 * kScale);
    mouse(40, y, &CPatternAnalyzer::mouseDown);
    mouse(40, y - 8, &CPatternAnalyzer::mouseDrag);
    mouse(40, y - 8, &CPatternAnalyzer::mouseUp);
    oxn3test::send(*processor, oxn3test::controller(30, 64)); // learnt and applied at once
    EXPECT_EQ(synth.activePattern().getLength(), 8);
    processor->midiLearnActive = 0;
    oxn3test::send(*processor, oxn3test::controller(30, 32));
    EXPECT_EQ(synth.activePattern().getLength(), 4);
    EXPECT_EQ(processor->advancedRandom.scale[1], scaleCSharp);
}

TEST_F(AnalyzerPage, NoWaveLoadedDetectKeepsThePatternAndHelpFadeRestarts)
{
    synth.activePattern().header = Vst303Pattern::kTripletBit | 32;
    synth.activePattern().steps[31] = {5, step_t::kGate | step_t::kAccent};
    const Vst303Pattern before = synth.activePattern();
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
    clickButton(47); // Detect closes the help view and, with nothing loaded, leaves the pattern
    EXPECT_FALSE(page.helpVisible);
    EXPECT_TRUE(oxn3test::samePattern(synth.activePattern(), before));
}

// A loop OXN3 rendered at 48 kHz, dropped on the page, comes back as the pattern that made it; an
// unreadable file, chosen or dropped, is named on the status line and transcribes nothing.
TEST_F(AnalyzerPage, DroppedRenderedLoopWritesItsPatternBackAndAnUnreadableFileNothing)
{
    const Vst303Pattern sent = oxn3test::bassLine();
    const juce::File loop = oxn3test::renderedLoop(sent, 48000, "oxn3-analyser-loop.wav");
    synth.activePattern().Clear();
    page.helpVisible = true;
    page.filesDropped(juce::StringArray(loop.getFullPathName()), 10, 10);
    EXPECT_FALSE(page.helpVisible);
    EXPECT_EQ(processor->sampleFileRate, 48000.0);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(midiNote(synth.activePattern().steps[i]), midiNote(sent.steps[i])) << i;

    const juce::File bogus = loop.getSiblingFile("oxn3-analyser-bogus.wav");
    bogus.replaceWithText("not audio");
    synth.activePattern().Clear();
    const Vst303Pattern cleared = synth.activePattern();
    page.loadChosenFile(bogus);
    EXPECT_EQ(page.audioFolder, bogus);
    EXPECT_TRUE(oxn3test::samePattern(synth.activePattern(), cleared));
    EXPECT_EQ(status() + " " + juce::String(editor->statusCounter), "Could not read oxn3-analyser-bogus.wav 50");
    synth.currentPattern = 11;
    const Vst303Pattern eleven = synth.activePattern();
    page.filesDropped(juce::StringArray(bogus.getFullPathName()), 10, 10);
    EXPECT_TRUE(oxn3test::samePattern(synth.activePattern(), eleven));
    loop.deleteFile();
    bogus.deleteFile();
}

TEST(AnalyzerInEditor, ShowsInViewTwoAndFollowsTheLengthWithinATick)
{
    oxn3test::EditorRig rig;
    rig.processor->PatternKnob = 2;
    rig.tick();
    ASSERT_NE(rig.editor->analyzer, nullptr);
    EXPECT_TRUE(rig.editor->analyzer->isVisible());
    rig.synth.activePattern().setLength(9);
    rig.tick();
    EXPECT_STREQ(rig.editor->analyzer->getControlWithTag(CPatternAnalyzer::kSteps)->label, "Steps 9");
}
