#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/pages/classic/SimplexDraw.h"
#include "ui/window/PatchMenu.h"

using namespace classicpanel;
using oxn3test::samePattern;

namespace
{
constexpr int kC = 0, kStepRecordIndex = 33, kLengthDown = 23, kLengthUp = 24;

int indexOfTag(int tag)
{
    for (int i = 0; i < kButtonCount; ++i)
        if (buttonlist[i].tag == tag)
            return i;
    return -1;
}

juce::Point<int> centreOf(int index)
{
    return buttonBox(index, 1.0f).getCentre();
}
} // namespace

TEST(ClassicPanelRules, PressTargetsDragsAndLamps)
{
    // {point, scale, selected}
    const std::tuple<juce::Point<int>, float, int> cases[] = {
        {{590, 35}, 1.0f, kStepRecordIndex}, // grown step-back and step-record boxes overlap: the later wins
        {{100, 80}, 1.0f, kLengthZone},      // the length read-out under the grown length +1 box
        {{590, 65}, 1.0f, kStepZone},          {{134, 90}, 1.0f, kC}, // 7 pixels left of C
        {{132, 90}, 1.0f, -1},                 {{26, 45}, 1.0f, -1},  // 1 pixel left of transpose up
        {{27, 42}, 1.0f, indexOfTag(227)},     {{268, 180}, 2.0f, kC}, {{200, 160}, 2.0f, kLengthZone},
    };
    for (const auto& [point, scale, expected] : cases)
        EXPECT_EQ(pressTarget(point, scale), expected) << point.toString() << " at " << scale;
    for (int start : {1, 16, 64})
        EXPECT_EQ(lengthAfterDrag(400, start) * 100 + lengthAfterDrag(-400, start), 164) << start;
    EXPECT_EQ(lengthAfterDrag(-4, 16), 17);
    EXPECT_EQ(stepAfterDrag(-8, 3), 4);

    const auto twelve = pitchLamps(12), thirtySix = pitchLamps(36);
    for (size_t k = 0; k < 13; ++k)
    {
        EXPECT_EQ(twelve[k].lit, k == 0 || k == 12) << k;
        EXPECT_EQ(thirtySix[k].lit, k == 12) << k;
        EXPECT_FALSE(pitchLamps(-5)[k].lit);
    }
    EXPECT_EQ(twelve[0].colour, juce::Colours::red);
    EXPECT_EQ(twelve[12].colour, juce::Colours::white);
    EXPECT_EQ(thirtySix[12].colour, juce::Colour(255, 255, 0));
}

class ClassicPanel : public oxn3test::EditorTest
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

TEST_F(ClassicPanel, HeldLengthButtonRepeatsAfterTenShownTicks)
{
    current().setLength(62);
    panel.press(centreOf(kLengthUp), false, false);
    for (const auto& [ticks, length] : {std::pair(0, 63), {9, 63}, {6, 64}}) // at once, after 500 ms, held at 64
    {
        for (int tick = 0; tick < ticks; ++tick)
            panel.onIdle(true);
        EXPECT_EQ(current().getLength(), length) << ticks;
    }
    panel.release();

    panel.press(centreOf(kLengthDown), false, false);
    panel.onIdle(false); // a hidden panel does not count
    EXPECT_EQ(current().getLength(), 63);
}

// The length taken at the press belongs to the pattern pressed on: a MIDI note that switches the
// pattern mid-drag ends the drag.
TEST_F(ClassicPanel, LengthDragEndsWhenTheCurrentPatternChanges)
{
    synth.patterns[1].setLength(4);
    const Vst303Pattern one = synth.patterns[1];
    panel.press({98, 80}, false, false);
    panel.dragBy(-8);
    synth.currentPattern = 1;
    panel.dragBy(-80);
    synth.currentPattern = 0;
    panel.dragBy(-200);
    EXPECT_TRUE(samePattern(synth.patterns[1], one));
    EXPECT_EQ(synth.patterns[0].getLength(), 18);
}

TEST_F(ClassicPanel, ReadOutDragsSetLengthAndCursor)
{
    current().header = Vst303Pattern::kTripletBit | 16;
    panel.press({98, 80}, false, false);
    for (const auto& [dy, length] : {std::pair(400, 1), {-400, 64}})
    {
        panel.dragBy(dy);
        EXPECT_EQ(current().getLength() * 10 + current().getTriplet(), length * 10 + 1);
    }
    EXPECT_EQ(processor->touchedParameter, 100);
    panel.release();
    panel.press({590, 65}, false, false);
    for (const auto& [dy, step] : {std::pair(-80, 10), {1000, 0}})
    {
        panel.dragBy(dy);
        EXPECT_EQ(synth.editStep, step);
    }
}

TEST_F(ClassicPanel, ClearWithAndWithoutShift)
{
    for (step_t& s : current().steps)
        s.pitch = 5, s.flags = step_t::kAccent;
    synth.editStep = 3;
    click(221, true); // no tip, no learn target, the cursor stays
    EXPECT_EQ(editor->undoLabel + juce::String(editor->undoPattern.steps[0].pitch), "Clear Pattern5");
    EXPECT_EQ(synth.editStep * 100 + current().steps[0].pitch + current().steps[0].flags, 300);
    EXPECT_FALSE(editor->statusState == 100 || processor->touchedParameter == 221);
    click(221);
    EXPECT_EQ(synth.editStep * 100 + current().steps[15].flags, step_t::kGate);
    EXPECT_EQ(editor->statusState * 100 + editor->statusCounter, 100 * 100 + 25);
    EXPECT_EQ(processor->touchedParameter, 221);
}

TEST_F(ClassicPanel, TouchedLearnTargets)
{
    // {tag, shift, right button, touched afterwards (-7: left as it was)}
    const std::tuple<int, bool, bool, int> cases[] = {
        {200, false, false, 200}, {216, true, false, 234}, {217, false, true, 236}, {218, true, false, 235},
        {218, false, false, 218}, {214, true, false, -7},  {214, false, true, 214}, {231, false, false, -7},
        {233, false, false, -7},  {224, false, false, 224}};
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
    for (int running : {0, 1})
    {
        synth.running = running;
        panel.press(centreOf(indexOfTag(203)), false, false); // D#, one octave up
        EXPECT_EQ(panel.previewNote * 10 + synth.gate, running ? -10 : (3 + 36 + 12) * 10 + 1);
        panel.release();
        EXPECT_EQ(panel.previewNote + synth.gate, -1);
    }
    // While step recording, one key press writes one step and moves the cursor once.
    synth.running = 0;
    synth.stepRecord = synth.autoAdvance = 1;
    synth.editStep = 4;
    current().steps[5] = {9, 0};
    panel.press(centreOf(indexOfTag(203)), false, false);
    panel.release();
    EXPECT_EQ(synth.editStep, 5);
    EXPECT_EQ(current().steps[5].pitch, 9);
}

TEST_F(ClassicPanel, StepRecordNextTiesWhileAKeyIsHeldElseRests)
{
    click(224);
    EXPECT_EQ(editor->undoLabel + juce::String(synth.stepRecord), "Step Record1");
    current().steps[0] = {7, step_t::kGate | step_t::kAccent};
    current().steps[1] = {9, step_t::kGate | step_t::kTie};
    synth.editStep = 1;
    synth.gate = 1;
    click(222);
    EXPECT_EQ(current().steps[1].pitch * 100 + current().steps[1].flags, 700 + (step_t::kGate | step_t::kAccent));
    EXPECT_EQ(current().steps[0].has(step_t::kSlide) + synth.editStep, 3);

    synth.gate = 0;
    current().steps[2] = {9, step_t::kGate | step_t::kTie | step_t::kAccent};
    click(222);
    EXPECT_EQ(current().steps[2].pitch * 100 + current().steps[2].flags, step_t::kTie);
}

TEST_F(ClassicPanel, CopyAndPasteTheWholeRecordButNothingBeforeTheFirstCopy)
{
    copyPatternFilled = false;
    current().header = 32;
    current().steps[31] = {9, step_t::kGate};
    const Vst303Pattern before = current();
    click(232);
    editor->menuItemSelected(oxn3::kMenuPastePattern, editor.get());
    EXPECT_TRUE(samePattern(current(), before));

    current().header = Vst303Pattern::kTripletBit | 7;
    current().steps[40].pitch = 11;
    click(231);
    synth.currentPattern = 5;
    click(232);
    EXPECT_TRUE(samePattern(current(), synth.patterns[0]));
}

TEST_F(ClassicPanel, DroppedPatternFilesFillSlotsUpTo127AndAudioGoesToTheAnalyser)
{
    const juce::String a = writePattern("a.pat", 5, 1, 0.9f), b = writePattern("b.PAT", 6, 2), c = writePattern("c.pat", 7, 3);
    const Vst303Pattern beyond = synth.patterns[128];
    synth.currentPattern = 126;
    const float cutoff = processor->getParameter(1);
    panel.filesDropped({a, b, c}, 0, 0);
    EXPECT_EQ(processor->getParameter(1), cutoff); // knob lines are not applied
    EXPECT_EQ(synth.patterns[126].getLength() * 10 + synth.patterns[127].getLength(), 56);
    EXPECT_TRUE(samePattern(synth.patterns[128], beyond));

    synth.currentPattern = 10;
    panel.filesDropped({folder.path("notes.txt"), a}, 0, 0); // other files use up their slot
    EXPECT_EQ(synth.patterns[10].getLength() * 10 + synth.patterns[11].getLength(), 165);

    const juce::File wav = oxn3test::renderedLoop(oxn3test::bassLine(), 44100, "oxn3-panel-loop.WAV");
    synth.patterns[10].Clear();
    const Vst303Pattern next = synth.patterns[11];
    panel.filesDropped({wav.getFullPathName()}, 0, 0);
    ASSERT_NE(editor->analyzer, nullptr);
    EXPECT_EQ(synth.patterns[10].steps[1].pitch, 7); // transcribed into the current pattern
    EXPECT_TRUE(samePattern(synth.patterns[11], next));
    wav.deleteFile();

    // Unreadable files change no pattern, also with a good loop loaded before; the status line names them.
    const juce::String broken = folder.write("broken.wav", std::string("not audio")),
                       garbage = folder.write("garbage.pat", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    synth.currentPattern = 11;
    const Vst303Pattern before[] = {synth.patterns[11], synth.patterns[12]};
    panel.filesDropped({broken, garbage}, 0, 0);
    EXPECT_TRUE(samePattern(synth.patterns[11], before[0]) && samePattern(synth.patterns[12], before[1]));
    EXPECT_EQ(status(), "Could not read garbage.pat");
    panel.filesDropped({broken}, 0, 0);
    EXPECT_EQ(status() + " " + juce::String(editor->statusCounter), "Could not read broken.wav 50");
}

TEST_F(ClassicPanel, StepReadOutShowsTwoDigitsInRedWhileRecordingAndTheChaseRunsOnce)
{
    // The read-out area painted by the panel against the two glyphs drawn alone.
    auto readOut = [&](int step, bool recording) {
        synth.editStep = step;
        synth.stepRecord = recording ? 1 : 0;
        panel.chaseFrame = 100;
        return oxn3test::paintOf(panel, juce::Colours::transparentBlack).getClippedImage({575, 56, 30, 20});
    };
    auto same = [](const juce::Image& a, int tens, int ones, juce::Colour colour) {
        juce::Image b(juce::Image::ARGB, 622, 133, true);
        juce::Graphics g(b);
        draw_simplex({580, 73}, 16 + tens, 1.5f, colour, 0.5f, g);
        draw_simplex({590, 73}, 16 + ones, 1.5f, colour, 0.5f, g);
        bool equal = true;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                equal = equal && a.getPixelAt(x, y) == b.getPixelAt(575 + x, 56 + y);
        return equal;
    };
    const juce::Colour yellow(255, 255, 0), red(255, 0, 0);
    current().setLength(64);
    EXPECT_TRUE(same(readOut(0, false), 0, 1, yellow));
    EXPECT_TRUE(same(readOut(63, false), 6, 4, yellow));
    EXPECT_TRUE(same(readOut(63, true), 6, 4, red));
    EXPECT_FALSE(same(readOut(62, false), 6, 4, yellow));

    panel.chaseFrame = 0;
    panel.onIdle(false);
    for (int tick = 1; tick <= 30; ++tick)
    {
        panel.onIdle(true);
        EXPECT_EQ(panel.chaseFrame, std::min(tick - 1, 28));
    }
}
