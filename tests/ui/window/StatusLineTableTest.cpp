#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/widgets/CBitmapSlider.h"

using StatusLineTable = oxn3test::EditorTest;

TEST_F(StatusLineTable, ViewKnobNamesEachView)
{
    tick(81); // past the banner
    // {knob value, view, text}
    const std::tuple<double, int, const char*> rows[] = {
        {0.25, 1, "Pattern Edit"}, {0.5, 2, "Audio Analyzer"}, {0.75, 3, "Advanced Randomizer"},
        {1.0, 4, "Preferences / Setup"}, {0.0, 0, "Classic Edit"},
    };
    for (const auto& [knob, view, text] : rows)
    {
        editor->patternKnobWidget->setValue(knob, juce::sendNotificationSync);
        EXPECT_EQ(processor->PatternKnob, view) << knob;
        EXPECT_EQ(status(), juce::String(text)) << knob;
    }
}

TEST_F(StatusLineTable, LearnShowsEveryControllerNumberUpTo127)
{
    tick(81);
    processor->midiLearnActive = 1;
    processor->touchedParameter = 1;
    // {controller mapped to the cutoff (-1 none), status ending, knob overlay}
    const std::tuple<int, const char*, const char*> rows[] = {
        {-1, "N/A -> Cutoff", "N/A"}, {0, "CC # 0 -> Cutoff", "#0"}, {127, "CC #127 -> Cutoff", "#127"},
    };
    for (const auto& [cc, ending, overlay] : rows)
    {
        processor->resetMidiLearn();
        if (cc >= 0)
            processor->midiCCMap[cc] = 1;
        tick(8);
        EXPECT_TRUE(status().endsWith(ending)) << cc << ": " << status();
        EXPECT_EQ(editor->getBitmapSliderWithName("cutoffKnob")->overlayText, overlay) << cc;
    }
}
