#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/widgets/CPatternDigits.h"
#include "ui/widgets/CSplashView.h"
#include "ui/widgets/DisplayRules.h"

namespace
{
using EditorFixture = oxn3test::EditorTest;

} // namespace

TEST(DisplayRules, NoteNamesZonesDragWheelAndFade)
{
    const std::pair<int, const char*> notes[] = {{60, "C3"},  {61, "C#3"}, {0, "C-2"}, {1, "C#-2"},
                                                 {127, "G8"}, {-5, "C-2"}, {300, "G8"}};
    for (const auto& [note, name] : notes)
    {
        char out[5];
        oxn3::midiNoteText(out, note);
        EXPECT_STREQ(out, name) << note;
    }
    char line[64];
    oxn3::patternStatusText(line, sizeof(line), 36);
    EXPECT_STREQ(line, "Pattern: 36, Midi Note: C1");
    // {pattern, y, lastY, result}: one pixel down -1, one up 0, two up +1, limits
    const int drags[][4] = {
        {5, 11, 10, 4}, {5, 9, 10, 5}, {5, 8, 10, 6}, {0, 30, 10, 0}, {127, -90, 10, 127}};
    for (const auto& d : drags)
        EXPECT_EQ(oxn3::dragPattern(d[0], d[1], d[2]), d[3]) << d[0] << " " << d[1];
    const std::tuple<int, float, bool, int> wheels[] = {
        {127, 1, false, 127}, {10, 0.1f, false, 11},   {10, 0.1f, true, 9}, {10, -2.5f, false, 7},
        {0, -0.1f, false, 0}, {10, 1e30f, false, 127}, {10, NAN, false, 10}};
    for (const auto& [p, d, reversed, result] : wheels)
        EXPECT_EQ(oxn3::wheelPattern(p, d, reversed), result) << p << " " << d;
    EXPECT_EQ(oxn3::splashAlpha(5) + oxn3::splashAlpha(10) + oxn3::splashAlpha(400), 127 + 255 + 255);
}

TEST_F(EditorFixture, PatternDigitsRunStopLockDragAndWheel)
{
    CPatternDigits digits(nullptr, editor.get());
    digits.setSynth(&synth);
    digits.setBounds(0, 0, 102, 50);
    digits.setScale(2.0f);
    synth.currentPattern = 5;
    synth.setRunStop(0);
    processor->PatternLock = 0;
    digits.press(26, 20); // x = 13s: the bound is inclusive
    digits.drag(0);       // dragging the triangle changes nothing
    EXPECT_EQ(synth.running, 1);
    digits.press(77, 20); // one pixel past w - 13s
    digits.drag(0);
    EXPECT_EQ(processor->PatternLock, 1);
    EXPECT_EQ(editor->statusCounter, 50);
    EXPECT_EQ(synth.currentPattern, 5);
    digits.press(76, 20); // x = w - 13s
    digits.drag(16);      // two pixels up
    EXPECT_EQ(synth.currentPattern * 100 + digits.startPattern, 705);
    digits.drag(17);
    digits.mouseWheelMove(oxn3test::mouseAt(digits, 50, 20), {0, 0.2f, true, false, false});
    EXPECT_EQ(synth.currentPattern, 5);
}

TEST_F(EditorFixture, PatchDisplayClicksAndShiftHalves)
{
    CPatchDisplay status(nullptr, editor.get());
    status.setBounds(0, 0, 216, 25);
    status.press(10, false); // no listener: nothing to report to
    oxn3test::Recorder r(1001);
    status.listener = &r;
    status.tag = 1001;
    status.press(10, false);
    status.release();
    processor->MidiMode = 0;
    synth.setRunStop(1);
    synth.gate = 1;
    editor->statusCounter = 9;
    status.mouseDown(oxn3test::mouseAt(status, 107, 5, 1, juce::ModifierKeys::shiftModifier));
    EXPECT_EQ(processor->MidiMode + synth.running + synth.gate + editor->statusCounter, 1);
    synth.setRunStop(1);
    status.press(0, true); // back to pattern mode, still stopped
    EXPECT_EQ(processor->MidiMode + synth.running, 0);
    const int sync = processor->SyncMode;
    status.press(108, true);
    EXPECT_EQ(processor->SyncMode, sync == 0 ? 1 : 0);
    EXPECT_EQ(r.seen, (std::vector<float>{1, 0})); // Shift-clicks report nothing on the press
}

TEST_F(EditorFixture, AboutViewScrollAndClose)
{
    CSplashView about(nullptr, editor.get());
    about.scrollOffset = 10;
    about.onIdle(false);                                              // runs whatever the flag says
    about.mouseDrag(oxn3test::mouseAt(about, {5, 20}, {5, 60})); // 40 up from the press
    EXPECT_FLOAT_EQ(about.scrollOffset + (float)about.frameCounter, 19.0f + 1.0f);
    editor->splashVisible = true;
    about.mouseDown(oxn3test::mouseAt(about, 5, 5));
    EXPECT_FALSE(editor->splashVisible);
}
