// The voice at every rate a host may run, in both engines, at the corners of its knobs: finite
// and bounded. A voice whose state was spoiled comes back by itself.
#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/VoiceTestHelpers.h"

namespace
{
// Where the voice is well (44.1 kHz and up) it peaks at 11.4 at such corners. A ladder that runs
// away passes 1e5 within a few steps, where the bass boost takes a well one to a few thousand
// (and distortion would hold a runaway's output within 1: the poles show it).
constexpr double kPeakBound = 16.0;
constexpr double kLadderBound = 1e5;

// Row `row` of a two-level orthogonal array over the 11 knobs and 4 trims (any two of them meet in
// all four combinations over rows 0 to 15); row 16 has them all at 1.
void setCorner(Synth303& s, int row)
{
    float* knobs[] = {&s.cutoff, &s.resonance, &s.envmod,   &s.decay,    &s.accent, &s.volume,
                      &s.tuning, &s.waveform,  &s.distort, &s.highpass, &s.bass};
    double* trims[] = {&s.ResoTrim, &s.VCFTrim, &s.GateTrim, &s.TuningTrim};
    for (int k = 0; k < 15; ++k)
    {
        const bool top = row == 16 || __builtin_parity(static_cast<unsigned>(row & (k + 1)));
        if (k < 11)
            *knobs[k] = top ? 1.0f : 0.0f;
        else
            *trims[k - 11] = top ? 1.0 : 0.0;
    }
    s.VCAClicks = row % 2;
    s.VCANoise = row / 2 % 2;
    s.OutputClipping = row / 4 % 2;
    s.VCOVibrato = row / 8 % 2;
    settleKnobs(s);
}
} // namespace

TEST(VoiceStability, FiniteAndBoundedAtEveryRateAndKnobCorner)
{
    const int modes[2][6] = {{0, 1, 2, 3, 4, 1000}, {0, 1, 2, 1000, 0, 1}};
    for (bool classic : {false, true})
        for (double rate : {8e3, 11025.0, 16e3, 22050.0, 32e3, 44100.0, 48e3, 88200.0, 96e3, 192e3})
            for (int row = 0; row <= 16; ++row)
            {
                SCOPED_TRACE(testing::Message() << classic << " " << rate << " Hz, corner " << row);
                auto synth = busyVoice(rate, modes[classic][row % 6], classic);
                setCorner(*synth, row);
                double peak = 0.0, ladder = 0.0;
                for (int block = 0; block < static_cast<int>(rate / 2 / 256); ++block) // accents and a slide
                {
                    const std::vector<float> out = render(*synth, 256, 256, classic);
                    ASSERT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::isfinite(v); }));
                    peak = std::max(peak, peakOf(out));
                    for (const OnePoleState* pole : {synth->ladderA, synth->ladderB})
                        for (int i = 0; i < 4; ++i)
                            ladder = std::max(ladder, std::fabs(pole[i].value));
                }
                EXPECT_LT(peak, kPeakBound);
                EXPECT_LT(ladder, kLadderBound);
                EXPECT_EQ(firstUnusableState(*synth), "");
            }
}

// The block that carries the spoiled state is lost, silent; the voice plays on after it.
TEST(VoiceStability, ASpoiledVoiceRecoversWithinABlock)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    void (*spoils[])(Synth303&) = {[](Synth303& s) { s.ladderB[1].value = kNaN; },
                                   [](Synth303& s) { s.glide.value = kInfinity; },
                                   [](Synth303& s) { s.smoothedCutoff = static_cast<float>(kNaN); },
                                   [](Synth303& s) { s.outLP1.value = 1e300; }}; // beyond float range
    for (bool classic : {false, true})
        for (int i = 0; i < 4; ++i)
        {
            SCOPED_TRACE(testing::Message() << classic << " spoil " << i);
            auto synth = busyVoice(44100.0, 1, classic);
            render(*synth, 4096, 256, classic);
            spoils[i](*synth);
            const std::vector<float> out = render(*synth, 22050, 256, classic);
            ASSERT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::isfinite(v); }));
            EXPECT_EQ(peakOf(out, 0, 256), 0.0);
            EXPECT_GT(peakOf(out, 256), 0.05);
            EXPECT_EQ(firstUnusableState(*synth), "");
        }
}
