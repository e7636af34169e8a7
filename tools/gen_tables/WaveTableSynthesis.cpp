#include "WaveTableSynthesis.h"

#include <algorithm>
#include <cmath>

namespace gen
{
namespace
{
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
// Soft sets fade harmonics out over the top 30 % of the band (raised cosine) instead of stopping
// dead at the limit, which trades a little brightness for less ringing at the edges.
constexpr double kFadeStart = 0.7;

double topFade(double fractionOfBand)
{
    if (fractionOfBand <= kFadeStart)
        return 1.0;
    const double x = (fractionOfBand - kFadeStart) / (1.0 - kFadeStart);
    return 0.5 * (1.0 + std::cos(kPi * x));
}

// The sets played negated (the soft ones) are stored as falling saws and squares that start
// high, the others the opposite way, so both kinds sound with the same polarity.
double storedPolarity(const WaveTableDesign& design)
{
    return design.softTop ? 1.0 : -1.0;
}

// Amplitude of harmonic k in a table whose harmonics must stay below Nyquist at `band` samples
// per cycle (0 when the harmonic is left out).
double harmonicAmplitude(const WaveTableDesign& design, int k, double band)
{
    const double fractionOfBand = 2.0 * k / band;  // 1.0 = Nyquist at the band period
    if (fractionOfBand >= 1.0 || (design.shape == Shape::Square && k % 2 == 0))
        return 0.0;
    return (design.softTop ? topFade(fractionOfBand) : 1.0) / k;
}

std::vector<double> oneCycle(const WaveTableDesign& design, int table)
{
    const int length = design.length[table];
    const double band = bandPeriod(design, table);
    std::vector<double> sine(length);
    for (int i = 0; i < length; ++i)
        sine[i] = std::sin(kTwoPi * i / length);

    std::vector<double> cycle(length, 0.0);
    for (int k = 1; 2 * k < band; ++k)
    {
        const double amplitude = harmonicAmplitude(design, k, band) * storedPolarity(design);
        if (amplitude == 0.0)
            continue;
        int phase = 0;  // k * i mod length, kept exact in integers
        for (int i = 0; i < length; ++i)
        {
            cycle[i] += amplitude * sine[phase];
            phase = (phase + k) % length;
        }
    }
    return cycle;
}
} // namespace

WaveTableSet synthesize(const WaveTableDesign& design)
{
    const int entries = static_cast<int>(design.length.size());
    WaveTableSet set;
    set.start.assign(entries, 0);
    std::vector<double> samples;
    for (int t = 0; t < entries; ++t)
    {
        if (design.length[t] == 0)
            continue;
        set.start[t] = static_cast<long>(samples.size());
        const std::vector<double> cycle = oneCycle(design, t);
        samples.insert(samples.end(), cycle.begin(), cycle.end());
    }

    // One gain for the whole set: harmonic k has the same level in every table, so the
    // loudness does not jump where the map changes table.
    double peak = 0.0;
    for (double s : samples)
        peak = std::max(peak, std::fabs(s));
    const double gain = peak > 0.0 ? 1.0 / peak : 1.0;
    set.data.reserve(samples.size());
    for (double s : samples)
        set.data.push_back(static_cast<float>(s * gain));
    return set;
}
} // namespace gen
