#include <cmath>

#include <gtest/gtest.h>

#include "engine/Synth303Classic.h"
#include "engine/VoiceTestHelpers.h"

namespace
{
// A held note with envmod and accent at 0, so that cutoff can act only on the voice's level.
std::vector<float> plainNote(double rate, float cutoff)
{
    auto synth = makeVoice(rate);
    synth->VCOMode = 2;
    synth->cutoff = cutoff;
    synth->resonance = 0.6f;
    synth->envmod = synth->accent = 0.0f;
    settleKnobs(*synth);
    holdNote(*synth, 110.0f);
    return render311(*synth, static_cast<int>(rate));
}

// Largest difference between the bright render and the dark one scaled by the level the cutoff
// knob gives every engine after the VCA (0.8 c + 1 - c).
double differenceBeyondLevel(double rate)
{
    const std::vector<float> dark = plainNote(rate, 0.0f);
    const std::vector<float> bright = plainNote(rate, 1.0f);
    double largest = 0.0;
    for (size_t i = 0; i < dark.size(); ++i)
        largest = std::max(largest, std::fabs(bright[i] - dark[i] * 0.8));
    return largest / peakOf(dark);
}
} // namespace

TEST(ClassicRender, UnfilteredAtAndBelow22050Hz)
{
    // Only the level after the VCA follows the cutoff knob: the renders are scaled copies.
    EXPECT_LT(differenceBeyondLevel(11025.0), 1e-5);
    EXPECT_LT(differenceBeyondLevel(22050.0), 1e-5);
    EXPECT_GT(differenceBeyondLevel(44100.0), 0.3); // above, the filter acts
    EXPECT_GT(peakOf(plainNote(22050.0, 0.0f)), 0.1);
}

TEST(ClassicRender, PitchWheelHasNoEffect)
{
    std::vector<float> centre;
    for (int wheel : {oxn3::kPitchBendCentre, 0, oxn3::kPitchBendSize - 1})
    {
        auto synth = busyVoice(44100.0, 2, true);
        synth->VCANoise = 1;
        synth->pitchBend = wheel;
        const std::vector<float> out = render311(*synth, 44100);
        if (centre.empty())
            centre = out;
        EXPECT_TRUE(sameBits(out, centre)) << "wheel " << wheel;
    }
}

TEST(ClassicEnvelopes, AccentSnapshotDecaysAtTheSameSpeedAtEveryRate)
{
    for (double rate : {22050.0, 44100.0, 96000.0, 882000.0})
    {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        auto synth = makeVoice(rate);
        synth->accentCap.value = 0.5;
        holdNote(*synth, 110.0f);
        float sample = 0.0f;
        synth->blockProcess311(&sample, 1, false);
        if (rate == 44100.0)
        {
            EXPECT_EQ(synth->accentSnapshot, static_cast<float>(0.5f * 0.999975));
        }
        float previous = synth->accentSnapshot;
        for (int i = 1; i < static_cast<int>(rate / 2); ++i)
        {
            synth->blockProcess311(&sample, 1, false);
            ASSERT_LE(synth->accentSnapshot, previous) << "sample " << i; // never above the value at the trigger
            previous = synth->accentSnapshot;
        }
        EXPECT_NEAR(previous / 0.5f, std::pow(0.999975, 22050.0), 2e-3);
    }
}

TEST(ClassicFilter, RangesAndCoefficientBelowOne)
{
    using oxn3::ClassicFilterRange;
    const std::pair<double, ClassicFilterRange> ranges[] = {
        {11025.0, ClassicFilterRange::Bypassed}, {22050.0, ClassicFilterRange::Bypassed},
        {22051.0, ClassicFilterRange::Ladder}, {881999.0, ClassicFilterRange::Ladder},
        {882000.0, ClassicFilterRange::VeryHighRate}};
    for (const auto& [rate, range] : ranges)
        EXPECT_EQ(oxn3::classicFilterRange(rate), range) << rate;

    // From 882 kHz, where the coefficient would pass 1 it is held just below, so (1 - c)^q stays defined.
    for (float cv0 : {0.94f, 1.0f, 1.4f, 3.0f})
        EXPECT_LT(oxn3::classicCutoff(cv0, ClassicFilterRange::VeryHighRate), 1.0f) << cv0;
}

// Where the coefficient would pass 1 the voice must neither blow up nor go NaN.
TEST(ClassicFilter, FullyOpenVoiceStaysBoundedAt882kHz)
{
    auto synth = busyVoice(882000.0, 1, true);
    synth->VCAClicks = synth->VCOVibrato = 1;
    synth->cutoff = synth->resonance = synth->envmod = synth->decay = synth->accent = synth->volume = 1.0f;
    synth->tuning = synth->waveform = synth->distort = synth->highpass = 1.0f;
    synth->ResoTrim = synth->GateTrim = 1.0;
    settleKnobs(*synth);
    const std::vector<float> out = render311(*synth, 882000);
    EXPECT_GT(peakOf(out), 0.1);
    EXPECT_LT(peakOf(out), 20.0);
    EXPECT_EQ(firstUnusableState(*synth), "");
}
