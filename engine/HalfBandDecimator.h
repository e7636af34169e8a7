#pragma once

#include "engine/StaticTables.h"

// The 2:1 decimator behind the oversampled filter: the 33-tap half-band FIR `fir1_33` over the
// two filter results of each output sample. Apart from the centre its even taps are zero, so
// the odd taps weigh only the second results of the last 16 samples and the centre tap the
// first result of 8 samples ago: the filter delays by 8 output samples. The second results sit
// in a ring stored twice, so the 16 taps read contiguous memory. Fixed size, no allocation.
struct HalfBandDecimator
{
    static constexpr int kOddTaps = 16;
    static constexpr int kCentreTap = 16;
    static constexpr int kCentreDelay = 8;

    double secondResults[2 * kOddTaps] = {}; // newest first from `position`, each written twice
    double firstResults[kCentreDelay] = {};  // slot position % 8 holds the one of 8 samples ago
    int position = 0;                        // counts down through 0..15

    // One output sample from the two filter results of this sample.
    float process(double first, double second)
    {
        const int slot = position & (kCentreDelay - 1);
        const double centre = firstResults[slot];
        firstResults[slot] = first;

        const double* line = secondResults + position;
        double sum = 0.0;
        for (int k = 0; k < kOddTaps; ++k)
            sum += fir1_33[2 * k + 1] * line[k];
        const double out = sum + fir1_33[kCentreTap] * centre;

        position = (position + kOddTaps - 1) & (kOddTaps - 1);
        secondResults[position] = second;
        secondResults[position + kOddTaps] = second;
        return static_cast<float>(out);
    }

    // The same as `n` calls of process, bit for bit: each output sums its taps in the same
    // order, but the sums of neighbouring samples are independent, so the compiler runs them
    // side by side in vector lanes instead of one long chain of additions per sample. At most
    // kMaxRun samples.
    static constexpr int kMaxRun = 16;

    void processRun(const float* first, const float* second, float* out, int n)
    {
        // The second results of the last 16 samples and of this run, oldest first; the first
        // results of the last 8 samples and of this run.
        double seconds[kOddTaps + kMaxRun];
        double firsts[kCentreDelay + kMaxRun];
        for (int k = 0; k < kOddTaps; ++k)
            seconds[kOddTaps - 1 - k] = secondResults[position + k];
        for (int m = 0; m < kCentreDelay; ++m)
            firsts[m] = firstResults[(position - m) & (kCentreDelay - 1)];
        for (int j = 0; j < n; ++j)
        {
            seconds[kOddTaps + j] = second[j];
            firsts[kCentreDelay + j] = first[j];
        }

        double sums[kMaxRun];
        for (int j = 0; j < n; ++j)
            sums[j] = 0.0;
        for (int k = 0; k < kOddTaps; ++k)
            for (int j = 0; j < n; ++j)
                sums[j] += fir1_33[2 * k + 1] * seconds[kOddTaps - 1 - k + j];
        for (int j = 0; j < n; ++j)
            out[j] = static_cast<float>(sums[j] + fir1_33[kCentreTap] * firsts[j]);

        position = (position - n) & (kOddTaps - 1);
        for (int k = 0; k < kOddTaps; ++k)
        {
            const int i = (position + k) & (kOddTaps - 1);
            secondResults[i] = secondResults[i + kOddTaps] = seconds[kOddTaps - 1 + n - k];
        }
        for (int m = 0; m < kCentreDelay; ++m)
            firstResults[(position - m) & (kCentreDelay - 1)] = firsts[n + m];
    }

    void reset()
    {
        for (double& v : secondResults)
            v = 0.0;
        for (double& v : firstResults)
            v = 0.0;
        position = 0;
    }
};

// The same filter as a plain 33-sample shift register, newest sample at index 0: what the ring
// above must reproduce bit for bit. The per-sample reference render uses it.
inline float decimateShiftRegister(double* line, double first, double second)
{
    for (int j = oxn3::kFirTaps - 1; j > 0; --j)
        line[j] = line[j - 1];
    line[0] = first;

    double sum = 0.0;
    for (int j = 1; j < oxn3::kFirTaps; j += 2)
        sum += fir1_33[j] * line[j];
    const double out = sum + fir1_33[HalfBandDecimator::kCentreTap] * line[HalfBandDecimator::kCentreTap];

    for (int j = oxn3::kFirTaps - 1; j > 0; --j)
        line[j] = line[j - 1];
    line[0] = second;
    return static_cast<float>(out);
}
