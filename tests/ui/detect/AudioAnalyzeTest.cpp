#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ui/detect/WaveBuffer.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr int kStepLen = 8000; // long enough for a tail window, so slides can show

struct Result
{
    std::vector<int> notes, gates, accents, slides;
};

Result analyze(std::vector<float> samples, int steps, int rate = 44100)
{
    WaveBuffer w;
    w.data = samples.empty() ? nullptr : samples.data();
    w.size = static_cast<int32_t>(samples.size());
    w.sampleRate = rate;
    w.normalize();
    const size_t n = static_cast<size_t>(steps > 0 ? steps : 0);
    Result r{std::vector<int>(n, -7), std::vector<int>(n, -7), std::vector<int>(n, -7), std::vector<int>(n, -7)};
    w.audioAnalyze(r.notes.data(), r.gates.data(), r.accents.data(), r.slides.data(), steps);
    return r;
}

// A sine whose upward zero crossings fall between samples every `period` samples.
void addTone(std::vector<float>& x, size_t from, size_t count, double period, float amplitude = 1.0f)
{
    for (size_t i = 0; i < count; ++i)
        x[from + i] = amplitude * static_cast<float>(std::sin(2 * kPi * (static_cast<double>(i) + 0.5) / period));
}

// A square wave with upward crossings at `at` and then after each of `periods`; silent after.
void addPulses(std::vector<float>& x, size_t at, const std::vector<int>& periods)
{
    for (size_t i = at - 10; i < at; ++i)
        x[i] = -1.0f;
    for (int p : periods)
    {
        for (int i = 0; i < p; ++i)
            x[at + static_cast<size_t>(i)] = i < p / 2 ? 1.0f : -1.0f;
        at += static_cast<size_t>(p);
    }
    for (size_t i = at; i < at + 10; ++i)
        x[i] = 1.0f;
}

void expectRests(const Result& r)
{
    for (size_t k = 0; k < r.gates.size(); ++k)
    {
        EXPECT_EQ(r.notes[k], 1) << k;
        EXPECT_EQ(r.gates[k] + r.accents[k] + r.slides[k], 0) << k;
    }
}
} // namespace

// Sixteen steps of a steady tone name its nearest note in every step.
TEST(AudioAnalyze, ToneGivesItsNearestNote)
{
    const struct
    {
        double period;
        int note;
    } cases[] = {{400, 45}, {401, 45}, {412, 45}, {413, 44}, {425, 44}};
    for (const auto& c : cases)
    {
        std::vector<float> x(16 * kStepLen);
        addTone(x, 0, x.size(), c.period);
        const Result r = analyze(x, 16);
        for (int k = 0; k < 16; ++k)
        {
            EXPECT_EQ(r.notes[k], c.note) << c.period << " step " << k;
            EXPECT_EQ(r.gates[k], 1);
            EXPECT_EQ(r.accents[k], 1);
        }
    }
}

// Periods averaged over a step: exactly 44100/110 samples is A (45); after a slide into the step
// the pitch is that at the end of its glide instead.
TEST(AudioAnalyze, PeriodsAveragedOrTakenAtTheEndOfAGlide)
{
    std::vector<int> a110(12, 401);
    a110.back() = 400; // the eleven periods after the first span 4410 samples
    std::vector<int> falling;
    for (int p = 460; p >= 300; p -= 8)
        falling.push_back(p);

    const struct
    {
        std::vector<int> periods;
        bool slideIn;
        int note;
    } cases[] = {{a110, false, 45}, {falling, false, 46}, {falling, true, 50}};
    for (const auto& c : cases)
    {
        const size_t step = 12000; // room for the falling periods and a silent tail
        std::vector<float> x(2 * step);
        addTone(x, 0, c.slideIn ? step : step / 2, 400);
        addPulses(x, step + 100, c.periods);
        const Result r = analyze(x, 2);
        EXPECT_EQ(r.slides[0], c.slideIn ? 1 : 0);
        EXPECT_EQ(r.gates[1], 1);
        EXPECT_EQ(r.slides[1], 0);
        EXPECT_EQ(r.notes[1], c.note) << c.periods.front() << " slide " << c.slideIn;
    }
}

// A saw on a slow swing: its zero crossings drift a semitone's worth per period, its resets do
// not. A smooth tone with noise keeps its zero crossings, which are then the steadier marks.
TEST(AudioAnalyze, PeriodComesFromTheSteadierMarks)
{
    std::mt19937 rng(303);
    std::uniform_real_distribution<float> noise(-0.03f, 0.03f);
    const double period = 401;
    const size_t n = 4 * kStepLen;
    std::vector<float> swingingSaw(n), noisyTone(n);
    addTone(noisyTone, 0, n, period);
    for (size_t i = 0; i < n; ++i)
    {
        const double phase = std::fmod(static_cast<double>(i), period) / period;
        const double swing = 0.6 * (1.0 - 2.0 * static_cast<double>(i % kStepLen) / kStepLen);
        swingingSaw[i] = static_cast<float>(2 * phase - 1 + swing);
        noisyTone[i] += noise(rng);
    }
    for (const auto* x : {&swingingSaw, &noisyTone})
        EXPECT_EQ(analyze(*x, 4).notes, (std::vector<int>{45, 45, 45, 45})) << (x == &noisyTone ? "noisy tone" : "saw");
}

TEST(AudioAnalyze, SilentBodyAfterALoudTailIsARestWithoutSlide)
{
    std::vector<float> x(2 * kStepLen);
    addTone(x, 0, kStepLen, 400);
    const Result r = analyze(x, 2);
    EXPECT_EQ(r.gates[0], 1);
    EXPECT_EQ(r.slides[0], 1);
    EXPECT_EQ(r.notes[1], 1);
    EXPECT_EQ(r.gates[1] + r.accents[1] + r.slides[1], 0);
}

TEST(AudioAnalyze, AccentMeansAboveHalfTheLoudestSample)
{
    std::vector<float> x(2 * kStepLen);
    addTone(x, 0, kStepLen / 2, 400, 1.0f);
    addTone(x, kStepLen, kStepLen / 2, 400, 0.45f);
    const Result r = analyze(x, 2);
    EXPECT_EQ(r.accents[0], 1);
    EXPECT_EQ(r.accents[1], 0);
    EXPECT_EQ(r.notes[1], 45);
}

// The loaded file's own rate turns periods into frequencies: A at 48 kHz is still A.
TEST(AudioAnalyze, SampleRateOfTheAudioIsUsed)
{
    std::vector<float> x(4 * kStepLen);
    addTone(x, 0, x.size(), 48000.0 / 110.0);
    EXPECT_EQ(analyze(x, 4, 48000).notes, (std::vector<int>{45, 45, 45, 45}));
    EXPECT_EQ(analyze(x, 4, 44100).notes[0], 44);
}

TEST(AudioAnalyze, LengthOneAnalysesTheWholeSpan)
{
    std::vector<float> x(20000);
    addTone(x, 0, x.size(), 400);
    const Result r = analyze(x, 1);
    EXPECT_EQ(r.notes[0], 45);
    EXPECT_EQ(r.gates[0], 1);
}

TEST(AudioAnalyze, SilentEmptyOrTooShortSelectionsAreRests)
{
    expectRests(analyze(std::vector<float>(16 * kStepLen), 16));
    expectRests(analyze({}, 16));
    std::vector<float> shortSteps(16 * 1000);
    addTone(shortSteps, 0, shortSteps.size(), 100);
    expectRests(analyze(shortSteps, 16)); // a step of 1000 samples has no body window
    Result none = analyze(std::vector<float>(100, 0.5f), 0);
    EXPECT_TRUE(none.notes.empty());
}

// A sounding step with no usable period keeps the note before it; before any, C (36).
TEST(AudioAnalyze, SoundingStepWithoutPeriodKeepsThePreviousNote)
{
    std::vector<float> noDip(3 * kStepLen);
    addTone(noDip, kStepLen, kStepLen / 2, 400);
    for (size_t i = 0; i < noDip.size(); ++i)
        if (i < kStepLen || i >= 2 * kStepLen)
            noDip[i] = std::max(static_cast<float>(std::sin(2 * kPi * (static_cast<double>(i) + 0.5) / 400)), -0.05f);
    const Result r = analyze(noDip, 3);
    EXPECT_EQ(r.gates, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(r.notes, (std::vector<int>{36, 45, 45}));
}

// Bad audio never makes the detection divide by zero or convert an out-of-range float (UBSan).
TEST(AudioAnalyze, BadInputGivesValidFlags)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::mt19937 rng(15);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<std::vector<float>> inputs = {
        std::vector<float>(64000, 0.0f), std::vector<float>(64000, 0.7f), std::vector<float>(64000, -1e30f), {-1.0f, 1.0f},
        std::vector<float>(3, nan), {inf, -inf, 0.0f, 1.0f}};
    std::vector<float> single(64000, -0.5f);
    std::fill(single.begin() + 30000, single.end(), 0.5f);
    inputs.push_back(single);
    std::vector<float> white(64000);
    for (float& v : white)
        v = noise(rng);
    inputs.push_back(white);
    // Seeded random inputs: random lengths, step counts, rates and sample kinds.
    for (int n = 0; n < 60; ++n)
    {
        std::vector<float> v(static_cast<size_t>(rng() % 40000));
        const unsigned kind = rng() % 4;
        for (float& s : v)
            s = kind == 0 ? noise(rng) : kind == 1 ? (rng() % 500 == 0 ? nan : noise(rng)) : kind == 2 ? std::round(noise(rng)) : noise(rng) * 1e-7f;
        inputs.push_back(std::move(v));
    }
    const int rates[] = {44100, 0, -48000, 1, 768000, std::numeric_limits<int32_t>::max()};
    size_t i = 0;
    for (const std::vector<float>& input : inputs)
    {
        const int steps = 1 + static_cast<int>(i % 64);
        const Result r = analyze(input, steps, rates[i++ % std::size(rates)]);
        for (int k = 0; k < steps; ++k)
        {
            EXPECT_TRUE(r.gates[k] == 0 || r.gates[k] == 1);
            EXPECT_TRUE(r.accents[k] == 0 || r.accents[k] == 1);
            EXPECT_TRUE(r.slides[k] == 0 || r.slides[k] == 1);
        }
    }
}
