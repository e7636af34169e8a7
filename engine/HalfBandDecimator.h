#pragma once

#include "engine/StaticTables.h"

// The 2:1 decimator behind the oversampled filter: the 33-tap half-band FIR `fir1_33` over the
// two filter results of each output sample. Apart from the centre its even taps are zero, so
// the odd taps weigh only the second results of the last 16 samples and the centre tap the
// first result of 8 samples ago: the filter delays by 8 output samples. Both histories are
// kept oldest first, so a run of samples appends to a copy and reads it contiguously. Fixed
// size, no allocation.
struct HalfBandDecimator
{
    static constexpr int kOddTaps = 16;
    static constexpr int kCentreTap = 16;
    static constexpr int kCentreDelay = 8;

    double secondResults[kOddTaps] = {}; // of the last 16 samples, oldest first
    double firstResults[kCentreDelay] = {}; // of the last 8 samples, oldest first

    // One output sample from the two filter results of this sample.
    float process(double first, double second)
    {
        double sum = 0.0;
        for (int k = 0; k < kOddTaps; ++k)
            sum += fir1_33[2 * k + 1] * secondResults[kOddTaps - 1 - k];
        const float out = static_cast<float>(sum + fir1_33[kCentreTap] * firstResults[0]);
        for (int k = 0; k + 1 < kOddTaps; ++k)
            secondResults[k] = secondResults[k + 1];
        secondResults[kOddTaps - 1] = second;
        for (int m = 0; m + 1 < kCentreDelay; ++m)
            firstResults[m] = firstResults[m + 1];
        firstResults[kCentreDelay - 1] = first;
        return out;
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
            seconds[k] = secondResults[k];
        for (int m = 0; m < kCentreDelay; ++m)
            firsts[m] = firstResults[m];
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

        for (int k = 0; k < kOddTaps; ++k)
            secondResults[k] = seconds[n + k];
        for (int m = 0; m < kCentreDelay; ++m)
            firstResults[m] = firsts[n + m];
    }

    void reset()
    {
        for (double& v : secondResults)
            v = 0.0;
        for (double& v : firstResults)
            v = 0.0;
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
