#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/ClassicTestHelpers.h"
#include "engine/Synth303Classic.h"

namespace
{
struct ClassicSetup
{
    double sampleRate;
    int mode;
    float waveform;
    int clicks;
    int noise;
    int clipping;
};

std::unique_ptr<Synth303> classicVoice(const ClassicSetup& setup)
{
    auto synth = busyClassicVoice(setup.sampleRate, setup.mode);
    synth->waveform = setup.waveform;
    synth->VCAClicks = setup.clicks;
    synth->VCANoise = setup.noise;
    synth->OutputClipping = setup.clipping;
    synth->VCOVibrato = setup.clicks;
    return synth;
}

// Random knob turns every 40 blocks; now and then the volume and the highpass go to 0 so that
// the click re-arms and the highpass switches off.
template <bool kReference>
std::vector<float> renderWithKnobTurns311(Synth303& s, int blocks)
{
    TestRandom random;
    std::vector<float> out(static_cast<size_t>(blocks) * 256);
    for (int b = 0; b < blocks; ++b)
    {
        if (b % 40 == 20)
        {
            s.cutoff = static_cast<float>(random.next());
            s.resonance = static_cast<float>(random.next());
            s.envmod = static_cast<float>(random.next());
            s.decay = static_cast<float>(random.next());
            s.accent = static_cast<float>(random.next());
            s.tuning = static_cast<float>(random.next());
            s.waveform = static_cast<float>(random.next());
            s.distort = random.next() < 0.3 ? static_cast<float>(random.next()) : 0.0f;
            s.highpass = random.next() < 0.5 ? static_cast<float>(random.next()) : 0.0f;
            s.volume = random.next() < 0.3 ? 0.0f : static_cast<float>(random.next());
        }
        s.render311<kReference>(out.data() + b * 256, 256);
    }
    return out;
}

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
    s.ResoTrim = triangle(block + 4, 67);
    s.GateTrim = triangle(block + 12, 73);
}

void setAllKnobs(Synth303& s, float v)
{
    s.cutoff = s.resonance = s.envmod = s.decay = s.accent = s.volume = s.tuning = v;
    s.waveform = s.distort = s.highpass = v;
    s.ResoTrim = s.GateTrim = v;
}

// A held note with envmod and accent at 0, so that cutoff can act only on the voice's level.
std::vector<float> plainNote(double rate, float cutoff)
{
    auto synth = makeVoice(rate);
    synth->VCOMode = 2;
    synth->cutoff = cutoff;
    synth->resonance = 0.6f;
    synth->envmod = 0.0f;
    synth->accent = 0.0f;
    settleKnobs(*synth);
    holdNote(*synth, 110.0f);
    return render311(*synth, static_cast<int>(rate));
}

// The darkening the cutoff knob gives every engine after the VCA.
double cutoffColourGain(float cutoff)
{
    return 0.8 * cutoff + (1.0 - cutoff);
}
} // namespace

// ---------------------------------------------------------------- render against its reference

TEST(ClassicRender, RememberedValuesAreBitIdenticalToThePerSampleReference)
{
    const ClassicSetup setups[] = {
        {11025.0, 2, 0.0f, 0, 1, 0},  {22050.0, 1, 1.0f, 1, 1, 1}, {44100.0, 2, 0.0f, 0, 1, 0},
        {44100.0, 1000, 1.0f, 1, 0, 1}, {48000.0, 0, 1.0f, 0, 1, 1}, {96000.0, 1, 0.0f, 1, 0, 0},
        {192000.0, 0, 0.0f, 0, 1, 0}, {882000.0, 2, 1.0f, 1, 1, 1}};
    for (const ClassicSetup& setup : setups)
    {
        SCOPED_TRACE(testing::Message() << setup.sampleRate << " Hz, mode " << setup.mode);
        auto fast = classicVoice(setup);
        auto reference = classicVoice(setup);
        const double seconds = setup.sampleRate > 100000.0 ? 1.0 : 3.0;
        const int blocks = static_cast<int>(setup.sampleRate * seconds / 256);
        const std::vector<float> a = renderWithKnobTurns311<false>(*fast, blocks);
        const std::vector<float> b = renderWithKnobTurns311<true>(*reference, blocks);
        ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
        EXPECT_EQ(fast->svfBand, reference->svfBand);
        EXPECT_EQ(fast->onOffSound.counter, reference->onOffSound.counter);
        EXPECT_GT(peakOf(a), 0.05);
    }
}

TEST(ClassicRender, ChunkSizeDoesNotChangeASettledVoice)
{
    auto even = classicVoice({44100.0, 2, 0.0f, 0, 1, 0});
    auto ragged = classicVoice({44100.0, 2, 0.0f, 0, 1, 0});
    settleKnobs(*even);
    settleKnobs(*ragged);
    const int samples = 88200;
    const std::vector<float> a = render311(*even, samples, 256);
    std::vector<float> b(samples);
    TestRandom random;
    for (int done = 0; done < samples;)
    {
        const int n = std::min(samples - done, 1 + static_cast<int>(random.next() * 4096));
        ragged->blockProcess311(b.data() + done, n, false);
        done += n;
    }
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
    EXPECT_EQ(even->playStep, ragged->playStep);
}

TEST(ClassicRender, BlockStartLeavesTheStepLengthToSetTempo)
{
    auto synth = makeVoice();
    synth->setTempo(120.0);
    synth->bpm = 140.0; // written without setTempo
    const double stepLength = synth->samplesPerStep;
    float out[4] = {};
    synth->blockProcess311(out, 0, false);
    synth->blockProcess311(out, 4, false);
    EXPECT_EQ(synth->samplesPerStep, stepLength);
}

TEST(ClassicRender, NoNanInfinityOrDenormalOverKnobSweeps)
{
    const int modes[] = {0, 1, 2, 1000, 3};
    for (double rate : {11025.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0, 882000.0})
        for (int m = 0; m < 5; ++m)
        {
            SCOPED_TRACE(testing::Message() << rate << " Hz, mode " << modes[m]);
            auto synth = classicVoice({rate, modes[m], 0.0f, m % 2, m % 2 == 0 ? 1 : 0, m % 3 == 0 ? 1 : 0});
            std::vector<float> block(256);
            const int blocks = static_cast<int>(rate * (rate > 100000.0 ? 0.6 : 1.5) / 256);
            for (int b = 0; b < blocks; ++b)
            {
                if (b < blocks / 3)
                    sweepKnobs(*synth, b);
                else
                    setAllKnobs(*synth, b < 2 * blocks / 3 ? 1.0f : 0.0f);
                synth->blockProcess311(block.data(), 256, false);
                for (float v : block)
                {
                    ASSERT_TRUE(usableValue(v)) << "block " << b << " value " << v;
                    ASSERT_LT(std::fabs(v), 50.0f) << "block " << b;
                }
                ASSERT_STREQ(firstUnusableClassicState(*synth), "") << "block " << b;
            }
        }
}

// ---------------------------------------------------------------- what the classic voice ignores

TEST(ClassicRender, UnfilteredAtAndBelow22050Hz)
{
    // Only the level after the VCA follows the cutoff knob: the renders are scaled copies.
    for (double rate : {11025.0, 22050.0})
    {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        const std::vector<float> dark = plainNote(rate, 0.0f);
        const std::vector<float> bright = plainNote(rate, 1.0f);
        const double scale = cutoffColourGain(1.0f) / cutoffColourGain(0.0f);
        const double peak = peakOf(dark);
        ASSERT_GT(peak, 0.1);
        for (size_t i = 0; i < dark.size(); ++i)
            ASSERT_NEAR(bright[i], dark[i] * scale, 1e-5 * peak) << "sample " << i;
    }
    // Above 22.05 kHz the same pair differs by far more than a level.
    const std::vector<float> dark = plainNote(44100.0, 0.0f);
    const std::vector<float> bright = plainNote(44100.0, 1.0f);
    const double scale = cutoffColourGain(1.0f) / cutoffColourGain(0.0f);
    double largestDifference = 0.0;
    for (size_t i = 0; i < dark.size(); ++i)
        largestDifference = std::max(largestDifference, std::fabs(bright[i] - dark[i] * scale));
    EXPECT_GT(largestDifference, 0.3 * peakOf(dark));
}

TEST(ClassicRender, PitchWheelHasNoEffect)
{
    std::vector<float> centre;
    for (int wheel : {oxn3::kPitchBendCentre, 0, oxn3::kPitchBendSize - 1})
    {
        auto synth = classicVoice({44100.0, 2, 0.0f, 0, 1, 0});
        synth->pitchBend = wheel;
        const std::vector<float> out = render311(*synth, 44100);
        if (centre.empty())
            centre = out;
        else
            EXPECT_EQ(std::memcmp(out.data(), centre.data(), out.size() * sizeof(float)), 0) << "wheel " << wheel;
    }
}

// ---------------------------------------------------------------- oscillator numbering

TEST(ClassicOscillator, ModesMapOntoTheSharedModels)
{
    // classic mode -> the improved engine's number for the same model
    const std::pair<int, int> sameModel[] = {{0, 4}, {2, 3}, {1000, 1000}};
    for (const auto& [classicMode, improvedMode] : sameModel)
        for (float waveform : {0.0f, 1.0f})
        {
            SCOPED_TRACE(testing::Message() << "classic mode " << classicMode << " waveform " << waveform);
            auto classic = makeVoice();
            auto improved = makeVoice();
            classic->VCOMode = classicMode;
            improved->VCOMode = improvedMode;
            classic->smoothedWaveform = improved->smoothedWaveform = waveform;
            const oxn3::OscillatorRates rates = oxn3::OscillatorRates::compute(1.0f);
            const double increment = 123.4 / 44100.0;
            const float period = oxn3::periodAt44k(1.0f, increment);
            for (int i = 0; i < 2000; ++i)
                ASSERT_EQ(oxn3::oscillator311(*classic, increment, period, rates),
                          oxn3::oscillatorRE(*improved, increment, period, rates))
                    << "sample " << i;
        }
}

TEST(ClassicOscillator, ModeOneReadsTheSoftTablesAtThePeriodWithCarriedRatios)
{
    for (float waveform : {0.0f, 1.0f})
    {
        auto synth = makeVoice();
        synth->VCOMode = 1;
        synth->smoothedWaveform = waveform;
        const WaveTable& table = waveform > 0.5f ? *synth->wtXSquare : *synth->wtXSaw;
        const oxn3::OscillatorRates rates = oxn3::OscillatorRates::compute(1.0f);
        const double increment = 97.0 / 44100.0;
        const float period = oxn3::periodAt44k(1.0f, increment);
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

TEST(ClassicOscillator, ModesThreeFourAndUnknownAreSilent)
{
    auto loudness = [](int mode) {
        auto synth = makeVoice();
        synth->VCOMode = mode;
        settleKnobs(*synth);
        holdNote(*synth, 110.0f);
        return peakOf(render311(*synth, 22050));
    };
    for (int mode : {3, 4, 5, 999, 1001, -1})
        EXPECT_LT(loudness(mode), 1e-4) << "mode " << mode;
    for (int mode : {0, 1, 2, 1000})
        EXPECT_GT(loudness(mode), 0.05) << "mode " << mode;
}

// ---------------------------------------------------------------- envelopes and accent

TEST(ClassicEnvelopes, GateEnvelopeOpensOverAFewMilliseconds)
{
    // 1.02 e + 0.001 per sample reaches 1 after 154 samples; with VCA clicks 1.1 e + 0.001 after 49.
    for (const auto& [clicks, samplesToOpen] : {std::pair<int, int>{0, 154}, {1, 49}})
    {
        auto synth = makeVoice();
        synth->VCAClicks = clicks;
        holdNote(*synth, 110.0f);
        float sample = 0.0f;
        synth->blockProcess311(&sample, 1, false);
        EXPECT_DOUBLE_EQ(synth->gateEnvelope, 0.001);
        int n = 1;
        while (synth->gateEnvelope < 1.0 && n < 1000)
        {
            synth->blockProcess311(&sample, 1, false);
            ++n;
        }
        EXPECT_EQ(n, samplesToOpen) << "clicks " << clicks;
    }
}

TEST(ClassicEnvelopes, AccentSnapshotDecaysAtTheSameSpeedAtEveryRate)
{
    for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 882000.0})
    {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        auto synth = makeVoice(rate);
        synth->accentCap.value = 0.5;
        holdNote(*synth, 110.0f);
        float sample = 0.0f;
        synth->blockProcess311(&sample, 1, false);
        const float atTrigger = 0.5f;
        if (rate == 44100.0)
        {
            EXPECT_EQ(synth->accentSnapshot, static_cast<float>(atTrigger * 0.999975));
        }
        float previous = synth->accentSnapshot;
        const int halfSecond = static_cast<int>(rate / 2);
        for (int i = 1; i < halfSecond; ++i)
        {
            synth->blockProcess311(&sample, 1, false);
            ASSERT_LE(synth->accentSnapshot, previous) << "sample " << i;
            previous = synth->accentSnapshot;
        }
        EXPECT_NEAR(previous / atTrigger, std::pow(0.999975, 22050.0), 2e-3);
    }
}

TEST(ClassicEnvelopes, TriggerRestartsTheLaddersOnlyWhileTheVcaAccentIsLow)
{
    auto poleAfterTrigger = [](double vcaAccent, double gateTrim) {
        auto synth = makeVoice();
        synth->GateTrim = gateTrim;
        synth->vcaAccentLevel.value = vcaAccent;
        for (OnePoleState& pole : synth->ladderB)
            pole.value = 0.7;
        holdNote(*synth, 110.0f);
        float sample = 0.0f;
        synth->blockProcess311(&sample, 1, false);
        return synth->ladderB[3].value;
    };
    EXPECT_LT(std::fabs(poleAfterTrigger(0.0, 0.5)), 0.05);
    EXPECT_GT(poleAfterTrigger(0.2, 0.5), 0.6);  // accent still sounding
    EXPECT_GT(poleAfterTrigger(0.0, 0.05), 0.6); // gate trim down
}

// ---------------------------------------------------------------- filter ranges

TEST(ClassicFilter, RangesOfTheSampleRate)
{
    using oxn3::ClassicFilterRange;
    EXPECT_EQ(oxn3::classicFilterRange(11025.0), ClassicFilterRange::Bypassed);
    EXPECT_EQ(oxn3::classicFilterRange(22050.0), ClassicFilterRange::Bypassed);
    EXPECT_EQ(oxn3::classicFilterRange(22051.0), ClassicFilterRange::Ladder);
    EXPECT_EQ(oxn3::classicFilterRange(881999.0), ClassicFilterRange::Ladder);
    EXPECT_EQ(oxn3::classicFilterRange(882000.0), ClassicFilterRange::VeryHighRate);
}

TEST(ClassicFilter, CutoffMappingPerRange)
{
    using oxn3::ClassicFilterRange;
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

TEST(ClassicFilter, FullyOpenVoiceStaysBoundedAt882kHz)
{
    auto synth = classicVoice({882000.0, 1, 1.0f, 1, 0, 0});
    setAllKnobs(*synth, 1.0f);
    settleKnobs(*synth);
    const std::vector<float> out = render311(*synth, 882000);
    EXPECT_GT(peakOf(out), 0.1);
    EXPECT_LT(peakOf(out), 20.0);
    EXPECT_STREQ(firstUnusableClassicState(*synth), "");
}
