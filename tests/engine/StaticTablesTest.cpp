#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <set>
#include <vector>

#include "engine/StaticTables.h"

namespace
{
constexpr int kMapSize = oxn3::kWaveTableMapSize;
constexpr int kDataSize = oxn3::kWaveTableDataSize;

static_assert(std::size(wtsawLength) == 184 && std::size(wtsquareLength) == 164 &&
              std::size(wtxsawLength) == 196 && std::size(wtxsquLength) == 196 && std::size(septab) == 512 &&
              std::size(fir1_33) == 33 && std::size(tb_dc_noise) == 107112);

struct TableSetView
{
    const char* name;
    const std::uint8_t* map;
    const std::int32_t *start, *length;
    const float* data;
    int entries, mapZero, table0Length, table0Start, shortestSelectable;
    bool lastEntryEmpty, oddHarmonicsOnly, hardBandEdge; // hard edge: every allowed harmonic at full 1/k
};

// clang-format off
const TableSetView kSets[] = {
    {"wtSaw", wtsawMap, wtsawIndex, wtsawLength, wtsawData, 184, 180, 2432, 2220, 48, true, false, true},
    {"wtSquare", wtsquareMap, wtsquareIndex, wtsquareLength, wtsquareData, 164, 163, 1320, 1209, 173,
     false, true, true},
    {"wtXSaw", wtxsawMap, wtxsawIndex, wtxsawLength, wtxsawData, 196, 193, 2522, 2312, 53,
     false, false, false},
    {"wtXSquare", wtxsquMap, wtxsquIndex, wtxsquLength, wtxsquData, 196, 192, 2519, 2310, 52,
     true, true, false},
};
// clang-format on

// Amplitudes of harmonics 0..n/2 of one cycle (harmonic k of a unit sine reads 1.0).
std::vector<double> harmonicAmplitudes(const float* cycle, int n)
{
    std::vector<std::complex<double>> turn(n);
    for (int i = 0; i < n; ++i)
        turn[i] = std::polar(1.0, 6.283185307179586 * i / n);
    std::vector<double> amplitude(n / 2 + 1);
    for (int k = 0; k <= n / 2; ++k)
    {
        std::complex<double> sum = 0.0;
        for (int i = 0, phase = 0; i < n; ++i, phase = (phase + k) % n)
            sum += static_cast<double>(cycle[i]) * turn[phase];
        amplitude[k] = 2.0 * std::abs(sum) / n;
    }
    return amplitude;
}
} // namespace

TEST(WaveTables, MapPointsShapeLengthsAndLayout)
{
    const int sawPoints[][3] = {
        {50, 52, 54}, {100, 40, 109}, {200, 29, 211}, {1000, 7, 1210}}; // period, table, length
    for (const auto& [period, table, length] : sawPoints)
        EXPECT_TRUE(wtsawMap[period] == table && wtsawLength[table] == length) << "period " << period;
    EXPECT_TRUE(wtxsawMapSize == 22050u && wtxsquMapSize == 22050u);
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        EXPECT_EQ(set.map[0], set.mapZero);
        EXPECT_NE(set.map[set.table0Start - 1], 0);
        EXPECT_EQ(set.map[set.table0Start], 0);
        for (int p = 1; p < kMapSize; ++p)
            ASSERT_LE(set.map[p], set.map[p - 1]) << "period " << p;

        // Every table is selectable, except that saw's tables 53..179 outnumber the whole periods
        // 1..49 left to them, so each of those periods gets its own.
        const std::set<int> used(set.map, set.map + kMapSize);
        EXPECT_EQ(used.size(), set.map == wtsawMap ? 53u + 49u + 1u : static_cast<size_t>(set.mapZero + 1));
        EXPECT_EQ(*used.rbegin(), set.mapZero);
        for (int t = 0; t <= 52; ++t)
            EXPECT_EQ(used.count(t), 1u) << "table " << t;

        EXPECT_EQ(set.length[0], set.table0Length);
        int shortest = kDataSize;
        for (int t : used)
            shortest = std::min(shortest, static_cast<int>(set.length[t]));
        EXPECT_EQ(shortest, set.shortestSelectable);

        // Back to back in table order; an empty last entry has start 0 and length 0.
        int next = 0;
        for (int t = 0; t < set.entries; ++t)
        {
            const bool empty = set.lastEntryEmpty && t == set.entries - 1;
            ASSERT_EQ(set.start[t], empty ? 0 : next) << "table " << t;
            ASSERT_EQ(set.length[t] == 0, empty) << "table " << t;
            next += set.length[t];
        }
        ASSERT_LE(next, kDataSize);
        EXPECT_TRUE(std::all_of(set.data + next, set.data + kDataSize, [](float s) { return s == 0.0f; }));
    }
}

// No table holds a harmonic at or above Nyquist for the shortest period that plays it (periods
// of two samples or less: silence); the plain sets keep every harmonic below it; square sets hold
// no even harmonic; the fundamental has one level across a set, so loudness does not step where
// the map changes table.
TEST(WaveTables, BandLimitedAndLevelled)
{
    constexpr double kSilence = 1e-5;
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        const auto [lowest, highest] = std::minmax_element(set.data, set.data + kDataSize);
        EXPECT_NEAR(std::max(-*lowest, *highest), 1.0, 1e-6);
        const double fundamental = harmonicAmplitudes(set.data + set.start[0], set.length[0])[1];
        EXPECT_GT(fundamental, 0.5);
        for (int period = 0; period < kMapSize; ++period)
        {
            const int t = set.map[period];
            if (period > 0 && t == set.map[period - 1]) continue; // only the shortest period of each table
            SCOPED_TRACE(t);
            const std::vector<double> a = harmonicAmplitudes(set.data + set.start[t], set.length[t]);
            EXPECT_LT(a[0], kSilence); // no offset
            int highestAllowed = 0;
            for (int k = 1; k < static_cast<int>(a.size()); ++k)
            {
                if (2 * k < period && !(set.oddHarmonicsOnly && k % 2 == 0))
                    highestAllowed = k;
                else
                    ASSERT_LT(a[k], kSilence) << "harmonic " << k << " of period " << period;
            }
            if (highestAllowed == 0) continue;
            EXPECT_NEAR(a[1], fundamental, 1e-4 * fundamental);
            if (set.hardBandEdge)
            {
                EXPECT_NEAR(a[highestAllowed] * highestAllowed, fundamental, 1e-3 * fundamental);
            }
        }
    }
}

TEST(SepTab, PointsFlatTailAndSmoothCurve)
{
    // clang-format off
    const std::pair<int, float> points[] = {
        {0, 0.518644f}, {32, 0.979195f}, {64, 1.212544f}, {96, 1.437637f}, {128, 1.688305f}, {160, 1.985674f},
        {192, 2.340307f}, {224, 2.763305f}, {256, 3.258755f}, {288, 3.655453f}, {320, 3.145239f},
        {384, 2.380401f}, {402, 2.282955f}};
    // clang-format on
    for (const auto& [index, value] : points)
        EXPECT_EQ(septab[index], value) << "index " << index;
    for (int i = 402; i < oxn3::kSepTabSize; ++i)
        ASSERT_EQ(septab[i], 2.282955f) << "index " << i;
    // Between two points the curve runs one way only.
    for (size_t p = 0; p + 1 < std::size(points); ++p)
    {
        const double direction = points[p + 1].second > points[p].second ? 1.0 : -1.0;
        for (int i = points[p].first; i < points[p + 1].first; ++i)
            ASSERT_GE((septab[i + 1] - septab[i]) * direction, 0.0) << "index " << i;
    }
    // No kinks: the slope (up to about 0.016 per entry) changes little from one entry to the next,
    // also at the peak near 288, where straight segments would turn by 0.028.
    for (int i = 1; i + 1 < oxn3::kSepTabSize; ++i)
        ASSERT_LT(std::fabs(septab[i + 1] - 2.0f * septab[i] + septab[i - 1]), 0.004f) << "index " << i;
}

TEST(Fir1_33, HalfBandLowPass)
{
    const std::pair<int, double> taps[] = {
        {16, 0.500705786852609}, {15, 0.315941764435879}, {13, -0.098015907472862}, {11, 0.050718561562229}};
    for (const auto& [tap, value] : taps)
        EXPECT_DOUBLE_EQ(fir1_33[tap], value) << "tap " << tap;
    double sum = 0.0;
    for (int j = 0; j < oxn3::kFirTaps; ++j)
    {
        EXPECT_EQ(fir1_33[j], fir1_33[oxn3::kFirTaps - 1 - j]) << "tap " << j;
        EXPECT_TRUE(j % 2 == 1 || j == 16 || fir1_33[j] == 0.0) << "tap " << j;
        sum += fir1_33[j];
    }
    EXPECT_NEAR(sum, 1.0, 1e-6); // DC passes at unity
}

TEST(DcNoise, QuietNoiseWithSlowDrift)
{
    constexpr int kSize = oxn3::kDcNoiseSize;
    constexpr int kWindow = 4410; // 100 ms
    const std::vector<double> noise(tb_dc_noise, tb_dc_noise + kSize);
    std::vector<double> step(kSize), windowMeans;
    std::adjacent_difference(noise.begin(), noise.end(), step.begin());
    step[0] = 0.0;
    for (int w = 0; w + kWindow <= kSize; w += kWindow)
        windowMeans.push_back(std::accumulate(&noise[w], &noise[w] + kWindow, 0.0) / kWindow);
    const double rms = std::sqrt(std::inner_product(noise.begin(), noise.end(), noise.begin(), 0.0) / kSize);
    const auto [lowest, highest] = std::minmax_element(noise.begin(), noise.end());
    const auto [lowestMean, highestMean] = std::minmax_element(windowMeans.begin(), windowMeans.end());
    EXPECT_TRUE(rms > 100.0 && rms < 1000.0) << rms;
    EXPECT_TRUE(std::max(-*lowest, *highest) > 500 && std::max(-*lowest, *highest) <= 2500);
    EXPECT_GT(std::sqrt(std::inner_product(step.begin(), step.end(), step.begin(), 0.0) / kSize),
              100.0);                             // hiss
    EXPECT_GT(*highestMean - *lowestMean, 150.0); // the offset wanders
}
