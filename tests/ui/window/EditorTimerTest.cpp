// The 50 ms tick driven by hand: status machine and texts, view switching, rocker repeat, learn
// overlays, and a quiet tick that repaints and allocates nothing.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "UiTestHelpers.h"
#include "ui/pages/randomiser/CAdvancedRandomView.h"
#include "ui/pages/steps/CAiraDisplay.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"
#include "ui/pages/grid/CPatternDisplay.h"
#include "ui/pages/preferences/CPreferencesView.h"
#include "ui/pages/scope/CWaveformDisplay.h"
#include "ui/window/VersionText.h"

namespace
{
// The shown pages as a bit pattern: classic, table, analyser, randomiser, preferences, scope, grid.
int shownPages(JuceDemoPluginAudioProcessorEditor& e)
{
    const juce::Component* pages[] = {e.customDisplay, e.airaDisplay,     e.analyzer,      e.randomView,
                                      e.preferencesView, e.waveformDisplay, e.patternDisplay};
    int bits = 0;
    for (const juce::Component* p : pages)
        bits = bits * 10 + (p->isVisible() ? 1 : 0);
    return bits;
}

using EditorTimer = oxn3test::EditorTest; // the editor's constructor runs tick 1
} // namespace

TEST_F(EditorTimer, BannerFromTickTwoToEightyOneThenLiveStatusAndHeldMessages)
{
    EXPECT_EQ(status(), "");
    tick();
    EXPECT_EQ(status(), juce::String("OXN3 3.2.0 Build8 Linux 64-bit "));
    tick(79); // tick 81
    EXPECT_EQ(status(), juce::String(oxn3::kVersionBanner));
    processor->MidiOutput = 1;
    tick(); // tick 82
    EXPECT_EQ(status(), "120 BPM | Pattern | Host Sync | M");

    editor->setPatchDisplayText("held", 50);
    tick(20);
    editor->setPatchDisplayText("replaced", 0); // keeps the remaining hold
    tick(30);
    EXPECT_EQ(status(), "replaced");
    tick();
    EXPECT_TRUE(status().contains("BPM"));
}

TEST_F(EditorTimer, LearnTexts)
{
    tick(81);
    processor->midiLearnActive = 1;
    processor->touchedParameter = -1;
    tick();
    EXPECT_EQ(status(), "Touch a parameter");

    processor->touchedParameter = 1;
    int withColon = 0;
    for (int i = 0; i < 8; ++i)
    {
        tick();
        withColon += status() == "Midi Learn: N/A -> Cutoff";
        EXPECT_TRUE(status() == "Midi Learn: N/A -> Cutoff" || status() == "Midi Learn  N/A -> Cutoff");
    }
    EXPECT_EQ(withColon, 3);

    processor->midiCCMap[7] = 1;
    tick(8);
    EXPECT_TRUE(status().endsWith("CC # 7 -> Cutoff"));
    EXPECT_TRUE(editor->getBitmapSliderWithName("cutoffKnob")->showOverlay);
    EXPECT_EQ(editor->getBitmapSliderWithName("cutoffKnob")->overlayText, "#7");
    EXPECT_EQ(editor->getBitmapSliderWithName("tuningKnob")->overlayText, "N/A");

    processor->touchedParameter = 200;
    processor->lastMidiNote = 60;
    tick();
    EXPECT_TRUE(status().startsWith("Midi Key 60 -> ")) << status();
}

TEST_F(EditorTimer, ViewKnobSelectsPagesAndLeavingTheRandomiserClearsApply)
{
    // {knob, apply before, view, apply after, pages}
    const std::tuple<double, int, int, int, int> steps[] = {
        {0.75, 0, 3, 0, 1000}, {0.999, 1, 3, 1, 1000}, {1.0, 1, 4, 0, 100}, {0.75, 0, 3, 0, 1000}};
    for (const auto& [knob, applyBefore, view, applyAfter, pages] : steps)
    {
        processor->advancedRandom.apply = applyBefore;
        editor->patternKnobWidget->setValue(knob, juce::sendNotificationSync);
        tick();
        EXPECT_EQ(processor->PatternKnob, view) << knob;
        EXPECT_EQ(processor->advancedRandom.apply, applyAfter) << knob;
        EXPECT_EQ(shownPages(*editor), pages) << knob;
    }
    EXPECT_EQ(status(), "Advanced Randomizer");
    processor->PatternKnob = -1;
    tick();
    EXPECT_EQ(shownPages(*editor), 11);
    processor->PatternKnob = 7;
    tick();
    EXPECT_EQ(shownPages(*editor), 0);
}

TEST_F(EditorTimer, HeldRockerStepsAtPressAfterTenTicksThenEveryOtherAndStopsAt127)
{
    int& pattern = synth.currentPattern;
    pattern = 100;
    editor->rocker->setValue(0.0); // upper half held
    EXPECT_EQ(pattern, 101);
    tick(10);
    EXPECT_EQ(pattern, 101);
    tick();
    EXPECT_EQ(pattern, 102);
    tick(4);
    EXPECT_EQ(pattern, 104);
    editor->rocker->setValue(1.0);
    tick(10);
    EXPECT_EQ(pattern, 104);

    pattern = 126;
    editor->rocker->setValue(0.0);
    tick(30);
    EXPECT_EQ(pattern, 127);
    editor->rocker->setValue(2.0);
    EXPECT_EQ(pattern, 126);
}

TEST_F(EditorTimer, KnobMoveShowsItsValueAndAQuietTickRepaintsAndAllocatesNothing)
{
    editor->getBitmapSliderWithName("cutoffKnob")->setValue(0.25, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ(processor->getParameter(1), 0.25f);
    EXPECT_EQ(status(), processor->getParameterTextForGUI(1));
    EXPECT_EQ(editor->statusState, 100);

    editor->setVisible(true);
    tick(100);
    auto* counter = new oxn3test::RepaintCounter; // the editor owns it from here
    editor->setCachedComponentImage(counter);
    counter->count = 0;
    tick();
    {
        oxn3test::CountingScope scope;
        tick();
        EXPECT_EQ(scope.count(), 0);
    }
    EXPECT_EQ(counter->count, 0);
    processor->parameterValues[1] = 0.9;
    tick();
    EXPECT_EQ(counter->count, 1); // the cutoff knob alone
    editor->setCachedComponentImage(nullptr);
}
