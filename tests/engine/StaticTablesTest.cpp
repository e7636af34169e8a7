#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <set>
#include <vector>

#include "engine/StaticTables.h"

namespace
{
struct TableSetView
{
    const char* name;
    const std::uint8_t* map;
    const std::int32_t* start;
    const std::int32_t* length;
    const float* data;
    int entries;
    int lastMapValue;     // map[0], the highest table the map selects
    int table0Length;
    int table0Start;      // first period that plays table 0
    int shortestSelectable;
    bool lastEntryEmpty;
    bool oddHarmonicsOnly;
    bool hardBandEdge;    // every allowed harmonic at full 1/k level
};

const TableSetView kSets[] = {
    {"wtSaw", wtsawMap, wtsawIndex, wtsawLength, wtsawData, oxn3::kWtSawTables, 180, 2432, 2220, 48, true, false,
     true},
    {"wtSquare", wtsquareMap, wtsquareIndex, wtsquareLength, wtsquareData, oxn3::kWtSquareTables, 163, 1320, 1209, 173,
     false, true, true},
    {"wtXSaw", wtxsawMap, wtxsawIndex, wtxsawLength, wtxsawData, oxn3::kWtXSawTables, 193, 2522, 2312, 53, false,
     false, false},
    {"wtXSquare", wtxsquMap, wtxsquIndex, wtxsquLength, wtxsquData, oxn3::kWtXSquareTables, 192, 2519, 2310, 52, true,
     true, false},
};

// Shortest whole period the map sends to `table`, or -1 when none does. The map only falls with
// the period, so the first hit is the shortest.
int shortestPeriod(const TableSetView& set, int table)
{
    for (int p = 0; p < oxn3::kWaveTableMapSize; ++p)
        if (set.map[p] == table)
            return p;
    return -1;
}

// Amplitudes of harmonics 0..n/2 of one table (harmonic k of a unit sine reads 1.0).
std::vector<double> harmonicAmplitudes(const float* cycle, int n)
{
    constexpr double kTwoPi = 6.283185307179586;
    std::vector<double> cosine(n), sine(n);
    for (int i = 0; i < n; ++i)
    {
        cosine[i] = std::cos(kTwoPi * i / n);
        sine[i] = std::sin(kTwoPi * i / n);
    }
    std::vector<double> amplitude(n / 2 + 1);
    for (int k = 0; k <= n / 2; ++k)
    {
        double re = 0.0, im = 0.0;
        int phase = 0;
        for (int i = 0; i < n; ++i)
        {
            re += cycle[i] * cosine[phase];
            im += cycle[i] * sine[phase];
            phase = (phase + k) % n;
        }
        amplitude[k] = 2.0 * std::hypot(re, im) / n;
    }
    return amplitude;
}
} // namespace

TEST(WaveTables, SawMapPoints)
{
    EXPECT_EQ(wtsawMap[50], 52);
    EXPECT_EQ(wtsawLength[52], 54);
    EXPECT_EQ(wtsawMap[100], 40);
    EXPECT_EQ(wtsawLength[40], 109);
    EXPECT_EQ(wtsawMap[200], 29);
    EXPECT_EQ(wtsawLength[29], 211);
    EXPECT_EQ(wtsawMap[1000], 7);
    EXPECT_EQ(wtsawLength[7], 1210);
    EXPECT_NE(wtsawMap[2219], 0);
    EXPECT_EQ(wtsawMap[oxn3::kWaveTableMapSize - 1], 0);
}

TEST(WaveTables, MapShape)
{
    EXPECT_EQ(wtxsawMapSize, 22050u);
    EXPECT_EQ(wtxsquMapSize, 22050u);
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        EXPECT_EQ(set.map[0], set.lastMapValue);
        EXPECT_NE(set.map[set.table0Start - 1], 0);
        for (int p = set.table0Start; p < oxn3::kWaveTableMapSize; ++p)
            ASSERT_EQ(set.map[p], 0) << "period " << p;
        for (int p = 1; p < oxn3::kWaveTableMapSize; ++p)
            ASSERT_LE(set.map[p], set.map[p - 1]) << "period " << p;
    }
}

TEST(WaveTables, EveryTableReachableWherePeriodsAllow)
{
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        const std::set<int> used(set.map, set.map + oxn3::kWaveTableMapSize);
        if (set.map == wtsawMap)
        {
            // Tables 53..179 outnumber the whole periods 1..49 left to them: each period gets its own.
            for (int t = 0; t <= 52; ++t)
                EXPECT_EQ(used.count(t), 1u) << "table " << t;
            EXPECT_EQ(used.size(), 53u + 49u + 1u);
        }
        else
        {
            EXPECT_EQ(used.size(), static_cast<std::size_t>(set.lastMapValue + 1));
            EXPECT_EQ(*used.rbegin(), set.lastMapValue);
        }
    }
}

TEST(WaveTables, LengthsAndLayout)
{
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        EXPECT_EQ(set.length[0], set.table0Length);
        int shortest = oxn3::kWaveTableDataSize;
        for (int t = 0; t <= set.lastMapValue; ++t)
            if (shortestPeriod(set, t) >= 0)
                shortest = std::min(shortest, static_cast<int>(set.length[t]));
        EXPECT_EQ(shortest, set.shortestSelectable);

        int next = 0;
        for (int t = 0; t < set.entries; ++t)
        {
            const bool empty = set.lastEntryEmpty && t == set.entries - 1;
            if (empty)
            {
                EXPECT_EQ(set.start[t], 0);
                EXPECT_EQ(set.length[t], 0);
                continue;
            }
            ASSERT_GT(set.length[t], 0) << "table " << t;
            ASSERT_EQ(set.start[t], next) << "table " << t;
            next += set.length[t];
        }
        ASSERT_LE(next, oxn3::kWaveTableDataSize);
        for (int i = next; i < oxn3::kWaveTableDataSize; ++i)
            ASSERT_EQ(set.data[i], 0.0f) << "sample " << i;
    }
}

// No table holds a harmonic at or above Nyquist for the shortest period that plays it; the plain
// sets keep every harmonic below it; square sets hold no even harmonic; and the fundamental has
// one level across a set, so the loudness does not step where the map changes table.
TEST(WaveTables, BandLimitedAndLevelled)
{
    constexpr double kSilence = 1e-5;
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        double peak = 0.0;
        for (int i = 0; i < oxn3::kWaveTableDataSize; ++i)
            peak = std::max(peak, std::fabs(static_cast<double>(set.data[i])));
        EXPECT_NEAR(peak, 1.0, 1e-6);

        const double fundamental = harmonicAmplitudes(set.data + set.start[0], set.length[0])[1];
        EXPECT_GT(fundamental, 0.5);
        for (int t = 0; t <= set.lastMapValue; ++t)
        {
            const int period = shortestPeriod(set, t);
            if (period < 0)
                continue;
            SCOPED_TRACE(t);
            const int n = set.length[t];
            const std::vector<double> a = harmonicAmplitudes(set.data + set.start[t], n);
            EXPECT_LT(a[0], kSilence);  // no offset
            int highestAllowed = 0;
            for (int k = 1; k <= n / 2; ++k)
            {
                const bool allowed = 2 * k < period && !(set.oddHarmonicsOnly && k % 2 == 0);
                if (!allowed)
                    ASSERT_LT(a[k], kSilence) << "harmonic " << k << " of period " << period;
                else
                    highestAllowed = k;
            }
            if (highestAllowed == 0)
                continue;  // period of two samples or less: silence
            EXPECT_NEAR(a[1], fundamental, 1e-4 * fundamental);
            if (set.hardBandEdge)
            {
                EXPECT_NEAR(a[highestAllowed] * highestAllowed, fundamental, 1e-3 * fundamental);
            }
        }
    }
}

TEST(WaveTables, PeriodsUnderThreeSamplesAreSilent)
{
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        const int t = set.map[2];
        const float* cycle = set.data + set.start[t];
        EXPECT_TRUE(std::all_of(cycle, cycle + set.length[t], [](float s) { return s == 0.0f; }));
    }
}

TEST(SepTab, MeasuredPointsAndFlatTail)
{
    const std::pair<int, float> points[] = {{0, 0.518644f},   {32, 0.979195f},  {64, 1.212544f},  {96, 1.437637f},
                                            {128, 1.688305f}, {160, 1.985674f}, {192, 2.340307f}, {224, 2.763305f},
                                            {256, 3.258755f}, {288, 3.655453f}, {320, 3.145239f}, {384, 2.380401f},
                                            {402, 2.282955f}};
    for (const auto& [index, value] : points)
        EXPECT_EQ(septab[index], value) << "index " << index;
    for (int i = 402; i < oxn3::kSepTabSize; ++i)
        ASSERT_EQ(septab[i], 2.282955f) << "index " << i;

    // Between two points the curve runs one way only and stays inside their values.
    for (std::size_t p = 0; p + 1 < std::size(points); ++p)
    {
        const auto [i0, v0] = points[p];
        const auto [i1, v1] = points[p + 1];
        const double direction = v1 > v0 ? 1.0 : -1.0;
        for (int i = i0; i < i1; ++i)
            ASSERT_GE((septab[i + 1] - septab[i]) * direction, 0.0) << "index " << i;
    }
}

TEST(SepTab, SmoothSlope)
{
    // No kinks: the slope (up to about 0.016 per entry) changes little from one entry to the next,
    // also at the peak near 288, where straight segments would turn by 0.028.
    for (int i = 1; i + 1 < oxn3::kSepTabSize; ++i)
        ASSERT_LT(std::fabs(septab[i + 1] - 2.0f * septab[i] + septab[i - 1]), 0.004f) << "index " << i;
}

TEST(Fir1_33, HalfBandLowPass)
{
    EXPECT_DOUBLE_EQ(fir1_33[16], 0.500705786852609);
    EXPECT_DOUBLE_EQ(fir1_33[15], 0.315941764435879);
    EXPECT_DOUBLE_EQ(fir1_33[13], -0.098015907472862);
    EXPECT_DOUBLE_EQ(fir1_33[11], 0.050718561562229);
    double sum = 0.0;
    for (int j = 0; j < oxn3::kFirTaps; ++j)
    {
        EXPECT_EQ(fir1_33[j], fir1_33[oxn3::kFirTaps - 1 - j]) << "tap " << j;
        if (j % 2 == 0 && j != 16)
        {
            EXPECT_EQ(fir1_33[j], 0.0) << "tap " << j;
        }
        sum += fir1_33[j];
    }
    EXPECT_NEAR(sum, 1.0, 1e-6);  // DC passes at unity
}

TEST(DcNoise, QuietNoiseWithSlowDrift)
{
    static_assert(std::size(tb_dc_noise) == 107112);
    constexpr int kWindow = 4410;  // 100 ms
    double power = 0.0, differencePower = 0.0;
    int peak = 0;
    for (int i = 0; i < oxn3::kDcNoiseSize; ++i)
    {
        power += double(tb_dc_noise[i]) * tb_dc_noise[i];
        peak = std::max(peak, std::abs(int(tb_dc_noise[i])));
        if (i > 0)
        {
            const double d = double(tb_dc_noise[i]) - tb_dc_noise[i - 1];
            differencePower += d * d;
        }
    }
    const double rms = std::sqrt(power / oxn3::kDcNoiseSize);
    EXPECT_GT(rms, 100.0);
    EXPECT_LT(rms, 1000.0);
    EXPECT_GT(peak, 500);
    EXPECT_LE(peak, 2500);
    EXPECT_GT(std::sqrt(differencePower / oxn3::kDcNoiseSize), 100.0);  // hiss, not only the drift

    std::vector<double> windowMeans;
    for (int w = 0; w + kWindow <= oxn3::kDcNoiseSize; w += kWindow)
    {
        double sum = 0.0;
        for (int i = w; i < w + kWindow; ++i)
            sum += tb_dc_noise[i];
        windowMeans.push_back(sum / kWindow);
    }
    const auto [lowest, highest] = std::minmax_element(windowMeans.begin(), windowMeans.end());
    EXPECT_GT(*highest - *lowest, 150.0);  // the offset wanders
}
