#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/pages/preferences/CPreferencesView.h"

namespace
{
using Processor = JuceDemoPluginAudioProcessor;

struct Preferences : ::testing::Test, oxn3test::PageRig<CPreferencesView>
{
    // Every option the page switches, to see that a click changes exactly one.
    std::vector<int> options() const
    {
        const Processor& p = *processor;
        return {p.VCOMode, p.VCOVibrato, p.VCAClicks, p.VCANoise, p.SyncMode, p.MidiMode, p.VCOPhaseReset,
                p.ImprovedEmulation};
    }
    std::vector<float> parameters() const
    {
        std::vector<float> v;
        for (int i = 0; i < 18; ++i)
            v.push_back(processor->getParameter(i));
        return v;
    }
};
} // namespace

TEST_F(Preferences, EachBoxAndItsCaptionSwitchExactlyTheirOption)
{
    // {option index in options(), box centre y, caption centre y}; boxes at x 25..33, captions from x 40
    const std::tuple<int, int, int> rows[] = {
        {1, 28, 27}, {2, 44, 43}, {3, 60, 59}, {4, 76, 75}, {5, 92, 91}, {6, 108, 107}, {7, 124, 123},
    };
    for (const auto& [option, boxY, captionY] : rows)
        for (const auto& [x, y] : {std::pair(29, boxY), {90, captionY}})
        {
            const std::vector<int> before = options();
            clickAt(float(x), float(y));
            std::vector<int> expected = before;
            expected[static_cast<size_t>(option)] = 1 - before[static_cast<size_t>(option)];
            EXPECT_EQ(options(), expected) << "option " << option << " at " << x << "," << y;
            synth.running = 0;
        }
    // Where the "VCO Mode" and "Vibrato" captions overlap, the later one in the table answers.
    std::vector<int> expected = options();
    expected[1] = 1 - expected[1];
    clickAt(90, 20);
    EXPECT_EQ(options(), expected);

    const std::vector<int> before = options();
    clickAt(36, 14); // the VCO mode switch's right end
    EXPECT_EQ(options()[0], 2);
    EXPECT_TRUE(std::equal(before.begin() + 1, before.end(), options().begin() + 1));
}

TEST_F(Preferences, EachTrimKnobWritesExactlyItsParameterAndShowsItsValue)
{
    // {tag, knob centre, host parameter}
    const std::tuple<int, juce::Point<float>, int> rows[] = {
        {200, {166, 40}, 13}, {202, {166, 106}, 14}, {204, {533, 40}, 15},
        {206, {533, 106}, 16}, {212, {586, 40}, 17}, {210, {586, 106}, 9},
    };
    processor->ImprovedEmulation = 1;
    page.onIdle(true);
    for (const auto& [tag, centre, parameter] : rows)
    {
        const std::vector<float> before = parameters();
        page.mouseDown(oxn3test::mouseAt(page, centre, centre));
        page.mouseDrag(oxn3test::mouseAt(page, centre.translated(0, -20), centre));
        page.mouseUp(oxn3test::mouseAt(page, centre.translated(0, -20), centre));
        const std::vector<float> after = parameters();
        for (int i = 0; i < 18; ++i)
        {
            if (i == parameter)
            {
                EXPECT_NEAR(after[static_cast<size_t>(i)], std::min(1.0f, control(tag).value), 1e-6) << tag;
            }
            else
            {
                EXPECT_EQ(after[static_cast<size_t>(i)], before[static_cast<size_t>(i)]) << tag << " moved " << i;
            }
        }
        EXPECT_NE(after[static_cast<size_t>(parameter)], before[static_cast<size_t>(parameter)]) << tag;
    }
    // Back from the processor: each knob shows its own value.
    processor->ResoTrim = 0.1, processor->GateTrim = 0.2, processor->TuningTrim = 0.3;
    processor->setParameter(16, 0.4f), processor->setParameter(9, 0.6f), processor->setParameter(17, 0.7f);
    page.onIdle(true);
    for (const auto& [tag, value] : {std::pair(200, 0.1f), {202, 0.2f}, {204, 0.3f}, {206, 0.4f}, {210, 0.6f}, {212, 0.7f}})
        EXPECT_NEAR(control(tag).value, value, 1e-6) << tag;
}

TEST_F(Preferences, OnlyBassAndVcfTrimDimWithTheClassicEngine)
{
    for (int improved : {0, 1})
    {
        processor->ImprovedEmulation = improved;
        page.onIdle(true);
        for (int i = 0; i < page.controlCount; ++i)
        {
            const int tag = page.controls[i].tag;
            const bool improvedOnly = tag == 206 || tag == 207 || tag == 212 || tag == 213;
            EXPECT_EQ(page.controls[i].enabled, improvedOnly ? improved : 1) << tag;
        }
    }
}
