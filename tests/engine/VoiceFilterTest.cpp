#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/HalfBandDecimator.h"
#include "engine/Synth303Filter.h"
#include "engine/VoiceTestHelpers.h"

namespace
{
constexpr double kPi = 3.141592653589793;

// Peak output of vcf303 (run twice per output sample at 44.1 kHz) for a small sine at `hz`.
double sineGain(double hz, float c, float r)
{
    auto synth = makeVoice();
    const double amplitude = 0.02;
    const int samples = 8000;
    double peak = 0.0;
    for (int i = 0; i < samples; ++i)
    {
        const float in = static_cast<float>(amplitude * std::sin(2.0 * kPi * hz * i / 44100.0));
        synth->vcf303(in, c, r, 1.0f);
        const float y = synth->vcf303(in, c, r, 1.0f);
        if (i > samples / 2)
            peak = std::max(peak, static_cast<double>(std::fabs(y)));
    }
    return peak / amplitude;
}

struct Response
{
    double lowGain;
    double peakGain;
    double peakHz;
};

Response responseOf(float c, float r)
{
    Response resp{sineGain(20.0, c, r), 0.0, 0.0};
    for (double hz = 50.0; hz < 15000.0; hz *= 1.04)
    {
        const double g = sineGain(hz, c, r);
        if (g > resp.peakGain)
        {
            resp.peakGain = g;
            resp.peakHz = hz;
        }
    }
    return resp;
}

// High-frequency share of a signal: energy of its first difference over its energy.
double brightness(const std::vector<float>& x, size_t from)
{
    double diff = 0.0;
    double all = 0.0;
    for (size_t i = from + 1; i < x.size(); ++i)
    {
        diff += (x[i] - x[i - 1]) * (x[i] - x[i - 1]);
        all += x[i] * x[i];
    }
    return diff / all;
}

std::vector<float> heldNoteAtCutoff(float cutoff)
{
    auto synth = makeVoice();
    synth->VCOMode = 1;
    synth->cutoff = cutoff;
    synth->envmod = 0.0f;
    settleKnobs(*synth);
    holdNote(*synth, 110.0f);
    return render(*synth, 44100);
}
} // namespace

TEST(VoiceDecimator, DelaysTheFilterByEightSamples)
{
    HalfBandDecimator d;
    std::vector<float> out;
    for (int n = 0; n < 20; ++n)
        out.push_back(d.process(n == 0 ? 1.0 : 0.0, 0.0));
    for (int n = 0; n < 20; ++n)
        EXPECT_EQ(out[n], n == 8 ? static_cast<float>(fir1_33[16]) : 0.0f) << n;
}

TEST(VoiceDecimator, SecondResultsMeetTheOddTaps)
{
    HalfBandDecimator d;
    for (int n = 0; n < 20; ++n)
    {
        const float y = d.process(0.0, n == 0 ? 1.0 : 0.0);
        const float expected = (n >= 1 && n <= 16) ? static_cast<float>(fir1_33[2 * n - 1]) : 0.0f;
        EXPECT_EQ(y, expected) << n;
    }
}

TEST(VoiceDecimator, RingMatchesTheShiftRegisterBitForBit)
{
    HalfBandDecimator ring;
    double line[oxn3::kFirTaps] = {};
    TestRandom random;
    for (int n = 0; n < 20000; ++n)
    {
        const double a = random.next() * 2.0 - 1.0;
        const double b = (n % 97 == 0) ? -0.0 : random.next() * 2.0 - 1.0;
        const float fromRing = ring.process(a, b);
        const float fromLine = decimateShiftRegister(line, a, b);
        ASSERT_EQ(std::memcmp(&fromRing, &fromLine, sizeof(float)), 0) << n;
    }
}

TEST(VoiceFilter, ResonanceRaisesAPeakNearCutoff)
{
    const float c = 0.1f; // pole corner about 1.5 kHz at the doubled rate
    const double corner = -std::log(1.0 - c) * 88200.0 / (2.0 * kPi);
    const Response flat = responseOf(c, static_cast<float>(std::pow(0.0001, 1.2)));
    const Response resonant = responseOf(c, static_cast<float>(std::pow(0.9001, 1.2)));
    EXPECT_LT(flat.peakGain / flat.lowGain, 1.2);
    EXPECT_GT(resonant.peakGain / resonant.lowGain, 4.0);
    EXPECT_GT(resonant.peakHz, 0.6 * corner);
    EXPECT_LT(resonant.peakHz, 1.4 * corner);
}

TEST(VoiceFilter, HigherCutoffIsBrighter)
{
    // A held note after its envelope has decayed: the knob alone sets the corner.
    const double dark = brightness(heldNoteAtCutoff(0.1f), 4410);
    const double mid = brightness(heldNoteAtCutoff(0.5f), 4410);
    const double bright = brightness(heldNoteAtCutoff(0.9f), 4410);
    EXPECT_GT(mid, 1.3 * dark);
    EXPECT_GT(bright, 2.0 * mid);
}

TEST(VoiceFilter, CutoffCoefficientStaysBelowOne)
{
    double highest = 0.0;
    for (double cv = -1.0; cv <= 3.0; cv += 0.001)
        highest = std::max(highest, oxn3::cutoffTarget(oxn3::trimmedCutoffVoltage(static_cast<float>(cv), 1.0)));
    EXPECT_LT(highest, 0.912);
    EXPECT_GT(highest, 0.9);
    EXPECT_EQ(oxn3::cutoffTarget(oxn3::trimmedCutoffVoltage(-1.0f, 0.0)), 0.0);
}

TEST(VoiceFilter, RateDependentTableScale)
{
    EXPECT_DOUBLE_EQ(oxn3::FilterRates::compute(1.0f).tableScale, 1.0);
    const oxn3::FilterRates at96k = oxn3::FilterRates::compute(static_cast<float>(44100.0 / 96000.0));
    EXPECT_TRUE(at96k.highRate);
    EXPECT_NEAR(at96k.tableScale, 0.6, 1e-6);
    EXPECT_FALSE(oxn3::FilterRates::compute(static_cast<float>(44100.0 / 48000.0)).highRate);
}

TEST(VoiceFilter, FeedbackCurveHoldsItsEndBeyondTheTable)
{
    // Below about 16 kHz a high cutoff reads past the last entry.
    EXPECT_EQ(oxn3::septabFeedback(0.911, 3.0, 1.0f), static_cast<double>(septab[oxn3::kSepTabSize - 1]));
    EXPECT_EQ(oxn3::septabFeedback(-0.1, 1.0, 1.0f), static_cast<double>(septab[0]));
}

TEST(VoiceFilter, ClosedFormPoleStepIsTheRungeKuttaStep)
{
    TestRandom random;
    for (int n = 0; n < 100000; ++n)
    {
        const double g = random.next() * 0.95;
        const double input = random.next() * 4.0 - 2.0;
        OnePoleState literal;
        literal.value = random.next() * 4.0 - 2.0;
        OnePoleState closed = literal;
        oxn3::LadderCoefficients k;
        k.g = g;
        k.rk4Gain = g * (1.0 - g / 2.0 + g * g / 6.0 - g * g * g / 24.0);
        const double a = oxn3::poleStep<oxn3::LadderArithmetic::Literal>(literal, input, k);
        const double b = oxn3::poleStep<oxn3::LadderArithmetic::Fast>(closed, input, k);
        ASSERT_NEAR(a, b, 1e-15 * (1.0 + std::fabs(a))) << n;
        ASSERT_EQ(literal.offset, closed.offset);
    }
}

TEST(VoiceFilter, OneDivisionClipMatchesTheTwoDivisionClip)
{
    for (double x = -12.0; x <= 12.0; x += 0.00123)
    {
        const double a = oxn3::saturatedStage<oxn3::LadderArithmetic::Literal>(x);
        const double b = oxn3::saturatedStage<oxn3::LadderArithmetic::Fast>(x);
        ASSERT_NEAR(a, b, 1e-15 * (1.0 + std::fabs(a))) << x;
    }
    EXPECT_EQ(oxn3::saturatedStage<oxn3::LadderArithmetic::Fast>(10.0), 1.0 / oxn3::kStageDrive);
    EXPECT_EQ(oxn3::saturatedStage<oxn3::LadderArithmetic::Fast>(-10.0), -1.0 / oxn3::kStageDrive);
}
