// Audio-to-pattern transcription: each step's energy decides gate and slide, its loudest sample
// the accent, and the spacing of its upward zero crossings (or of the ends of its steep falls,
// when those repeat more evenly) the pitch.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <vector>

#include "ui/detect/WaveBuffer.h"

namespace
{
constexpr int kIgnoredEndSamples = 1000;  // the last samples of a step count in neither window
constexpr double kTailFraction = 0.75;    // the tail window starts three quarters into the step
constexpr float kSoundingMeanSquare = 0.001f;
constexpr float kAccentLevel = 0.5f;
constexpr double kArmFraction = -0.1;     // a crossing counts only after a dip below this x peak
constexpr float kStablePeriodDelta = 10.0f;
constexpr int kSlopeLagDivisor = 16;      // the slope spans this fraction of the zero-crossing period
constexpr int kCycleCountSlack = 4;       // falls and zero crossings may count this fraction apart
constexpr double kLnMidiNoteZeroHz = 2.101178494242947; // ln 8.1758 Hz
constexpr double kLn2 = 0.6931471824645996;
constexpr int kRestNote = 1;
// A sounding step whose pitch cannot be measured keeps the note heard before it; before any,
// the pattern's base C.
constexpr int kUnmeasuredFirstNote = 36;

float meanSquare(const float* data, int64_t from, int64_t len)
{
    if (len <= 0)
        return 0.0f; // a window that does not exist is silent
    float sum = 0.0f;
    for (int64_t i = from; i < from + len; ++i)
        sum += data[i] * data[i];
    return sum / static_cast<float>(len);
}

// Upward zero crossings that follow a dip below kArmFraction x peak; returns their count.
int findCrossings(const float* data, int64_t start, int64_t end, float peak, int* crossings, int& accent)
{
    const float threshold = static_cast<float>(kArmFraction * peak);
    float prev = 0.0f;
    bool armed = false;
    int count = 0;
    for (int64_t i = start; i < end; ++i)
    {
        const float x = data[i];
        if (std::fabs(x) > kAccentLevel)
            accent = 1;
        if (x < threshold)
            armed = true;
        if (prev < 0.0f && x >= 0.0f && armed)
        {
            crossings[count++] = static_cast<int>(i);
            armed = false;
        }
        prev = x;
    }
    return count;
}

// x[i] - x[i - lag]: a high-pass that leaves a cycle's sharp fall and drops its slow swing.
float slopeAt(const float* data, int64_t i, int64_t lag)
{
    return data[i] - data[std::max<int64_t>(i - lag, 0)];
}

// Where each steep fall that takes the signal below kArmFraction x peak ends: the slope turns
// upward again. A saw's reset keeps its place in the cycle while an accent's decay reshapes the
// rest of the cycle and moves its zero crossings. Returns the count.
int findSteepFalls(const float* data, int64_t start, int64_t end, float peak, int64_t lag, int* falls)
{
    float steepest = 0.0f;
    for (int64_t i = start; i < end; ++i)
        steepest = std::max(steepest, std::fabs(slopeAt(data, i, lag)));
    const float threshold = static_cast<float>(kArmFraction * peak);
    const float slopeThreshold = static_cast<float>(kArmFraction * steepest);
    float prev = 0.0f;
    bool falling = false;
    bool armed = false;
    int count = 0;
    for (int64_t i = start; i < end; ++i)
    {
        const float d = slopeAt(data, i, lag);
        if (d < slopeThreshold)
            falling = true;
        if (falling && data[i] < threshold)
            armed = true;
        if (prev < 0.0f && d >= 0.0f && armed)
        {
            falls[count++] = static_cast<int>(i);
            falling = armed = false;
        }
        prev = d;
    }
    return count;
}

// The spacings of `count` marks into `periods`; returns how many.
int periodsBetween(const int* marks, int count, float* periods)
{
    for (int j = 0; j + 1 < count; ++j)
        periods[j] = static_cast<float>(marks[j + 1] - marks[j]);
    return std::max(count - 1, 0);
}

// The typical change from one period to the next (the lower median, so that a stray period
// at a note's start weighs nothing); infinite with fewer than two periods. `scratch` holds
// count - 1 floats.
float jitter(const float* periods, int count, float* scratch)
{
    if (count < 2)
        return std::numeric_limits<float>::infinity();
    for (int j = 1; j < count; ++j)
        scratch[j - 1] = std::fabs(periods[j] - periods[j - 1]);
    float* middle = scratch + (count - 2) / 2;
    std::nth_element(scratch, middle, scratch + count - 1);
    return *middle;
}

// The step's period in samples, or 0 when none can be had. After a slide into the step the
// pitch glides through it: take the period at the end of the glide. Otherwise average the
// periods that agree with the one before them.
float estimatePeriod(const WaveBuffer& periods, int count, bool glide)
{
    const float* p = periods.data;
    if (glide)
    {
        if (count < 1)
            return 0.0f;
        return p[0] > p[count - 1] ? periods.find_min(0, count) : periods.find_max(0, count);
    }
    float sum = 0.0f;
    int used = 0;
    float before = 0.0f;
    for (int j = 0; j < count; ++j)
    {
        if (std::fabs(p[j] - before) < kStablePeriodDelta)
        {
            sum += p[j];
            ++used;
        }
        before = p[j];
    }
    return used > 0 ? sum / static_cast<float>(used) : 0.0f;
}

// MIDI note number of a period: the nearest note. The instrument's own notes come out a cent
// or two flat of their tempered pitch, so cutting off the fraction would name the semitone below.
// `fallback` when the period gives no finite note.
int noteOfPeriod(float rate, float period, int fallback)
{
    if (!(period > 0.0f))
        return fallback;
    const float f = rate / period;
    if (!(f > 0.0f) || !std::isfinite(f))
        return fallback;
    const float note = static_cast<float>((std::log(static_cast<double>(f)) - kLnMidiNoteZeroHz) * 12.0 / kLn2);
    if (!(note > static_cast<float>(INT_MIN) && note < static_cast<float>(INT_MAX)))
        return fallback;
    return static_cast<int>(std::floor(note + 0.5f));
}
} // namespace

void WaveBuffer::audioAnalyze(int* notes, int* gates, int* accents, int* slides, int steps) const
{
    if (steps <= 0)
        return;
    const float rate = static_cast<float>(sampleRate);
    const int64_t n = data != nullptr ? std::max<int32_t>(size, 0) : 0;
    const int64_t stepLen = static_cast<int64_t>(std::ceil(static_cast<float>(n) / static_cast<float>(steps)));

    // Consecutive crossings lie at least two samples apart.
    const size_t listSize = static_cast<size_t>(std::min(stepLen, n)) / 2 + 2;
    std::vector<int> crossings(listSize);
    std::vector<int> falls(listSize);
    std::vector<float> crossingPeriodData(listSize);
    std::vector<float> fallPeriodData(listSize);
    std::vector<float> changes(listSize);
    WaveBuffer crossingPeriods, fallPeriods;
    crossingPeriods.data = crossingPeriodData.data();
    fallPeriods.data = fallPeriodData.data();
    crossingPeriods.size = fallPeriods.size = static_cast<int32_t>(listSize);

    bool prevSlide = false;
    int lastNote = kUnmeasuredFirstNote;
    for (int k = 0; k < steps; ++k)
    {
        const int64_t start = std::min(k * stepLen, n);
        const int64_t end = std::min(start + stepLen, n);
        const float peak = maxabs(static_cast<int>(start), static_cast<int>(end - start));

        const int64_t tailStart = static_cast<int64_t>(std::floor(static_cast<double>(start) + kTailFraction * static_cast<double>(stepLen)));
        const float tailMS = meanSquare(data, tailStart, end - tailStart - kIgnoredEndSamples);
        const float bodyMS = meanSquare(data, start, end - start - kIgnoredEndSamples);
        const bool slideOut = tailMS > kSoundingMeanSquare;

        int accent = 0;
        const int c = findCrossings(data, start, end, peak, crossings.data(), accent);
        const WaveBuffer* periods = &crossingPeriods;
        int periodCount = periodsBetween(crossings.data(), c, crossingPeriods.data);
        if (periodCount > 0 && bodyMS > kSoundingMeanSquare)
        {
            // Each cycle is also marked where its steep fall ends; the marks that repeat more
            // evenly give the period (the falls for a saw whose shape changes, the zero crossings
            // for a smooth tone with noise).
            const int64_t lag = std::max<int64_t>(1, (crossings[c - 1] - crossings[0]) / periodCount / kSlopeLagDivisor);
            const int fallCount = periodsBetween(falls.data(), findSteepFalls(data, start, end, peak, lag, falls.data()), fallPeriods.data);
            const bool sameCycles = std::abs(fallCount - periodCount) <= periodCount / kCycleCountSlack + 1;
            if (sameCycles && jitter(fallPeriods.data, fallCount, changes.data()) < jitter(crossingPeriods.data, periodCount, changes.data()))
            {
                periods = &fallPeriods;
                periodCount = fallCount;
            }
        }

        if (bodyMS > kSoundingMeanSquare)
        {
            const float period = estimatePeriod(*periods, periodCount, prevSlide);
            lastNote = noteOfPeriod(rate, period, lastNote);
            notes[k] = lastNote;
            gates[k] = 1;
            accents[k] = accent;
            slides[k] = slideOut ? 1 : 0;
        }
        else
        {
            notes[k] = kRestNote;
            gates[k] = 0;
            accents[k] = 0;
            slides[k] = 0;
        }
        prevSlide = slideOut;
    }
}
