#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/VoiceTestHelpers.h"

namespace
{
constexpr float kSentinel = 12345.0f;
} // namespace

TEST(VoiceRender, ChunkSizeDoesNotChangeASettledVoice)
{
    for (bool classic : {false, true})
    {
        SCOPED_TRACE(classic ? "classic" : "improved");
        auto even = busyVoice(44100.0, 2, classic);
        auto ragged = busyVoice(44100.0, 2, classic);
        even->VCANoise = ragged->VCANoise = 1;
        settleKnobs(*even);
        settleKnobs(*ragged);
        const std::vector<float> a = render(*even, 88200, 256, classic);
        std::vector<float> b(a.size());
        TestRandom random;
        for (int done = 0, n = 0; done < 88200; done += n)
        {
            n = std::min(88200 - done, 1 + static_cast<int>(random.next() * 4096));
            renderBlock(*ragged, classic, b.data() + done, n);
        }
        EXPECT_TRUE(sameBits(a, b));
        EXPECT_EQ(even->playStep, ragged->playStep);
    }
}

TEST(VoiceRender, NoNanInfinityOrDenormalOverKnobSweeps)
{
    struct Engine
    {
        bool classic;
        std::vector<double> rates;
        std::vector<int> modes;
    };
    const Engine engines[] = {{false, {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}, {0, 1, 2, 3, 4, 1000}},
                              {true, {11025.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0, 882000.0},
                               {0, 1, 2, 1000, 3}}};
    constexpr int kPeriods[] = {37, 53, 29, 41, 23, 61, 31, 19, 43, 47, 59, 67, 71, 73, 79};
    for (const Engine& e : engines)
        for (double rate : e.rates)
            for (int m = 0; m < static_cast<int>(e.modes.size()); ++m)
            {
                SCOPED_TRACE(testing::Message() << e.classic << " " << rate << " Hz, mode " << e.modes[m]);
                auto synth = busyVoice(rate, e.modes[m], e.classic);
                synth->VCAClicks = m % 2;
                synth->VCOVibrato = m % 3 == 0;
                synth->VCANoise = m % 2 == 0;
                synth->OutputClipping = m % 4 == 1;
                Synth303& s = *synth;
                float* knobs[] = {&s.cutoff, &s.resonance, &s.envmod, &s.decay,    &s.accent,  &s.volume,
                                  &s.tuning, &s.waveform,  &s.distort, &s.highpass, &s.bass};
                std::vector<float> block(256);
                const int blocks = static_cast<int>(rate * (rate > 1e5 && e.classic ? 0.6 : 1.5) / 256);
                for (int b = 0; b < blocks; ++b)
                {
                    // Triangles of each knob's own period, then all at 1, then all at 0.
                    float value[15];
                    for (int i = 0; i < 15; ++i)
                    {
                        const float x = static_cast<float>((b + 3 * i) % kPeriods[i]) / kPeriods[i];
                        value[i] = x < 0.5f ? 2.0f * x : 2.0f - 2.0f * x;
                        if (b >= blocks / 3)
                            value[i] = b < 2 * blocks / 3 ? 1.0f : 0.0f;
                    }
                    for (int i = 0; i < 11; ++i)
                        *knobs[i] = value[i];
                    s.ResoTrim = value[11];
                    s.VCFTrim = value[12];
                    s.GateTrim = value[13];
                    s.pitchBend = static_cast<int>(value[14] * (oxn3::kPitchBendSize - 1));
                    renderBlock(s, e.classic, block.data(), 256);
                    for (float v : block)
                        ASSERT_TRUE(usableValue(v) && std::fabs(v) < 50.0f) << "block " << b << " value " << v;
                    ASSERT_EQ(firstUnusableState(s), "") << "block " << b;
                }
            }
}

TEST(VoiceRender, SleepsAfterTheLimitButKeepsSmoothing)
{
    auto synth = makeVoice();
    synth->cutoff = 0.9f;
    EXPECT_NE(render(*synth, oxn3::kDefaultSleepLimit - 1).back(), 0.0f); // still awake before the limit

    std::vector<float> asleep(44100, kSentinel);
    synth->cutoff = 0.1f;
    const float cutoffBefore = synth->smoothedCutoff;
    for (int done = 0; done < 44100; done += 256)
        synth->blockProcessRE(asleep.data() + done, std::min(256, 44100 - done), false);
    for (float v : asleep)
        ASSERT_EQ(v, kSentinel);
    EXPECT_LT(synth->smoothedCutoff, cutoffBefore - 0.5f);
}

TEST(VoiceRender, EmptyOrNegativeBlocksRenderNothing)
{
    for (bool classic : {false, true})
    {
        auto synth = busyVoice(44100.0, 2, classic);
        synth->cutoff = 0.9f;
        const float smoothedCutoff = synth->smoothedCutoff;
        float out[1] = {kSentinel};
        for (int n : {0, -5})
            renderBlock(*synth, classic, out, n);
        EXPECT_EQ(synth->smoothedCutoff, smoothedCutoff);
        EXPECT_EQ(synth->stepSampleCounter, 0); // the first step has not started
        EXPECT_EQ(out[0], kSentinel);
    }
}

TEST(VoiceRender, ScopeRecordsTheBlockWhileRunning)
{
    auto synth = busyVoice(44100.0, 2);
    settleKnobs(*synth);
    const std::vector<float> out = render(*synth, 300, 300);
    const char* names[] = {"audio", "gate", "bSlide", "bAccent", "bTrigger", "Env", "accent", "s_accent",
                           "env_accent", "vca_accent", "s_vca_accent2", "d24", "N/A 12", "N/A 13", "N/A 14", "N/A 15"};
    for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
        EXPECT_STREQ(synth->scopeNames[ch], names[ch]);
    for (int i = 0; i < 300; ++i)
    {
        ASSERT_EQ(synth->scopeBuffers[0][i], out[i]);
        ASSERT_EQ(synth->scopeBuffers[4][i], i == 0 ? 1.0f : 0.0f); // step 0 triggers on the first sample
    }

    synth->setRunStop(0); // stopped: nothing is recorded
    synth->scopeBuffers[0][0] = kSentinel;
    render(*synth, 10, 10);
    EXPECT_EQ(synth->scopeBuffers[0][0], kSentinel);
}

TEST(VoiceRender, AccentedStepsAreLouder)
{
    auto synth = makeVoice();
    synth->accent = 1.0f;
    synth->cutoff = 0.3f;
    synth->envmod = synth->resonance = 0.5f;
    settleKnobs(*synth);
    std::vector<step_t> steps;
    for (int i = 0; i < 16; ++i) // alternating accented and plain, same pitch
        steps.push_back(voiceStep(12, step_t::kGate | (i % 2 == 0 ? step_t::kAccent : 0)));
    setPatternSteps(*synth, steps);
    synth->setRunStop(1);
    const std::vector<float> out = render(*synth, 16 * 5513);
    double peaks[2] = {0.0, 0.0};
    for (size_t step = 4; step < 16; ++step)
        peaks[step % 2] += peakOf(out, step * 5513, step * 5513 + 2000);
    EXPECT_GT(peaks[0], 1.3 * peaks[1]);
}
