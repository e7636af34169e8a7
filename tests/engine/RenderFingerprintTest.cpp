// Long renders of both engines over sample rates, oscillator models, options, knob turns, block
// sizes, sleep and engine switches, each taken by the render and by its per-sample reference
// (the C library's exp and pow, every coefficient recomputed per sample) side by side. The
// render computes some transcendentals inline, so the two may differ in the last bits, but by
// no more than 1e-6 of full scale in any output sample or scope value (-120 dB), and the notes,
// the clock and the scope position not at all.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/VoiceTestHelpers.h"

namespace
{
// Alternating switches engine every 50 blocks, as a host may at a block boundary.
enum class EngineChoice { Improved, Classic, Alternating };

struct Scenario
{
    const char* name;
    EngineChoice engine;
    double sampleRate;
    int mode, clicks, vibrato, noise, clipping, phaseReset, triplet;
    int raggedBlocks;   // 1..700 samples per call instead of 256
    int stopsAndSleeps; // stops the clock now and then, long enough for the voice to sleep
    double seconds;
};

constexpr double kTolerance = 1e-6;

// The largest difference between the render and its reference over a whole scenario.
struct Deviation
{
    double output = 0.0;
    double scope = 0.0;
    bool sameEvents = true; // scope position, MIDI-out notes, play step, sleep counter
};

double largestDifference(const float* a, const float* b, int n)
{
    double d = 0.0;
    for (int i = 0; i < n; ++i)
        d = std::max(d, std::fabs(static_cast<double>(a[i]) - b[i]));
    return d;
}

void renderPath(Synth303& s, bool classic, bool reference, float* out, int n)
{
    if (classic)
        reference ? s.render311<true>(out, n) : s.render311<false>(out, n);
    else
        reference ? s.renderRE<true>(out, n) : s.renderRE<false>(out, n);
}

void turnKnobs(Synth303& s, TestRandom& random)
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
    s.bass = static_cast<float>(random.next());
    s.volume = random.next() < 0.2 ? 0.0f : static_cast<float>(random.next());
    s.pitchBend = static_cast<int>(random.next() * (oxn3::kPitchBendSize - 1));
    s.ResoTrim = random.next();
    s.VCFTrim = random.next();
    s.GateTrim = random.next();
}

void PrintTo(const Scenario& sc, std::ostream* os)
{
    *os << sc.name;
}

Deviation deviationOf(const Scenario& sc)
{
    std::unique_ptr<Synth303> voices[2];
    for (auto& synth : voices)
    {
        synth = busyVoice(sc.sampleRate, sc.mode, sc.engine == EngineChoice::Classic, sc.triplet);
        synth->VCAClicks = sc.clicks;
        synth->VCOVibrato = sc.vibrato;
        synth->VCANoise = sc.noise;
        synth->OutputClipping = sc.clipping;
        synth->VCOPhaseReset = sc.phaseReset;
        synth->volume = 0.8f;
        if (sc.stopsAndSleeps)
            synth->sleepLimit = 6000;
    }
    TestRandom random;
    Deviation dev;
    std::vector<float> blocks[2] = {std::vector<float>(700), std::vector<float>(700)};
    const long long total = static_cast<long long>(sc.sampleRate * sc.seconds);
    bool classic = sc.engine == EngineChoice::Classic;
    int b = 0;
    for (long long done = 0; done < total; ++b)
    {
        const bool turn = b % 37 == 20;
        TestRandom knobRandom = random;
        const bool stopOrStart = sc.stopsAndSleeps && b % 90 == 45;
        const bool switchEngine = sc.engine == EngineChoice::Alternating && b % 50 == 49;
        if (switchEngine)
            classic = !classic;
        for (int v = 0; v < 2; ++v)
        {
            Synth303& s = *voices[v];
            if (turn)
            {
                random = knobRandom;
                turnKnobs(s, random);
            }
            if (stopOrStart)
                s.setRunStop(s.running ? 0 : 1);
            if (switchEngine)
            {
                s.ImprovedEmulation = classic ? 0 : 1;
                s.setAntiClickFadeIn();
            }
        }
        int n = sc.raggedBlocks ? 1 + static_cast<int>(random.next() * 699) : 256;
        if (sc.raggedBlocks && b % 23 == 7) n = 0; // an empty call changes only the step length
        n = static_cast<int>(std::min<long long>(n, total - done));
        for (int v = 0; v < 2; ++v)
        {
            std::fill(blocks[v].begin(), blocks[v].end(), 0.0f);
            renderPath(*voices[v], classic, v == 1, blocks[v].data(), n);
        }
        done += n;

        const Synth303& fast = *voices[0];
        const Synth303& reference = *voices[1];
        dev.output = std::max(dev.output, largestDifference(blocks[0].data(), blocks[1].data(), n));
        // at most 64 * 700 samples between looks: no scope slot is written twice unseen
        if (b % 64 == 0 || done == total)
            for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
                dev.scope = std::max(dev.scope, largestDifference(fast.scopeBuffers[ch], reference.scopeBuffers[ch],
                                                                  oxn3::kScopeLength));
        dev.sameEvents = dev.sameEvents && fast.scopeWriteIndex == reference.scopeWriteIndex &&
                         std::equal(std::begin(fast.midiOutNotes), std::end(fast.midiOutNotes),
                                    std::begin(reference.midiOutNotes)) &&
                         fast.playStep == reference.playStep && fast.sleepCounter == reference.sleepCounter;
    }
    return dev;
}

constexpr EngineChoice kImproved = EngineChoice::Improved;
constexpr EngineChoice kClassic = EngineChoice::Classic;
constexpr EngineChoice kSwitching = EngineChoice::Alternating;

// clang-format off
// 60 s each, as a song would run; the rates above 96 kHz for less, their reference is slow.
const Scenario kScenarios[] = {
    // name                   engine          rate  mode clk vib noi clp phr tri rag slp   s
    {"improved 44k1 mode 0",  kImproved,    44100.0,    0, 1, 1, 1, 1, 0, 0, 1, 0, 60.0},
    {"improved 48k mode 1",   kImproved,    48000.0,    1, 0, 1, 0, 0, 1, 1, 0, 0, 60.0},
    {"improved 96k mode 2",   kImproved,    96000.0,    2, 1, 0, 1, 1, 0, 0, 0, 0, 60.0},
    {"improved 96k mode 3",   kImproved,    96000.0,    3, 0, 1, 1, 0, 0, 1, 1, 1, 60.0},
    {"improved 192k mode 4",  kImproved,   192000.0,    4, 0, 0, 1, 0, 0, 0, 0, 0, 20.0},
    {"improved 22k05 naive",  kImproved,    22050.0, 1000, 1, 0, 1, 1, 0, 0, 1, 0, 60.0},
    {"improved 11k025 mode 1", kImproved,    11025.0,    1, 0, 0, 1, 0, 0, 0, 0, 1, 60.0},
    {"improved 44k1 silent",  kImproved,    44100.0,    5, 0, 0, 1, 0, 0, 0, 0, 0, 60.0},
    {"classic 44k1 mode 2",   kClassic,     44100.0,    2, 1, 1, 1, 1, 1, 0, 1, 0, 60.0},
    {"classic 48k mode 0",    kClassic,     48000.0,    0, 0, 1, 1, 1, 0, 1, 0, 0, 60.0},
    {"classic 96k mode 1",    kClassic,     96000.0,    1, 1, 0, 0, 0, 0, 0, 0, 1, 60.0},
    {"classic 11k025 naive",  kClassic,     11025.0, 1000, 1, 1, 1, 0, 0, 1, 0, 0, 60.0},
    {"classic 192k naive",    kClassic,    192000.0, 1000, 0, 0, 1, 1, 0, 0, 1, 1, 20.0},
    {"classic 882k mode 1",   kClassic,    882000.0,    1, 0, 0, 1, 1, 0, 0, 0, 0,  4.0},
    {"classic 44k1 mode 4",   kClassic,     44100.0,    4, 0, 0, 1, 0, 0, 0, 0, 0, 60.0},
    {"switching 44k1 mode 1", kSwitching,   44100.0,    1, 1, 1, 1, 0, 0, 0, 1, 0, 60.0},
    {"switching 96k mode 2",  kSwitching,   96000.0,    2, 0, 0, 1, 1, 0, 1, 0, 1, 60.0},
};
// clang-format on
} // namespace

class RenderAgainstReference : public testing::TestWithParam<Scenario>
{
};

TEST_P(RenderAgainstReference, StaysWithinAMillionthOfFullScale)
{
    const Deviation dev = deviationOf(GetParam());
    EXPECT_LE(dev.output, kTolerance);
    EXPECT_LE(dev.scope, kTolerance);
    EXPECT_TRUE(dev.sameEvents);
}

INSTANTIATE_TEST_SUITE_P(LongRenders, RenderAgainstReference, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& info) {
                             std::string name = info.param.name;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

// The same check over single calls of 100003 samples, longer than the scope: runs and scope
// positions wrap alike.
TEST(RenderFingerprint, FastRenderFollowsThePerSampleReference)
{
    // clang-format off
    struct Case { bool classic; double rate; int mode, waveform, clicks, noise, clipping, blockSize; };
    const Case cases[] = {
        {false, 22050.0, 1000, 1, 0, 1, 1, 256}, {false, 48000.0, 0, 1, 1, 1, 1, 256}, {false, 96000.0, 4, 1, 0, 1, 0, 256},
        {false, 44100.0, 3, 0, 1, 0, 0, 256},    {false, 192000.0, 1, 0, 1, 0, 0, 256}, {false, 44100.0, 2, 0, 0, 1, 0, 100003},
        {true, 11025.0, 2, 0, 0, 1, 0, 256},     {true, 44100.0, 1000, 1, 1, 0, 1, 256}, {true, 48000.0, 0, 1, 0, 1, 1, 256},
        {true, 192000.0, 1, 0, 1, 0, 0, 256},    {true, 882000.0, 2, 1, 1, 1, 1, 256}, {true, 44100.0, 2, 0, 0, 1, 0, 100003}};
    // clang-format on
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.classic ? "classic " : "improved ") << c.rate << " Hz, mode " << c.mode
                                        << ", block " << c.blockSize);
        std::unique_ptr<Synth303> voices[2];
        std::vector<float> out[2];
        const int samples = c.blockSize > 256 ? c.blockSize : static_cast<int>(c.rate * (c.rate > 1e5 ? 1.0 : 3.0));
        for (int reference = 0; reference < 2; ++reference)
        {
            Synth303& s = *(voices[reference] = busyVoice(c.rate, c.mode, c.classic));
            s.waveform = static_cast<float>(c.waveform);
            s.VCAClicks = s.VCOVibrato = c.clicks;
            s.VCANoise = c.noise;
            s.OutputClipping = c.clipping;
            out[reference].assign(static_cast<size_t>(samples), 0.0f);
            TestRandom random;
            for (int done = 0, b = 0; done < samples; done += c.blockSize, ++b)
            {
                if (b % 40 == 20)
                    turnKnobs(s, random);
                float* to = out[reference].data() + done;
                const int n = std::min(c.blockSize, samples - done);
                if (c.classic)
                    reference ? s.render311<true>(to, n) : s.render311<false>(to, n);
                else
                    reference ? s.renderRE<true>(to, n) : s.renderRE<false>(to, n);
            }
        }
        ASSERT_LE(largestDifference(out[0].data(), out[1].data(), samples), kTolerance);
        EXPECT_GT(peakOf(out[0]), 0.05);
        for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
        {
            ASSERT_LE(largestDifference(voices[0]->scopeBuffers[ch], voices[1]->scopeBuffers[ch], oxn3::kScopeLength),
                      kTolerance)
                << ch;
        }
        EXPECT_EQ(voices[0]->scopeWriteIndex, voices[1]->scopeWriteIndex);
    }
}
