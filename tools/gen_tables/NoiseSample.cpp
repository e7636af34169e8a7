#include "NoiseSample.h"

#include "engine/StaticTables.h"

#include <algorithm>
#include <cmath>

namespace gen
{
namespace
{
constexpr std::uint32_t kSeed = 0x0303A5C1u;
constexpr double kHissDeviation = 260.0;  // 16-bit units
constexpr double kDriftLevel = 250.0;     // level of the slowest drift component
constexpr int kDriftComponents = 5;
// The player loops over the first 107100 values; the drift repeats over exactly that span so the
// loop point does not step.
constexpr int kLoopLength = 107100;
constexpr double kHissSmoothing = 0.7;    // one-pole: takes the harshest top off the hiss
constexpr int kClip = 2000;

// xorshift32: small, fixed-seed, identical on every platform.
struct Random
{
    std::uint32_t state = kSeed;

    double uniform()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state >> 8) * (1.0 / 16777216.0);
    }

    // Sum of twelve uniforms: near-Gaussian, unit deviation, never beyond +-6.
    double gaussian()
    {
        double sum = 0.0;
        for (int i = 0; i < 12; ++i)
            sum += uniform();
        return sum - 6.0;
    }
};
} // namespace

std::vector<std::int16_t> noiseSample()
{
    constexpr double kTwoPi = 6.283185307179586;
    Random random;
    double driftPhase[kDriftComponents];
    for (double& phase : driftPhase)
        phase = kTwoPi * random.uniform();

    std::vector<std::int16_t> samples(oxn3::kDcNoiseSize);
    // Unit-variance white noise through the one-pole keeps 1 - k / (2 - k) of its power.
    const double hissGain = kHissDeviation / std::sqrt(kHissSmoothing / (2.0 - kHissSmoothing));
    double hiss = 0.0;
    for (int i = 0; i < oxn3::kDcNoiseSize; ++i)
    {
        hiss += (random.gaussian() - hiss) * kHissSmoothing;
        double drift = 0.0;
        for (int c = 0; c < kDriftComponents; ++c)
        {
            const int cycles = c + 1;
            drift += kDriftLevel / cycles * std::sin(kTwoPi * cycles * i / kLoopLength + driftPhase[c]);
        }
        const long value = std::lround(hiss * hissGain + drift);
        samples[i] = static_cast<std::int16_t>(std::clamp<long>(value, -kClip, kClip));
    }
    return samples;
}
} // namespace gen
