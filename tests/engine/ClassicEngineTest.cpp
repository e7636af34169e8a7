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

// One sample from a fresh voice with a held note, after `prepare`.
template <class Prepare>
std::unique_ptr<Synth303> afterFirstSample(double rate, Prepare prepare)
{
    auto synth = makeVoice(rate);
    prepare(*synth);
    holdNote(*synth, 110.0f);
    float sample = 0.0f;
    synth->blockProcess311(&sample, 1, false);
    return synth;
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

TEST(ClassicOscillator, ModesMapOntoTheSharedModels)
{
    // classic mode -> the improved engine's number for the same model
    const std::pair<int, int> sameModel[] = {{0, 4}, {2, 3}, {1000, 1000}};
    const oxn3::OscillatorRates rates = oxn3::OscillatorRates::compute(1.0f);
    const double increment = 123.4 / 44100.0;
    const float period = oxn3::periodAt44k(1.0f, increment);
    for (const auto& [classicMode, improvedMode] : sameModel)
        for (float waveform : {0.0f, 1.0f})
        {
            SCOPED_TRACE(testing::Message() << "classic mode " << classicMode << " waveform " << waveform);
            auto classic = makeVoice();
            auto improved = makeVoice();
            classic->VCOMode = classicMode;
            improved->VCOMode = improvedMode;
            classic->smoothedWaveform = improved->smoothedWaveform = waveform;
            for (int i = 0; i < 2000; ++i)
                ASSERT_EQ(oxn3::oscillator311(*classic, increment, period, rates),
                          oxn3::oscillatorRE(*improved, increment, period, rates))
                    << "sample " << i;
        }
}

TEST(ClassicOscillator, ModeOneReadsTheSoftTablesAtThePeriodWithCarriedRatios)
{
    const oxn3::OscillatorRates rates = oxn3::OscillatorRates::compute(1.0f);
    const double increment = 97.0 / 44100.0;
    const float period = oxn3::periodAt44k(1.0f, increment);
    for (float waveform : {0.0f, 1.0f})
    {
        auto synth = makeVoice();
        synth->VCOMode = 1;
        synth->smoothedWaveform = waveform;
        const WaveTable& table = waveform > 0.5f ? *synth->wtXSquare : *synth->wtXSaw;
        float phase = 0.0f;
        double ratio[3] = {1.0015, 1.0007, 1.0};
        int wraps = 0;
        for (int i = 0; i < 3000; ++i)
        {
            const double expected = -static_cast<double>(table.lookup(phase, period)); // level 1 for both shapes
            ASSERT_EQ(oxn3::oscillator311(*synth, increment, period, rates), expected) << "sample " << i;
            phase = static_cast<float>(phase + increment * (ratio[0] * ratio[1] * ratio[2]));
            if (phase > 1.0f)
            {
                phase -= 1.0f;
                ++wraps;
                oxn3::carryCycleRatios(ratio);
            }
            ASSERT_EQ(synth->vcoPhase, phase);
        }
        EXPECT_GE(wraps, 6);
        EXPECT_EQ(synth->cycleRatio[0], ratio[0]);
    }
}

TEST(ClassicEnvelopes, GateEnvelopeOpensOverAFewMilliseconds)
{
    // 1.02 e + 0.001 per sample reaches 1 after 154 samples; with VCA clicks 1.1 e + 0.001 after 49.
    for (const auto& [clicks, samplesToOpen] : {std::pair<int, int>{0, 154}, {1, 49}})
    {
        auto synth = afterFirstSample(44100.0, [c = clicks](Synth303& s) { s.VCAClicks = c; });
        EXPECT_DOUBLE_EQ(synth->gateEnvelope, 0.001);
        int n = 1;
        for (float sample = 0.0f; synth->gateEnvelope < 1.0 && n < 1000; ++n)
            synth->blockProcess311(&sample, 1, false);
        EXPECT_EQ(n, samplesToOpen) << "clicks " << clicks;
    }
}

TEST(ClassicEnvelopes, AccentSnapshotDecaysAtTheSameSpeedAtEveryRate)
{
    for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 882000.0})
    {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        auto synth = afterFirstSample(rate, [](Synth303& s) { s.accentCap.value = 0.5; });
        if (rate == 44100.0)
        {
            EXPECT_EQ(synth->accentSnapshot, static_cast<float>(0.5f * 0.999975));
        }
        float previous = synth->accentSnapshot;
        float sample = 0.0f;
        for (int i = 1; i < static_cast<int>(rate / 2); ++i)
        {
            synth->blockProcess311(&sample, 1, false);
            ASSERT_LE(synth->accentSnapshot, previous) << "sample " << i; // never above the value at the trigger
            previous = synth->accentSnapshot;
        }
        EXPECT_NEAR(previous / 0.5f, std::pow(0.999975, 22050.0), 2e-3);
    }
}

TEST(ClassicEnvelopes, TriggerRestartsTheLaddersOnlyWhileTheVcaAccentIsLow)
{
    auto poleAfterTrigger = [](double vcaAccent, double gateTrim) {
        return afterFirstSample(44100.0, [&](Synth303& s) {
                   s.GateTrim = gateTrim;
                   s.vcaAccentLevel.value = vcaAccent;
                   for (OnePoleState& pole : s.ladderB)
                       pole.value = 0.7;
               })->ladderB[3].value;
    };
    EXPECT_LT(std::fabs(poleAfterTrigger(0.0, 0.5)), 0.05);
    EXPECT_GT(poleAfterTrigger(0.2, 0.5), 0.6);  // accent still sounding
    EXPECT_GT(poleAfterTrigger(0.0, 0.05), 0.6); // gate trim down
}

TEST(ClassicFilter, RangesAndCutoffMapping)
{
    using oxn3::ClassicFilterRange;
    const std::pair<double, ClassicFilterRange> ranges[] = {
        {11025.0, ClassicFilterRange::Bypassed}, {22050.0, ClassicFilterRange::Bypassed},
        {22051.0, ClassicFilterRange::Ladder}, {881999.0, ClassicFilterRange::Ladder},
        {882000.0, ClassicFilterRange::VeryHighRate}};
    for (const auto& [rate, range] : ranges)
        EXPECT_EQ(oxn3::classicFilterRange(rate), range) << rate;

    // The ladder range is the improved mapping without the trim.
    for (float cv0 : {-0.2f, 0.0f, 0.3f, 0.912f, 1.2f, 2.0f})
        EXPECT_EQ(oxn3::classicCutoff(cv0, ClassicFilterRange::Ladder),
                  static_cast<float>(oxn3::cutoffTarget(std::clamp(static_cast<double>(cv0), 0.0, 1.4))));
    EXPECT_LT(oxn3::classicCutoff(1.4f, ClassicFilterRange::Ladder), 0.92f);

    // Above 882 kHz there is no knee: 1.4 (exp(5 cv + 5) / 22050 - 0.0105), 0 at the bottom...
    EXPECT_EQ(oxn3::classicCutoff(0.0f, ClassicFilterRange::VeryHighRate), 0.0f);
    const float ex = static_cast<float>(std::exp(5.0 * 0.5 + 5.0) / 22050.0 - 0.0105);
    EXPECT_FLOAT_EQ(oxn3::classicCutoff(0.5f, ClassicFilterRange::VeryHighRate), 1.4f * ex);
    // ...and where it would pass 1 it is held just below, so (1 - c)^q stays defined.
    for (float cv0 : {0.94f, 1.0f, 1.4f, 3.0f})
    {
        const float c = oxn3::classicCutoff(cv0, ClassicFilterRange::VeryHighRate);
        EXPECT_LT(c, 1.0f);
        EXPECT_TRUE(std::isfinite(std::pow(1.0 - c, 0.05)));
    }
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
