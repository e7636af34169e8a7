// Long renders of both engines over sample rates, oscillator models, options, knob turns, block
// sizes, sleep and engine switches, each reduced to one 64-bit fingerprint of everything a host
// or a page can observe: the output, the 16 scope channels, the MIDI-out notes and the clock.
// The fingerprints are those of the per-sample reference render, taken before the render was
// optimised: any change must leave every one unchanged, bit for bit. (They depend on the C
// library's exp, pow, sin and tanh, so another libm may need them re-taken, from a build of a
// render known to be right. The four whose clock stops were re-taken once, when stopping came to
// release the MIDI-out notes a stopped clock had kept; output, scope and steps stayed the same.)
// The fast render runs beside it block for block and stays within kTolerance of it: its copy
// for x86-64-v3 fuses multiplies and adds (engine/CMakeLists.txt).
#include <cmath>
#include <cstdint>
#include <iterator>
#include <cstring>
#include <algorithm>
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
    std::uint64_t expected;
    int bright = 0; // knob turns keep cutoff, envmod and accent in 0.8..1: the top of the cutoff voltage
};

// Of full scale; the scope's channels relative to their value where that is above 1.
constexpr double kTolerance = 1e-6;

double largestDifference(const float* fast, const float* reference, int n)
{
    double largest = 0.0;
    for (int i = 0; i < n; ++i)
    {
        const double scale = std::max(1.0, std::fabs(static_cast<double>(reference[i])));
        largest = std::max(largest, std::fabs(static_cast<double>(fast[i]) - reference[i]) / scale);
    }
    return largest;
}

double largestScopeDifference(const Synth303& fast, const Synth303& reference)
{
    double largest = 0.0;
    for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
        largest = std::max(largest,
                           largestDifference(fast.scopeBuffers[ch], reference.scopeBuffers[ch], oxn3::kScopeLength));
    return largest;
}

void renderBlockOf(Synth303& s, bool classic, bool reference, float* out, int n)
{
    if (classic)
        reference ? s.render311<true>(out, n) : s.render311<false>(out, n);
    else
        reference ? s.renderRE<true>(out, n) : s.renderRE<false>(out, n);
}

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

void turnKnobs(Synth303& s, TestRandom& random, bool bright = false)
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
    if (bright)
        for (float* knob : {&s.cutoff, &s.envmod, &s.accent})
            *knob = 0.8f + 0.2f * *knob;
}

// What a host or a page observes of a voice after a block, apart from the output and the scope:
// the fast render must match the reference in it exactly.
std::vector<int> eventsOf(const Synth303& s)
{
    std::vector<int> events(std::begin(s.midiOutNotes), std::end(s.midiOutNotes));
    events.insert(events.end(), {s.scopeWriteIndex, s.playStep, s.sleepCounter});
    return events;
}

struct ScenarioResult
{
    std::uint64_t fingerprint = 0; // of the per-sample reference
    double outputDifference = 0.0; // largest, of the fast render from the reference
    double scopeDifference = 0.0;
    int blocksWithOtherEvents = 0;
};

ScenarioResult runScenario(const Scenario& sc)
{
    std::unique_ptr<Synth303> voices[2]; // the fast render, the reference
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
    Fingerprint fp;
    ScenarioResult result;
    std::vector<float> blocks[2] = {std::vector<float>(700), std::vector<float>(700)};
    const long long total = static_cast<long long>(sc.sampleRate * sc.seconds);
    bool classic = sc.engine == EngineChoice::Classic;
    int b = 0;
    for (long long done = 0; done < total; ++b)
    {
        const TestRandom turns = random;
        for (auto& synth : voices)
        {
            random = turns;
            if (b % 37 == 20) turnKnobs(*synth, random, sc.bright != 0);
            if (sc.stopsAndSleeps && b % 90 == 45) synth->setRunStop(synth->running ? 0 : 1);
        }
        if (sc.engine == EngineChoice::Alternating && b % 50 == 49)
        {
            classic = !classic;
            for (auto& synth : voices)
            {
                synth->ImprovedEmulation = classic ? 0 : 1;
                synth->setAntiClickFadeIn();
            }
        }
        int n = sc.raggedBlocks ? 1 + static_cast<int>(random.next() * 699) : 256;
        if (sc.raggedBlocks && b % 23 == 7) n = 0; // an empty call changes only the step length
        n = static_cast<int>(std::min<long long>(n, total - done));
        for (int reference = 0; reference < 2; ++reference)
        {
            std::fill(blocks[reference].begin(), blocks[reference].end(), 0.0f);
            renderBlockOf(*voices[reference], classic, reference != 0, blocks[reference].data(), n);
        }
        done += n;

        const Synth303& ref = *voices[1];
        fp.add(blocks[1].data(), n);
        fp.add(static_cast<std::uint64_t>(ref.scopeWriteIndex));
        if (ref.running && n > 0)
            for (int ch = 0; ch < oxn3::kScopeChannels; ++ch)
                fp.add(ref.scopeBuffers[ch], n);
        for (int note : ref.midiOutNotes)
            fp.add(static_cast<std::uint64_t>(note));
        fp.add(static_cast<std::uint64_t>(ref.playStep));
        fp.add(static_cast<std::uint64_t>(ref.sleepCounter));

        result.outputDifference =
            std::max(result.outputDifference, largestDifference(blocks[0].data(), blocks[1].data(), n));
        // Every 32 blocks (at most 22400 samples: less than the scope holds) and at the end.
        if (b % 32 == 31 || done == total)
            result.scopeDifference = std::max(result.scopeDifference, largestScopeDifference(*voices[0], ref));
        result.blocksWithOtherEvents += eventsOf(*voices[0]) != eventsOf(ref) ? 1 : 0;
    }
    result.fingerprint = fp.h;
    return result;
}

constexpr EngineChoice kImproved = EngineChoice::Improved;
constexpr EngineChoice kClassic = EngineChoice::Classic;
constexpr EngineChoice kSwitching = EngineChoice::Alternating;

// clang-format off
const Scenario kScenarios[] = {
    // name                   engine          rate  mode clk vib noi clp phr tri rag slp   s   fingerprint
    {"improved 44k1 mode 0",  kImproved,    44100.0,    0, 1, 1, 1, 1, 0, 0, 1, 0,  6.0, 0x97a6553c4d59a41bull},
    {"improved 48k mode 1",   kImproved,    48000.0,    1, 0, 1, 0, 0, 1, 1, 0, 0,  6.0, 0x1faaba848ef6e737ull},
    {"improved 96k mode 2",   kImproved,    96000.0,    2, 1, 0, 1, 1, 0, 0, 0, 0,  6.0, 0xdf439b4161e66e00ull},
    {"improved 96k mode 3",   kImproved,    96000.0,    3, 0, 1, 1, 0, 0, 1, 1, 1,  4.0, 0x84cdc80f6573e10bull},
    {"improved 192k mode 4",  kImproved,   192000.0,    4, 0, 0, 1, 0, 0, 0, 0, 0,  2.0, 0x67d7c0aff7fa008bull},
    {"improved 22k05 naive",  kImproved,    22050.0, 1000, 1, 0, 1, 1, 0, 0, 1, 0,  6.0, 0x3c068f78873eb52eull},
    {"improved 11k025 mode 1", kImproved,    11025.0,    1, 0, 0, 1, 0, 0, 0, 0, 1,  8.0, 0x7e448e8800637e20ull},
    {"improved 44k1 silent",  kImproved,    44100.0,    5, 0, 0, 1, 0, 0, 0, 0, 0,  3.0, 0x2ed2d938d2cee2d2ull},
    {"classic 44k1 mode 2",   kClassic,     44100.0,    2, 1, 1, 1, 1, 1, 0, 1, 0,  6.0, 0x8fc7d1bf4a96262dull},
    {"classic 48k mode 0",    kClassic,     48000.0,    0, 0, 1, 1, 1, 0, 1, 0, 0,  4.0, 0x6c18568d788d8eb0ull},
    {"classic 96k mode 1",    kClassic,     96000.0,    1, 1, 0, 0, 0, 0, 0, 0, 1,  6.0, 0x77f9c7ca6a32aa8dull},
    {"classic 11k025 naive",  kClassic,     11025.0, 1000, 1, 1, 1, 0, 0, 1, 0, 0,  6.0, 0xf84454204612c3e5ull},
    {"classic 192k naive",    kClassic,    192000.0, 1000, 0, 0, 1, 1, 0, 0, 1, 1,  2.0, 0xe248f828a908e072ull},
    {"classic 882k mode 1",   kClassic,    882000.0,    1, 0, 0, 1, 1, 0, 0, 0, 0,  0.5, 0x75bc5f536cf8d6d5ull},
    {"classic 44k1 mode 4",   kClassic,     44100.0,    4, 0, 0, 1, 0, 0, 0, 0, 0,  2.0, 0x34e358157c1f772dull},
    {"switching 44k1 mode 1", kSwitching,   44100.0,    1, 1, 1, 1, 0, 0, 0, 1, 0,  8.0, 0xfd993fc627cc9c79ull},
    {"switching 96k mode 2",  kSwitching,   96000.0,    2, 0, 0, 1, 1, 0, 1, 0, 1,  4.0, 0x7302b76de1a946b8ull},
    {"improved 44k1 bright",  kImproved,    44100.0,    1, 1, 1, 0, 0, 0, 0, 0, 0,  6.0, 0x4bca1d4789619001ull, 1},
    {"classic 48k bright",    kClassic,     48000.0,    1, 1, 1, 0, 0, 0, 0, 0, 0,  6.0, 0xb2f60c9d2752a3ffull, 1},
};
// clang-format on
} // namespace

TEST(RenderFingerprint, LongRendersOfBothEnginesAreUnchanged)
{
    for (const Scenario& sc : kScenarios)
    {
        const ScenarioResult r = runScenario(sc);
        EXPECT_EQ(r.fingerprint, sc.expected) << sc.name << ": 0x" << std::hex << r.fingerprint << "ull";
        EXPECT_LE(r.outputDifference, kTolerance) << sc.name;
        EXPECT_LE(r.scopeDifference, kTolerance) << sc.name;
        EXPECT_EQ(r.blocksWithOtherEvents, 0) << sc.name;
    }
}

// Fast render against its per-sample reference build: output and scope within kTolerance. The
// single call of 100003 samples, longer than the scope, checks that runs and scope positions wrap alike.
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
                const int n = std::min(c.blockSize, samples - done);
                renderBlockOf(s, c.classic, reference != 0, out[reference].data() + done, n);
            }
        }
        EXPECT_LE(largestDifference(out[0].data(), out[1].data(), samples), kTolerance);
        EXPECT_GT(peakOf(out[0]), 0.05);
        EXPECT_LE(largestScopeDifference(*voices[0], *voices[1]), kTolerance);
        EXPECT_EQ(voices[0]->scopeWriteIndex, voices[1]->scopeWriteIndex);
    }
}
