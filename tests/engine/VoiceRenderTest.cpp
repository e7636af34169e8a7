#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "engine/VoiceTestHelpers.h"

namespace
{
constexpr float kSentinel = 12345.0f;

struct RenderSetup
{
    double sampleRate;
    int mode;
    float waveform;
    int clicks;
    int vibrato;
    int noise;
    int clipping;
};

std::unique_ptr<Synth303> busyVoice(const RenderSetup& setup)
{
    auto synth = makeVoice(setup.sampleRate);
    synth->VCOMode = setup.mode;
    synth->waveform = setup.waveform;
    synth->VCAClicks = setup.clicks;
    synth->VCOVibrato = setup.vibrato;
    synth->VCANoise = setup.noise;
    synth->OutputClipping = setup.clipping;
    synth->cutoff = 0.35f;
    synth->resonance = 0.75f;
    synth->envmod = 0.6f;
    synth->decay = 0.4f;
    synth->accent = 0.8f;
    setPatternSteps(*synth, busyPattern());
    synth->setTempo(133.0);
    synth->setRunStop(1);
    return synth;
}

// Moves the knobs now and then, so the smoothers and every remembered value keep changing.
void turnKnobs(Synth303& s, TestRandom& random)
{
    s.cutoff = static_cast<float>(random.next());
    s.resonance = static_cast<float>(random.next());
    s.envmod = static_cast<float>(random.next());
    s.decay = static_cast<float>(random.next());
    s.accent = static_cast<float>(random.next());
    s.tuning = static_cast<float>(random.next());
    s.highpass = static_cast<float>(random.next() * 0.5);
    s.bass = static_cast<float>(random.next());
    s.distort = random.next() < 0.3 ? static_cast<float>(random.next()) : 0.0f;
    s.waveform = static_cast<float>(random.next());
    s.pitchBend = static_cast<int>(random.next() * (oxn3::kPitchBendSize - 1));
}

template <bool kReference>
std::vector<float> renderWithKnobTurns(Synth303& s, int blocks)
{
    TestRandom random;
    std::vector<float> out(static_cast<size_t>(blocks) * 256);
    for (int b = 0; b < blocks; ++b)
    {
        if (b % 40 == 20)
            turnKnobs(s, random);
        s.renderRE<kReference>(out.data() + b * 256, 256);
    }
    return out;
}

bool usable(double x)
{
    return std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL;
}

bool usable(float x)
{
    return std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL;
}

// Every recursive state and smoothed value of the voice.
std::string firstUnusableState(const Synth303& s)
{
    const std::pair<const char*, double> states[] = {
        {"glide", s.glide.value}, {"emphasisLP", s.emphasisLP.value}, {"mainEnvelope", s.mainEnvelope.value},
        {"volumeEnvelope", s.volumeEnvelope.value}, {"gateFollower", s.gateFollower.value},
        {"accentCap", s.accentCap.value}, {"d24", s.d24.value}, {"vcaAccentLevel", s.vcaAccentLevel.value},
        {"vcaAccentLevel2", s.vcaAccentLevel2.value}, {"vcaLevel", s.vcaLevel.value}, {"vcaGain", s.vcaGain.value},
        {"vcaGainSmoothed", s.vcaGainSmoothed.value}, {"outLP1", s.outLP1.value}, {"outLP2", s.outLP2.value},
        {"outLP3", s.outLP3.value}, {"outLP4", s.outLP4.value}, {"highpassLP", s.highpassLP.value},
        {"cutoffSmoother", s.cutoffSmoother.value}, {"bassBoostLP", s.bassBoostLP.value},
        {"filterGain", s.filterGainSmoother.value}, {"naiveSquareLP", s.naiveSquareLP.value},
        {"analogSaw", s.analogSawDcBlocker.value}, {"analogL1", s.analogSquareL1.value},
        {"analogL2", s.analogSquareL2.value}, {"analogL3", s.analogSquareL3.value}, {"gateEnvelope", s.gateEnvelope},
        {"accentSnapshot", s.accentSnapshot}, {"ramp0", s.triggerRamps[0]}, {"ramp1", s.triggerRamps[1]},
        {"vcoPhase", s.vcoPhase}, {"ladderAFeedback", s.ladderAFeedback}, {"ladderBFeedback", s.ladderBFeedback},
        {"lfoAmplitude", s.vibrato.amplitude}, {"lfoPhase", s.vibrato.phase}};
    for (const auto& st : states)
        if (!usable(st.second))
            return st.first;
    for (int i = 0; i < 4; ++i)
        if (!usable(s.ladderA[i].value) || !usable(s.ladderB[i].value))
            return "ladder pole " + std::to_string(i);
    for (double v : s.decimator.secondResults)
        if (!usable(v))
            return "decimator";
    for (double v : s.decimator.firstResults)
        if (!usable(v))
            return "decimator";
    const float smoothed[] = {s.smoothedTuning, s.smoothedCutoff, s.smoothedResonance, s.smoothedEnvmod,
                              s.smoothedDecay,  s.smoothedAccent, s.smoothedWaveform,  s.smoothedVolume,
                              s.smoothedHighpass, s.smoothedBass};
    for (float v : smoothed)
        if (!usable(v))
            return "smoothed parameter";
    return "";
}

// Triangle from 0 to 1 and back with the given period in blocks.
float triangle(int block, int period)
{
    const float x = static_cast<float>(block % period) / static_cast<float>(period);
    return x < 0.5f ? 2.0f * x : 2.0f - 2.0f * x;
}

void sweepKnobs(Synth303& s, int block)
{
    s.cutoff = triangle(block, 37);
    s.resonance = triangle(block + 5, 53);
    s.envmod = triangle(block + 11, 29);
    s.decay = triangle(block + 3, 41);
    s.accent = triangle(block + 7, 23);
    s.volume = triangle(block + 13, 61);
    s.tuning = triangle(block + 17, 31);
    s.waveform = triangle(block, 19);
    s.distort = triangle(block + 2, 43);
    s.highpass = triangle(block + 9, 47);
    s.bass = triangle(block + 21, 59);
    s.ResoTrim = triangle(block + 4, 67);
    s.VCFTrim = triangle(block + 8, 71);
    s.GateTrim = triangle(block + 12, 73);
    s.pitchBend = static_cast<int>(triangle(block, 79) * (oxn3::kPitchBendSize - 1));
}

void setAllKnobs(Synth303& s, float v)
{
    s.cutoff = s.resonance = s.envmod = s.decay = s.accent = s.volume = s.tuning = v;
    s.waveform = s.distort = s.highpass = s.bass = v;
    s.ResoTrim = s.VCFTrim = s.GateTrim = v;
    s.pitchBend = v > 0.5f ? oxn3::kPitchBendSize - 1 : 0;
}
} // namespace

// The render against its per-sample reference: every coefficient, pow and exp recomputed per
// sample, the literal Runge-Kutta slopes and two-division clip in the ladders, the shift-register
// decimator. Long renders with knob turns at several rates and every oscillator model.
TEST(VoiceRender, RememberedValuesAreBitIdenticalToThePerSampleReference)
{
    const RenderSetup setups[] = {
        {44100.0, 2, 0.0f, 0, 0, 1, 0},  {48000.0, 0, 1.0f, 1, 1, 1, 1}, {96000.0, 4, 1.0f, 0, 1, 1, 0},
        {44100.0, 3, 0.0f, 1, 0, 0, 0},  {22050.0, 1000, 1.0f, 0, 0, 1, 1}, {192000.0, 4, 0.0f, 1, 1, 0, 0},
        {88200.0, 1, 1.0f, 0, 0, 1, 0},  {44100.0, 1000, 0.0f, 1, 1, 1, 0}};
    for (const RenderSetup& setup : setups)
    {
        SCOPED_TRACE(testing::Message() << setup.sampleRate << " Hz, mode " << setup.mode);
        auto fast = busyVoice(setup);
        auto reference = busyVoice(setup);
        const int blocks = static_cast<int>(setup.sampleRate * 3.0 / 256);
        const std::vector<float> a = renderWithKnobTurns<false>(*fast, blocks);
        const std::vector<float> b = renderWithKnobTurns<true>(*reference, blocks);
        ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
        // The ladder's double states may differ in the last bit (closed-form pole step).
        EXPECT_NEAR(fast->ladderA[3].value, reference->ladderA[3].value, 1e-12);
        EXPECT_EQ(fast->vibrato.phase, reference->vibrato.phase);
        EXPECT_GT(peakOf(a), 0.05);
    }
}

TEST(VoiceRender, ChunkSizeDoesNotChangeASettledVoice)
{
    // With the knobs settled nothing depends on where a block starts.
    const RenderSetup setup{44100.0, 2, 0.0f, 0, 0, 1, 0};
    auto even = busyVoice(setup);
    auto ragged = busyVoice(setup);
    settleKnobs(*even);
    settleKnobs(*ragged);
    const int samples = 88200;
    const std::vector<float> a = render(*even, samples, 256);
    std::vector<float> b(samples);
    TestRandom random;
    for (int done = 0; done < samples;)
    {
        const int n = std::min(samples - done, 1 + static_cast<int>(random.next() * 4096));
        ragged->blockProcessRE(b.data() + done, n, false);
        done += n;
    }
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
    EXPECT_EQ(even->playStep, ragged->playStep);
}

TEST(VoiceRender, NoNanInfinityOrDenormalOverKnobSweeps)
{
    const int modes[] = {0, 1, 2, 3, 4, 1000};
    for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0})
        for (int m = 0; m < 6; ++m)
        {
            SCOPED_TRACE(testing::Message() << rate << " Hz, mode " << modes[m]);
            auto synth = busyVoice({rate, modes[m], 0.0f, m % 2, m % 3 == 0, m % 2 == 0 ? 1 : 0, m % 4 == 1});
            std::vector<float> block(256);
            const int blocks = static_cast<int>(rate * 1.5 / 256);
            for (int b = 0; b < blocks; ++b)
            {
                if (b < blocks / 3)
                    sweepKnobs(*synth, b);
                else
                    setAllKnobs(*synth, b < 2 * blocks / 3 ? 1.0f : 0.0f);
                synth->blockProcessRE(block.data(), 256, false);
                for (float v : block)
                    ASSERT_TRUE(usable(v)) << "block " << b << " value " << v;
                ASSERT_EQ(firstUnusableState(*synth), "") << "block " << b;
            }
        }
}

TEST(VoiceRender, SleepsAfterTheLimitButKeepsSmoothing)
{
    auto synth = makeVoice();
    synth->cutoff = 0.9f;
    std::vector<float> out = render(*synth, oxn3::kDefaultSleepLimit - 1);
    EXPECT_NE(out.back(), 0.0f); // the voice still ran on the last sample before the limit

    std::vector<float> asleep(44100, kSentinel);
    synth->cutoff = 0.1f;
    const float cutoffBefore = synth->smoothedCutoff;
    for (int done = 0; done < 44100; done += 256)
        synth->blockProcessRE(asleep.data() + done, std::min(256, 44100 - done), false);
    for (float v : asleep)
        ASSERT_EQ(v, kSentinel);
    EXPECT_LT(synth->smoothedCutoff, cutoffBefore - 0.5f);
    EXPECT_GE(synth->sleepCounter, oxn3::kDefaultSleepLimit);

    // A new note wakes the voice at once.
    holdNote(*synth, 110.0f);
    std::vector<float> awake(256, kSentinel);
    synth->blockProcessRE(awake.data(), 256, false);
    EXPECT_NE(awake[0], kSentinel);
}

TEST(VoiceRender, EmptyBlockOnlyRecomputesTheStepLength)
{
    auto synth = makeVoice();
    setPatternSteps(*synth, busyPattern());
    synth->setRunStop(1);
    synth->bpm = 140.0;
    synth->cutoff = 0.9f;
    const float smoothedCutoff = synth->smoothedCutoff;
    float out[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
    for (int n : {0, -5})
    {
        synth->samplesPerStep = 1.0;
        synth->blockProcessRE(out, n, false);
        EXPECT_DOUBLE_EQ(synth->samplesPerStep, 44100.0 / (140.0 / 60.0 * 4.0));
    }
    EXPECT_EQ(synth->smoothedCutoff, smoothedCutoff);
    EXPECT_EQ(synth->stepSampleCounter, 0); // the first step has not started
    EXPECT_EQ(synth->scopeNames[0], nullptr);
    EXPECT_EQ(out[0], kSentinel);
}

TEST(VoiceRender, ScopeRecordsTheBlockWhileRunning)
{
    auto synth = busyVoice({44100.0, 2, 0.0f, 0, 0, 1, 0});
    settleKnobs(*synth);
    std::vector<float> out = render(*synth, 300, 300);

    const char* names[] = {"audio", "gate", "bSlide", "bAccent", "bTrigger", "Env", "accent", "s_accent",
                           "env_accent", "vca_accent", "s_vca_accent2", "d24", "N/A 12", "N/A 13", "N/A 14", "N/A 15"};
    for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
    {
        ASSERT_NE(synth->scopeNames[ch], nullptr);
        EXPECT_STREQ(synth->scopeNames[ch], names[ch]);
    }
    for (int i = 0; i < 300; ++i)
    {
        EXPECT_EQ(synth->scopeBuffers[0][i], out[i]);
        EXPECT_EQ(synth->scopeBuffers[4][i], i == 0 ? 1.0f : 0.0f); // step 0 triggers on the first sample
        EXPECT_EQ(synth->scopeBuffers[3][i], 1.0f);                 // step 0 is accented
        for (int ch = 12; ch < 16; ++ch)
            EXPECT_EQ(synth->scopeBuffers[ch][i], 0.0f);
    }
    EXPECT_EQ(synth->scopeBuffers[5][0], 1.0f); // the filter envelope restarts at 1
    EXPECT_GT(synth->scopeBuffers[6][0], 0.0f); // accent level
    EXPECT_EQ(synth->scopeWriteIndex, 300);

    // Stopped: nothing is recorded.
    synth->setRunStop(0);
    synth->scopeBuffers[0][0] = kSentinel;
    render(*synth, 10, 10);
    EXPECT_EQ(synth->scopeBuffers[0][0], kSentinel);
}

TEST(VoiceRender, AccentedStepsAreLouderAndBrighter)
{
    // Steps alternate accented and plain, same pitch.
    auto synth = makeVoice();
    synth->accent = 1.0f;
    synth->cutoff = 0.3f;
    synth->envmod = 0.5f;
    synth->resonance = 0.5f;
    settleKnobs(*synth);
    std::vector<step_t> steps;
    for (int i = 0; i < 16; ++i)
        steps.push_back(voiceStep(12, step_t::kGate | (i % 2 == 0 ? step_t::kAccent : 0)));
    setPatternSteps(*synth, steps);
    synth->setRunStop(1);
    const std::vector<float> out = render(*synth, 16 * 5513);
    double accented = 0.0;
    double plain = 0.0;
    for (int step = 4; step < 16; ++step)
    {
        const double peak = peakOf(out, static_cast<size_t>(step) * 5513, static_cast<size_t>(step) * 5513 + 2000);
        (step % 2 == 0 ? accented : plain) += peak;
    }
    EXPECT_GT(accented, 1.3 * plain);
}

TEST(VoiceRender, SlideHoldsTheGateAndGlides)
{
    auto play = [](bool slide) {
        auto synth = makeVoice();
        settleKnobs(*synth);
        const uint8_t first = step_t::kGate | (slide ? step_t::kSlide : 0);
        setPatternSteps(*synth, {voiceStep(0, first), voiceStep(12, step_t::kGate), voiceStep(0, 0), voiceStep(0, 0)});
        synth->setRunStop(1);
        std::vector<float> gate;
        std::vector<float> trigger;
        double glideSoonAfter = 0.0;
        for (int b = 0; b < 40; ++b) // 40 blocks of 256 cover steps 0 and 1
        {
            render(*synth, 256, 256);
            gate.insert(gate.end(), synth->scopeBuffers[1], synth->scopeBuffers[1] + 256);
            trigger.insert(trigger.end(), synth->scopeBuffers[4], synth->scopeBuffers[4] + 256);
            if (b == 23) // sample 6144: 14 ms into step 1, which starts at sample 5513
                glideSoonAfter = synth->glide.value;
        }
        struct Result
        {
            float vcaBeforeStep1;
            float triggerAtStep1;
            double glide;
        } r{gate[5500], trigger[5513], glideSoonAfter};
        return r;
    };
    const auto legato = play(true);
    const auto detached = play(false);
    const double low = 6.875 * std::pow(2.0, 39.0 / 12.0);
    const double high = 2.0 * low;
    EXPECT_GT(legato.vcaBeforeStep1, 0.9f);
    EXPECT_LT(detached.vcaBeforeStep1, 0.1f);
    EXPECT_EQ(legato.triggerAtStep1, 0.0f);
    EXPECT_EQ(detached.triggerAtStep1, 1.0f);
    EXPECT_GT(legato.glide, low + 0.2 * (high - low));
    EXPECT_LT(legato.glide, low + 0.9 * (high - low));
    EXPECT_NEAR(detached.glide, high, 0.01);
}
