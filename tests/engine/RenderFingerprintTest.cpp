// Long renders of both engines over sample rates, oscillator models, options, knob turns, block
// sizes, sleep and engine switches, each reduced to one 64-bit fingerprint of everything a host
// or a page can observe: the output, the 16 scope channels, the MIDI-out notes and the clock.
// The fingerprints were taken from the render before it was optimised; any change for speed
// must leave every one unchanged, bit for bit. (They depend on the C library's exp, pow, sin and
// tanh and on the code path it picks for the processor, so another libm or machine may need
// them re-taken, from a build of a render known to be right.)
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/VoiceTestHelpers.h"

namespace
{
enum class EngineChoice
{
    Improved,
    Classic,
    Alternating // switches engine every 50 blocks, as a host may at a block boundary
};

struct Scenario
{
    const char* name;
    EngineChoice engine;
    double sampleRate;
    int mode;
    int clicks;
    int vibrato;
    int noise;
    int clipping;
    int phaseReset;
    int triplet;
    int raggedBlocks;    // 1..700 samples per call instead of 256
    int stopsAndSleeps;  // stops the clock now and then, long enough for the voice to sleep
    double seconds;
    std::uint64_t expected;
};

struct Fingerprint
{
    std::uint64_t h = 14695981039346656037ull;

    void add(std::uint64_t word)
    {
        h = (h ^ word) * 1099511628211ull;
        h ^= h >> 29;
    }

    void add(const float* values, int n)
    {
        for (int i = 0; i < n; ++i)
        {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &values[i], sizeof(bits));
            add(bits);
        }
    }
};

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

std::unique_ptr<Synth303> voiceFor(const Scenario& sc)
{
    auto synth = makeVoice(sc.sampleRate);
    synth->VCOMode = sc.mode;
    synth->VCAClicks = sc.clicks;
    synth->VCOVibrato = sc.vibrato;
    synth->VCANoise = sc.noise;
    synth->OutputClipping = sc.clipping;
    synth->VCOPhaseReset = sc.phaseReset;
    synth->ImprovedEmulation = sc.engine == EngineChoice::Classic ? 0 : 1;
    synth->cutoff = 0.35f;
    synth->resonance = 0.75f;
    synth->envmod = 0.6f;
    synth->decay = 0.4f;
    synth->accent = 0.8f;
    synth->volume = 0.8f;
    setPatternSteps(*synth, busyPattern());
    synth->patterns[0].setTriplet(sc.triplet);
    synth->setTempo(133.0);
    synth->setRunStop(1);
    if (sc.stopsAndSleeps) synth->sleepLimit = 6000;
    return synth;
}

void renderBlock(Synth303& s, bool classic, float* out, int n)
{
    if (classic)
        s.blockProcess311(out, n, false);
    else
        s.blockProcessRE(out, n, false);
}

std::uint64_t fingerprintOf(const Scenario& sc)
{
    auto synth = voiceFor(sc);
    TestRandom random;
    Fingerprint fp;
    std::vector<float> block(700);
    const long long total = static_cast<long long>(sc.sampleRate * sc.seconds);
    bool classic = sc.engine == EngineChoice::Classic;
    int b = 0;
    for (long long done = 0; done < total; ++b)
    {
        if (b % 37 == 20) turnKnobs(*synth, random);
        if (sc.stopsAndSleeps && b % 90 == 45) synth->setRunStop(synth->running ? 0 : 1);
        if (sc.engine == EngineChoice::Alternating && b % 50 == 49)
        {
            classic = !classic;
            synth->ImprovedEmulation = classic ? 0 : 1;
            synth->setAntiClickFadeIn();
        }
        int n = sc.raggedBlocks ? 1 + static_cast<int>(random.next() * 699) : 256;
        if (sc.raggedBlocks && b % 23 == 7) n = 0; // an empty call changes only the step length
        n = static_cast<int>(std::min<long long>(n, total - done));
        std::fill(block.begin(), block.end(), 0.0f);
        renderBlock(*synth, classic, block.data(), n);
        done += n;

        fp.add(block.data(), n);
        fp.add(static_cast<std::uint64_t>(synth->scopeWriteIndex));
        if (synth->running && n > 0)
            for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
                fp.add(synth->scopeBuffers[ch], n);
        for (int note : synth->midiOutNotes)
            fp.add(static_cast<std::uint64_t>(note));
        fp.add(static_cast<std::uint64_t>(synth->playStep));
        fp.add(static_cast<std::uint64_t>(synth->sleepCounter));
    }
    return fp.h;
}

constexpr EngineChoice kImproved = EngineChoice::Improved;
constexpr EngineChoice kClassic = EngineChoice::Classic;
constexpr EngineChoice kSwitching = EngineChoice::Alternating;

// clang-format off
const Scenario kScenarios[] = {
    // name                   engine          rate  mode clk vib noi clp phr tri rag slp   s   fingerprint
    {"improved 44k1 mode 2",  kImproved,    44100.0,    2, 0, 0, 1, 0, 0, 0, 0, 0, 12.0, 0x7ce6de0f299e4bc1ull},
    {"improved 44k1 mode 0",  kImproved,    44100.0,    0, 1, 1, 1, 1, 0, 0, 1, 0,  6.0, 0x97a6553c4d59a41bull},
    {"improved 48k mode 1",   kImproved,    48000.0,    1, 0, 1, 0, 0, 1, 1, 0, 0,  6.0, 0x1faaba848ef6e737ull},
    {"improved 96k mode 2",   kImproved,    96000.0,    2, 1, 0, 1, 1, 0, 0, 0, 0,  6.0, 0xdf439b4161e66e00ull},
    {"improved 96k mode 3",   kImproved,    96000.0,    3, 0, 1, 1, 0, 0, 1, 1, 1,  4.0, 0x495bf1576b86738full},
    {"improved 44k1 mode 4",  kImproved,    44100.0,    4, 1, 1, 0, 1, 1, 0, 0, 0,  4.0, 0x3aed1630b2efd62eull},
    {"improved 192k mode 4",  kImproved,   192000.0,    4, 0, 0, 1, 0, 0, 0, 0, 0,  2.0, 0x67d7c0aff7fa008bull},
    {"improved 22k05 naive",  kImproved,    22050.0, 1000, 1, 0, 1, 1, 0, 0, 1, 0,  6.0, 0x3c068f78873eb52eull},
    {"improved 88k2 naive",   kImproved,    88200.0, 1000, 0, 1, 0, 0, 0, 1, 0, 1,  4.0, 0xb0a68f08e6573f64ull},
    {"improved 11k025 mode 1", kImproved,    11025.0,    1, 0, 0, 1, 0, 0, 0, 0, 1,  8.0, 0xae3482950d16f960ull},
    {"improved 44k1 silent",  kImproved,    44100.0,    5, 0, 0, 1, 0, 0, 0, 0, 0,  3.0, 0x2ed2d938d2cee2d2ull},
    {"classic 44k1 mode 1",   kClassic,     44100.0,    1, 0, 0, 1, 0, 0, 0, 0, 0, 12.0, 0x74e7039db41d3755ull},
    {"classic 44k1 mode 2",   kClassic,     44100.0,    2, 1, 1, 1, 1, 1, 0, 1, 0,  6.0, 0x8fc7d1bf4a96262dull},
    {"classic 48k mode 0",    kClassic,     48000.0,    0, 0, 1, 1, 1, 0, 1, 0, 0,  4.0, 0x6c18568d788d8eb0ull},
    {"classic 96k mode 1",    kClassic,     96000.0,    1, 1, 0, 0, 0, 0, 0, 0, 1,  6.0, 0xec41f97163e6cf71ull},
    {"classic 22k05 mode 2",  kClassic,     22050.0,    2, 0, 0, 1, 1, 0, 0, 1, 0,  6.0, 0xf25df513b2ff83a4ull},
    {"classic 11k025 naive",  kClassic,     11025.0, 1000, 1, 1, 1, 0, 0, 1, 0, 0,  6.0, 0xf84454204612c3e5ull},
    {"classic 192k naive",    kClassic,    192000.0, 1000, 0, 0, 1, 1, 0, 0, 1, 1,  2.0, 0xd179ed4442c21149ull},
    {"classic 882k mode 1",   kClassic,    882000.0,    1, 0, 0, 1, 1, 0, 0, 0, 0,  0.5, 0x75bc5f536cf8d6d5ull},
    {"classic 44k1 mode 4",   kClassic,     44100.0,    4, 0, 0, 1, 0, 0, 0, 0, 0,  2.0, 0x34e358157c1f772dull},
    {"switching 44k1 mode 1", kSwitching,   44100.0,    1, 1, 1, 1, 0, 0, 0, 1, 0,  8.0, 0xfd993fc627cc9c79ull},
    {"switching 96k mode 2",  kSwitching,   96000.0,    2, 0, 0, 1, 1, 0, 1, 0, 1,  4.0, 0x7302b76de1a946b8ull},
};
// clang-format on
} // namespace

TEST(RenderFingerprint, LongRendersOfBothEnginesAreUnchanged)
{
    for (const Scenario& sc : kScenarios)
    {
        const std::uint64_t fp = fingerprintOf(sc);
        EXPECT_EQ(fp, sc.expected) << sc.name << ": 0x" << std::hex << fp << "ull";
    }
}

// One call far longer than the scope (88200 samples): the render's runs of samples and its scope
// positions wrap as the per-sample reference's do.
TEST(RenderFingerprint, OneLongBlockMatchesThePerSampleReference)
{
    for (bool classic : {false, true})
    {
        SCOPED_TRACE(classic ? "classic" : "improved");
        Scenario sc = kScenarios[0];
        sc.engine = classic ? EngineChoice::Classic : EngineChoice::Improved;
        auto fast = voiceFor(sc);
        auto reference = voiceFor(sc);
        const int samples = 100003;
        std::vector<float> a(samples, 0.0f);
        std::vector<float> b(samples, 0.0f);
        if (classic)
        {
            fast->render311<false>(a.data(), samples);
            reference->render311<true>(b.data(), samples);
        }
        else
        {
            fast->renderRE<false>(a.data(), samples);
            reference->renderRE<true>(b.data(), samples);
        }
        ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
        const size_t channelBytes = sizeof(fast->scopeBuffers[0]);
        for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
            ASSERT_EQ(std::memcmp(fast->scopeBuffers[ch], reference->scopeBuffers[ch], channelBytes), 0) << ch;
        EXPECT_EQ(fast->scopeWriteIndex, samples);
        EXPECT_EQ(reference->scopeWriteIndex, samples);
    }
}
