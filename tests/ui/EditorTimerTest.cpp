// The 50 ms tick driven by hand: status machine and texts, view switching, rocker repeat, learn
// overlays, and a quiet tick that repaints and allocates nothing.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "EditorTestHelpers.h"
#include "ui/CAdvancedRandomView.h"
#include "ui/CAiraDisplay.h"
#include "ui/CBitmapSlider.h"
#include "ui/CCustomDisplay.h"
#include "ui/CPatternAnalyzer.h"
#include "ui/CPatternDisplay.h"
#include "ui/CPreferencesView.h"
#include "ui/CWaveformDisplay.h"
#include "ui/VersionText.h"

namespace
{
// Counts every repaint that reaches the editor from itself or a visible child.
struct RepaintCounter : juce::CachedComponentImage
{
    int count = 0;
    void paint(juce::Graphics&) override {}
    bool invalidateAll() override { return ++count, true; }
    bool invalidate(const juce::Rectangle<int>&) override { return ++count, true; }
    void releaseResources() override {}
};

std::vector<bool> shownPages(JuceDemoPluginAudioProcessorEditor& e)
{
    return {e.customDisplay->isVisible(), e.airaDisplay->isVisible(),     e.analyzer->isVisible(),
            e.randomView->isVisible(),    e.preferencesView->isVisible(), e.waveformDisplay->isVisible(),
            e.patternDisplay->isVisible()};
}
} // namespace

TEST(EditorTimer, BannerFromTickTwoToEightyOneThenLiveStatus)
{
    oxn3test::EditorRig rig;
    rig.open(); // the constructor runs tick 1
    EXPECT_EQ(rig.status(), "");
    rig.tick();
    EXPECT_EQ(rig.status(), juce::String("OXN3 3.2.0 Build8 Linux 64-bit "));
    rig.tick(79); // tick 81
    EXPECT_EQ(rig.status(), juce::String(oxn3::kVersionBanner));
    rig.processor.MidiOutput = 1;
    rig.tick(); // tick 82
    EXPECT_EQ(rig.status(), "120 BPM | Pattern | Host Sync | M");
}

TEST(EditorTimer, HeldMessageLastsItsTicksAndAZeroTickTextKeepsTheHold)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    rig.tick(81);
    editor.setPatchDisplayText("held", 50);
    rig.tick(20);
    editor.setPatchDisplayText("replaced", 0);
    rig.tick(30);
    EXPECT_EQ(rig.status(), "replaced");
    rig.tick();
    EXPECT_TRUE(rig.status().contains("BPM"));
}

TEST(EditorTimer, LearnTexts)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    rig.tick(81);
    rig.processor.midiLearnActive = 1;
    rig.processor.touchedParameter = -1;
    rig.tick();
    EXPECT_EQ(rig.status(), "Touch a parameter");

    rig.processor.touchedParameter = 1;
    int withColon = 0;
    for (int i = 0; i < 8; ++i)
    {
        rig.tick();
        withColon += rig.status() == "Midi Learn: N/A -> Cutoff";
        EXPECT_TRUE(rig.status() == "Midi Learn: N/A -> Cutoff" || rig.status() == "Midi Learn  N/A -> Cutoff");
    }
    EXPECT_EQ(withColon, 3);

    rig.processor.midiCCMap[7] = 1;
    rig.tick(8);
    EXPECT_TRUE(rig.status().endsWith("CC # 7 -> Cutoff"));
    auto* cutoff = editor.getBitmapSliderWithName("cutoffKnob");
    EXPECT_TRUE(cutoff->showOverlay);
    EXPECT_EQ(cutoff->overlayText, "#7");
    EXPECT_EQ(editor.getBitmapSliderWithName("tuningKnob")->overlayText, "N/A");

    rig.processor.touchedParameter = 200;
    rig.processor.lastMidiNote = 60;
    rig.tick();
    EXPECT_TRUE(rig.status().startsWith("Midi Key 60 -> ")) << rig.status();
}

TEST(EditorTimer, ViewKnobSelectsPagesAndLeavingTheRandomiserClearsApply)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    auto* knob = editor.patternKnobWidget;
    knob->setValue(0.75, juce::sendNotificationSync);
    rig.tick();
    EXPECT_EQ(shownPages(editor), (std::vector<bool>{false, false, false, true, false, false, false}));
    EXPECT_EQ(rig.status(), "Advanced Randomizer");
    rig.processor.advancedRandom.apply = 1;
    knob->setValue(0.999, juce::sendNotificationSync);
    rig.tick();
    EXPECT_EQ(rig.processor.PatternKnob, 3);
    EXPECT_EQ(rig.processor.advancedRandom.apply, 1);
    knob->setValue(1.0, juce::sendNotificationSync);
    rig.tick();
    EXPECT_EQ(rig.processor.PatternKnob, 4);
    EXPECT_EQ(rig.processor.advancedRandom.apply, 0);
    EXPECT_EQ(shownPages(editor), (std::vector<bool>{false, false, false, false, true, false, false}));

    rig.processor.PatternKnob = -1;
    rig.tick();
    EXPECT_EQ(shownPages(editor), (std::vector<bool>{false, false, false, false, false, true, true}));
    rig.processor.PatternKnob = 7;
    rig.tick();
    EXPECT_EQ(shownPages(editor), std::vector<bool>(7, false));
}

TEST(EditorTimer, HeldRockerStepsAtPressAfterTenTicksThenEveryOtherAndStopsAt127)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    auto& pattern = rig.processor.synth->currentPattern;
    pattern = 100;
    editor.rocker->setValue(0.0); // upper half held
    EXPECT_EQ(pattern, 101);
    rig.tick(10);
    EXPECT_EQ(pattern, 101);
    rig.tick();
    EXPECT_EQ(pattern, 102);
    rig.tick(4);
    EXPECT_EQ(pattern, 104);
    editor.rocker->setValue(1.0);
    rig.tick(10);
    EXPECT_EQ(pattern, 104);

    pattern = 126;
    editor.rocker->setValue(0.0);
    rig.tick(30);
    EXPECT_EQ(pattern, 127);
    editor.rocker->setValue(2.0);
    EXPECT_EQ(pattern, 126);
}

TEST(EditorTimer, KnobMoveReachesTheHostAndShowsItsValue)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    editor.getBitmapSliderWithName("cutoffKnob")->setValue(0.25, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ(rig.processor.getParameter(1), 0.25f);
    EXPECT_EQ(rig.status(), rig.processor.getParameterTextForGUI(1));
    EXPECT_EQ(editor.statusState, 100);
}

TEST(EditorTimer, QuietTickRepaintsNothingAndAllocatesNothing)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    editor.setVisible(true);
    rig.tick(100);
    auto* counter = new RepaintCounter; // the editor owns it from here
    editor.setCachedComponentImage(counter);
    counter->count = 0;
    rig.tick();
    long allocations = 0;
    {
        oxn3test::CountingScope scope;
        rig.tick();
        allocations = scope.count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(counter->count, 0);

    rig.processor.parameterValues[1] = 0.9;
    rig.tick();
    EXPECT_EQ(counter->count, 1); // the cutoff knob alone
    editor.setCachedComponentImage(nullptr);
}
