#include <gtest/gtest.h>

#include <cstring>

#include "EditorFixture.h"
#include "patterns/Vst303PatternMetaData.h"
#include "ui/CCustomDisplay.h"
#include "ui/SimplexDraw.h"

using namespace classicpanel;

namespace
{
constexpr int kC = 0, kStepRecordIndex = 33, kLengthDown = 23, kLengthUp = 24;

juce::Point<int> centreOf(int index, float scale = 1.0f)
{
    return buttonBox(index, scale).getCentre();
}

int indexOfTag(int tag)
{
    for (int i = 0; i < kButtonCount; ++i)
        if (buttonlist[i].tag == tag)
            return i;
    return -1;
}

bool samePattern(const Vst303Pattern& a, const Vst303Pattern& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A WAV file of a short 110 Hz tone.
void writeWav(const juce::File& file)
{
    juce::AudioBuffer<float> tone(1, 22050);
    for (int i = 0; i < tone.getNumSamples(); ++i)
        tone.setSample(0, i, 0.5f * std::sin(2.0f * juce::MathConstants<float>::pi * 110.0f * i / 44100.0f));
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        wav.createWriterFor(new juce::FileOutputStream(file), 44100.0, 1, 16, {}, 0));
    writer->writeFromAudioSampleBuffer(tone, 0, tone.getNumSamples());
}
} // namespace

TEST(ClassicPanelRules, PressTargets)
{
    // {point, scale, selected}
    const std::tuple<juce::Point<int>, float, int> cases[] = {
        {{590, 35}, 1.0f, kStepRecordIndex},   // grown step-back and step-record boxes overlap: the later wins
        {{100, 80}, 1.0f, kLengthZone},        // the length read-out under the grown length +1 box
        {{590, 65}, 1.0f, kStepZone},
        {{134, 90}, 1.0f, kC},                 // 7 pixels left of C
        {{132, 90}, 1.0f, -1},                 // 9 pixels left
        {{26, 45}, 1.0f, -1},                  // 1 pixel left of transpose up, which does not grow
        {{27, 42}, 1.0f, indexOfTag(227)},
        {{268, 180}, 2.0f, kC},                // 7 pixels left of C at scale 2 (grown by 16)
        {{200, 160}, 2.0f, kLengthZone},
    };
    for (const auto& [point, scale, expected] : cases)
        EXPECT_EQ(pressTarget(point, scale), expected) << point.toString() << " at " << scale;
}

TEST(ClassicPanelRules, DragsAndLamps)
{
    for (int start : {1, 16, 64})
    {
        EXPECT_EQ(lengthAfterDrag(400, start), 1);
        EXPECT_EQ(lengthAfterDrag(-400, start), 64);
    }
    EXPECT_EQ(lengthAfterDrag(-4, 16), 17);
    EXPECT_EQ(stepAfterDrag(-8, 3), 4);

    const auto twelve = pitchLamps(12);
    const auto thirtySix = pitchLamps(36);
    for (int k = 0; k < 13; ++k)
    {
        const auto lk = static_cast<size_t>(k);
        EXPECT_EQ(twelve[lk].lit, k == 0 || k == 12) << k;
        EXPECT_EQ(thirtySix[lk].lit, k == 12) << k;
        EXPECT_FALSE(pitchLamps(-5)[lk].lit);
        EXPECT_FALSE(pitchLamps(48)[lk].drawn);
    }
    EXPECT_EQ(twelve[0].colour, juce::Colours::red);
    EXPECT_EQ(twelve[12].colour, juce::Colours::white);
    EXPECT_EQ(thirtySix[12].colour, juce::Colour(255, 255, 0));
    EXPECT_EQ(pitchLamps(26)[2].colour, juce::Colour(255, 255, 0));
}

class ClassicPanel : public EditorFixture
{
  protected:
    CCustomDisplay panel{nullptr, editor.get()};

    ClassicPanel()
    {
        panel.setSynth(&synth);
        panel.setBounds(0, 0, 622, 133);
    }

    void click(int tag, bool shift = false, bool right = false)
    {
        panel.press(centreOf(indexOfTag(tag)), shift, right);
        panel.release();
    }

    Vst303Pattern& current() { return synth.activePattern(); }
};

TEST_F(ClassicPanel, HeldLengthButtonRepeatsAfterTenTicksThenEveryTick)
{
    current().setLength(62);
    panel.press(centreOf(kLengthUp), false, false);
    EXPECT_EQ(current().getLength(), 63);
    for (int tick = 1; tick <= 9; ++tick)
        panel.onIdle(true);
    EXPECT_EQ(current().getLength(), 63);
    panel.onIdle(true);
    EXPECT_EQ(current().getLength(), 64);
    for (int tick = 0; tick < 5; ++tick)
        panel.onIdle(true);
    EXPECT_EQ(current().getLength(), 64);
    panel.release();

    panel.press(centreOf(kLengthDown), false, false);
    panel.onIdle(false); // a hidden panel does not count
    EXPECT_EQ(current().getLength(), 63);
}

TEST_F(ClassicPanel, ReadOutDragsSetLengthAndCursor)
{
    current().header = Vst303Pattern::kTripletBit | 16;
    panel.press({98, 80}, false, false);
    panel.dragBy(400);
    EXPECT_EQ(current().getLength(), 1);
    panel.dragBy(-400);
    EXPECT_EQ(current().getLength(), 64);
    EXPECT_EQ(current().getTriplet(), 1);
    EXPECT_EQ(processor->touchedParameter, 100);
    panel.release();

    panel.press({590, 65}, false, false);
    panel.dragBy(-80);
    EXPECT_EQ(synth.editStep, 10);
    panel.dragBy(1000);
    EXPECT_EQ(synth.editStep, 0);
}

TEST_F(ClassicPanel, ClearWithAndWithoutShift)
{
    for (step_t& s : current().steps)
        s.pitch = 5, s.flags = step_t::kAccent;
    synth.editStep = 3;
    click(221, true);
    EXPECT_EQ(editor->undoLabel, "Clear Pattern");
    EXPECT_EQ(editor->undoPattern.steps[0].pitch, 5);
    EXPECT_EQ(synth.editStep, 3);
    EXPECT_EQ(current().steps[0].pitch, 0);
    EXPECT_EQ(current().steps[0].flags, 0);
    EXPECT_NE(editor->statusState, 100); // no tip
    EXPECT_NE(processor->touchedParameter, 221);

    click(221);
    EXPECT_EQ(synth.editStep, 0);
    EXPECT_EQ(current().steps[15].flags, step_t::kGate);
    EXPECT_EQ(editor->statusState, 100);
    EXPECT_EQ(editor->statusCounter, 25);
    EXPECT_EQ(processor->touchedParameter, 221);
}

TEST_F(ClassicPanel, TouchedLearnTargets)
{
    // {tag, shift, right button, touched afterwards (-7: left as it was)}
    const std::tuple<int, bool, bool, int> cases[] = {
        {200, false, false, 200}, {212, false, false, 212}, {216, true, false, 234}, {217, false, true, 236},
        {218, true, false, 235},  {218, false, false, 218}, {214, false, false, 214}, {214, true, false, -7},
        {214, false, true, 214},  {231, false, false, -7},  {232, false, false, -7},  {233, false, false, -7},
        {228, false, false, 228}, {224, false, false, 224}};
    for (const auto& [tag, shift, right, touched] : cases)
    {
        processor->touchedParameter = -7;
        click(tag, shift, right);
        EXPECT_EQ(processor->touchedParameter, touched) << tag << shift << right;
        synth.running = 0;
    }
}

TEST_F(ClassicPanel, NotePreviewOnlyWhileStoppedWithNoteOffOnRelease)
{
    synth.editStep = 2;
    current().steps[2].flags = step_t::kUp;
    panel.press(centreOf(indexOfTag(203)), false, false); // D#, one octave up
    EXPECT_EQ(panel.previewNote, 3 + 36 + 12);
    EXPECT_EQ(synth.gate, 1);
    panel.release();
    EXPECT_EQ(panel.previewNote, -1);
    EXPECT_EQ(synth.gate, 0);

    synth.running = 1;
    panel.press(centreOf(indexOfTag(203)), false, false);
    EXPECT_EQ(panel.previewNote, -1);
    panel.release();
}

TEST_F(ClassicPanel, StepRecordNextTiesWhileAKeyIsHeldElseRests)
{
    click(224);
    EXPECT_EQ(synth.stepRecord, 1);
    EXPECT_EQ(editor->undoLabel, "Step Record");
    current().steps[0] = {7, step_t::kGate | step_t::kAccent};
    current().steps[1] = {9, step_t::kGate | step_t::kTie};
    synth.editStep = 1;
    synth.gate = 1;
    click(222);
    EXPECT_EQ(current().steps[1].pitch, 7);
    EXPECT_EQ(current().steps[1].flags, step_t::kGate | step_t::kAccent);
    EXPECT_TRUE(current().steps[0].has(step_t::kSlide));
    EXPECT_EQ(synth.editStep, 2);

    synth.gate = 0;
    current().steps[2] = {9, step_t::kGate | step_t::kTie | step_t::kAccent};
    click(222);
    EXPECT_EQ(current().steps[2].pitch, 0);
    EXPECT_EQ(current().steps[2].flags, step_t::kTie);
}

TEST_F(ClassicPanel, CopyAndPasteTheWholeRecord)
{
    current().header = Vst303Pattern::kTripletBit | 7;
    current().steps[40].pitch = 11;
    click(231);
    synth.currentPattern = 5;
    click(232);
    EXPECT_TRUE(samePattern(current(), synth.patterns[0]));
}

TEST_F(ClassicPanel, DroppedPatternFilesFillSlotsUpTo127)
{
    const juce::String a = writePattern("a.pat", 5, 1, 0.9f), b = writePattern("b.PAT", 6, 2), c = writePattern("c.pat", 7, 3);
    const Vst303Pattern beyond = synth.patterns[128];
    synth.currentPattern = 126;
    const float cutoff = processor->getParameter(1);
    panel.filesDropped({a, b, c}, 0, 0);
    EXPECT_EQ(processor->getParameter(1), cutoff); // knob lines are not applied
    EXPECT_EQ(synth.patterns[126].getLength(), 5);
    EXPECT_EQ(synth.patterns[127].getLength(), 6);
    EXPECT_TRUE(samePattern(synth.patterns[128], beyond));

    synth.currentPattern = 10;
    panel.filesDropped({folder.path("notes.txt"), a}, 0, 0); // other files use up their slot
    EXPECT_EQ(synth.patterns[10].getLength(), 16);
    EXPECT_EQ(synth.patterns[11].getLength(), 5);
}

TEST_F(ClassicPanel, DroppedAudioGoesToTheAnalyser)
{
    const juce::File wav(folder.path("loop.WAV"));
    writeWav(wav);
    synth.currentPattern = 10;
    for (int p : {10, 11})
        for (step_t& s : synth.patterns[p].steps)
            s = {30, step_t::kSpare};
    const Vst303Pattern next = synth.patterns[11];
    panel.filesDropped({wav.getFullPathName()}, 0, 0);
    EXPECT_GT(processor->sampleLength, 0);
    ASSERT_NE(editor->analyzer, nullptr);
    EXPECT_NE(synth.patterns[10].steps[0].pitch, 30); // transcribed into the current pattern
    EXPECT_TRUE(samePattern(synth.patterns[11], next));
}

TEST_F(ClassicPanel, StepReadOutShowsTwoDigitsInRedWhileRecording)
{
    // The read-out area painted by the panel against the two glyphs drawn alone.
    auto readOut = [&](int step, bool recording) {
        synth.editStep = step;
        synth.stepRecord = recording ? 1 : 0;
        juce::Image image(juce::Image::ARGB, 622, 133, true);
        juce::Graphics g(image);
        panel.chaseFrame = 100;
        panel.paint(g);
        return image.getClippedImage({575, 56, 30, 20});
    };
    auto expected = [](int tens, int ones, juce::Colour colour) {
        juce::Image image(juce::Image::ARGB, 622, 133, true);
        juce::Graphics g(image);
        draw_simplex({580, 73}, 16 + tens, 1.5f, colour, 0.5f, g);
        draw_simplex({590, 73}, 16 + ones, 1.5f, colour, 0.5f, g);
        return image.getClippedImage({575, 56, 30, 20});
    };
    auto same = [](const juce::Image& a, const juce::Image& b) {
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                    return false;
        return true;
    };
    current().setLength(64);
    EXPECT_TRUE(same(readOut(0, false), expected(0, 1, juce::Colour(255, 255, 0))));
    EXPECT_TRUE(same(readOut(63, false), expected(6, 4, juce::Colour(255, 255, 0))));
    EXPECT_TRUE(same(readOut(63, true), expected(6, 4, juce::Colour(255, 0, 0))));
    EXPECT_FALSE(same(readOut(62, false), expected(6, 4, juce::Colour(255, 255, 0))));
}

TEST_F(ClassicPanel, StartUpChaseRunsOncePerShownTick)
{
    panel.onIdle(false);
    for (int tick = 1; tick <= 28; ++tick)
    {
        panel.onIdle(true);
        EXPECT_EQ(panel.chaseFrame, tick - 1);
    }
    panel.onIdle(true);
    panel.onIdle(true);
    EXPECT_EQ(panel.chaseFrame, 28); // over: no more repaints for it
}
