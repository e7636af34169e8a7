#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/HalfBandDecimator.h"
#include "engine/Synth303Filter.h"
#include "engine/VoiceTestHelpers.h"

namespace
{
constexpr double kPi = 3.141592653589793;

// Peak gain of vcf303 (run twice per output sample at 44.1 kHz) for a small sine at `hz`.
double sineGain(double hz, float c, float r)
{
    auto synth = makeVoice();
    double peak = 0.0;
    for (int i = 0; i < 8000; ++i)
    {
        const float in = static_cast<float>(0.02 * std::sin(2.0 * kPi * hz * i / 44100.0));
        synth->vcf303(in, c, r, 1.0f);
        const float y = synth->vcf303(in, c, r, 1.0f);
        if (i > 4000)
            peak = std::max(peak, static_cast<double>(std::fabs(y)));
    }
    return peak / 0.02;
}

// High-frequency share of a held note's render: energy of its first difference over its energy.
double brightnessAtCutoff(float cutoff)
{
    auto synth = makeVoice();
    synth->VCOMode = 1;
    synth->cutoff = cutoff;
    synth->envmod = 0.0f; // the knob alone sets the corner
    settleKnobs(*synth);
    holdNote(*synth, 110.0f);
    const std::vector<float> x = render(*synth, 44100);
    double diff = 0.0, all = 0.0;
    for (size_t i = 4411; i < x.size(); ++i)
    {
        diff += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
        all += x[i] * x[i];
    }
    return diff / all;
}
} // namespace

TEST(VoiceDecimator, ImpulsesShowTheTapsAndTheDelayOfEight)
{
    HalfBandDecimator even, odd;
    for (int n = 0; n < 20; ++n)
    {
        EXPECT_EQ(even.process(n == 0 ? 1.0 : 0.0, 0.0), n == 8 ? static_cast<float>(fir1_33[16]) : 0.0f) << n;
        const float oddTap = (n >= 1 && n <= 16) ? static_cast<float>(fir1_33[2 * n - 1]) : 0.0f;
        EXPECT_EQ(odd.process(0.0, n == 0 ? 1.0 : 0.0), oddTap) << n;
    }
}

// Runs of every length from 0 to 16, one after another, against the same samples one by one.
TEST(VoiceDecimator, ARunGivesTheSameSamplesBitForBitAsOneByOne)
{
    HalfBandDecimator single, runs;
    unsigned seed = 303;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(static_cast<int>(seed >> 8) - (1 << 23)) / static_cast<float>(1 << 23);
    };
    for (int round = 0; round < 3; ++round)
        for (int n = 0; n <= HalfBandDecimator::kMaxRun; ++n)
        {
            float first[HalfBandDecimator::kMaxRun], second[HalfBandDecimator::kMaxRun];
            float expected[HalfBandDecimator::kMaxRun], out[HalfBandDecimator::kMaxRun];
            for (int j = 0; j < n; ++j)
            {
                first[j] = next();
                second[j] = next();
                expected[j] = single.process(first[j], second[j]);
            }
            runs.processRun(first, second, out, n);
            for (int j = 0; j < n; ++j)
                ASSERT_EQ(out[j], expected[j]) << "run of " << n << ", sample " << j;
        }
    EXPECT_EQ(std::memcmp(runs.secondResults, single.secondResults, sizeof(runs.secondResults)), 0);
    EXPECT_EQ(std::memcmp(runs.firstResults, single.firstResults, sizeof(runs.firstResults)), 0);
}

TEST(VoiceFilter, ResonanceRaisesAPeakNearCutoff)
{
    const float c = 0.1f; // pole corner about 1.5 kHz at the doubled rate
    const double corner = -std::log(1.0 - c) * 88200.0 / (2.0 * kPi);
    for (double resonance : {0.0001, 0.9001})
    {
        const double lowGain = sineGain(20.0, c, static_cast<float>(std::pow(resonance, 1.2)));
        double peakGain = 0.0, peakHz = 0.0;
        for (double hz = 50.0; hz < 15000.0; hz *= 1.04)
        {
            const double g = sineGain(hz, c, static_cast<float>(std::pow(resonance, 1.2)));
            if (g > peakGain)
                peakGain = g, peakHz = hz;
        }
        if (resonance < 0.5)
        {
            EXPECT_LT(peakGain / lowGain, 1.2);
        }
        else
        {
            EXPECT_GT(peakGain / lowGain, 4.0);
            EXPECT_GT(peakHz, 0.6 * corner);
            EXPECT_LT(peakHz, 1.4 * corner);
        }
    }
}

TEST(VoiceFilter, HigherCutoffIsBrighter)
{
    const double dark = brightnessAtCutoff(0.1f), mid = brightnessAtCutoff(0.5f), bright = brightnessAtCutoff(0.9f);
    EXPECT_GT(mid, 1.3 * dark);
    EXPECT_GT(bright, 2.0 * mid);
}

TEST(VoiceFilter, CoefficientAndTableBounds)
{
    double highest = 0.0;
    for (double cv = -1.0; cv <= 3.0; cv += 0.001)
        highest = std::max(highest, oxn3::cutoffTarget(oxn3::trimmedCutoffVoltage(static_cast<float>(cv), 1.0)));
    EXPECT_LT(highest, 0.912);
    EXPECT_GT(highest, 0.9);
    EXPECT_EQ(oxn3::cutoffTarget(oxn3::trimmedCutoffVoltage(-1.0f, 0.0)), 0.0);

    // Below about 16 kHz a high cutoff reads past the feedback table: it holds its ends.
    EXPECT_EQ(oxn3::septabFeedback(0.911, 3.0, 1.0f), static_cast<double>(septab[oxn3::kSepTabSize - 1]));
    EXPECT_EQ(oxn3::septabFeedback(-0.1, 1.0, 1.0f), static_cast<double>(septab[0]));
}

// The linear ladder's loop (four poles y += (u - y) (1 - b), u = impulse - G * the last pole's
// output of the previous run) dies away under G = (1 + 1/b)^2 and grows beyond it.
TEST(VoiceFilter, TheLoopLimitIsWhereTheLinearLadderStopsDecaying)
{
    for (double b : {0.4, 0.7, 0.95})
        for (double share : {0.99, 1.01})
        {
            const double gain = share * oxn3::stableFeedbackGain(b, 1.0) / oxn3::kStableLoopShare;
            double y[4] = {}, earlier = 0.0, later = 0.0; // largest outputs of two stretches of 1000 runs
            for (int n = 0; n < 20000; ++n)
            {
                double u = (n == 0 ? 1.0 : 0.0) - gain * y[3];
                for (double& pole : y)
                    u = pole += (u - pole) * (1.0 - b);
                double& largest = n < 10000 ? earlier : later;
                if (n % 10000 >= 9000)
                    largest = std::max(largest, std::fabs(y[3]));
            }
            EXPECT_EQ(later < earlier, share < 1.0) << b << " " << share;
        }
}
