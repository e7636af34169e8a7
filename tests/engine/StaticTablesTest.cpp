#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <set>
#include <vector>

#include "engine/StaticTables.h"
#include "engine/WaveTable.h"

namespace
{
constexpr int kMapSize = oxn3::kWaveTableMapSize;

static_assert(std::size(wtsawLength) == 184 && std::size(wtsquareLength) == 164 &&
              std::size(wtxsawLength) == 196 && std::size(wtxsquLength) == 196 && std::size(septab) == 512 &&
              std::size(fir1_33) == 33 && std::size(tb_dc_noise) == 107112);

struct TableSetView
{
    const char* name;
    const std::uint8_t* map;
    const std::int32_t *start, *length;
    const float* data;
    int mapZero, table0Length, shortestSelectable;
    bool oddHarmonicsOnly;
};

const TableSetView kSets[] = {
    {"wtSaw", wtsawMap, wtsawIndex, wtsawLength, wtsawData, 180, 2432, 48, false},
    {"wtSquare", wtsquareMap, wtsquareIndex, wtsquareLength, wtsquareData, 163, 1320, 173, true},
    {"wtXSaw", wtxsawMap, wtxsawIndex, wtxsawLength, wtxsawData, 193, 2522, 53, false},
    {"wtXSquare", wtxsquMap, wtxsquIndex, wtxsquLength, wtxsquData, 192, 2519, 52, true},
};
} // namespace

TEST(WaveTables, MapPointsAndLengths)
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
        EXPECT_EQ(set.length[0], set.table0Length);
        const std::set<int> used(set.map, set.map + kMapSize);
        int shortest = oxn3::kWaveTableDataSize;
        for (int t : used)
            shortest = std::min(shortest, static_cast<int>(set.length[t]));
        EXPECT_EQ(shortest, set.shortestSelectable);
    }
}

// At the shortest period that plays it, no table holds a harmonic at or above Nyquist, and square
// sets hold no even harmonic.
TEST(WaveTables, BandLimited)
{
    for (const TableSetView& set : kSets)
    {
        SCOPED_TRACE(set.name);
        for (int period = 0; period < kMapSize; ++period)
        {
            const int t = set.map[period];
            if (period > 0 && t == set.map[period - 1]) continue;
            const int n = set.length[t];
            const float* cycle = set.data + set.start[t];
            std::vector<std::complex<double>> turn(n);
            for (int i = 0; i < n; ++i)
                turn[i] = std::polar(1.0, 6.283185307179586 * i / n);
            for (int k = 1; k <= n / 2; ++k)
            {
                if (2 * k < period && !(set.oddHarmonicsOnly && k % 2 == 0)) continue;
                std::complex<double> sum = 0.0;
                for (int i = 0; i < n; ++i)
                    sum += static_cast<double>(cycle[i]) * turn[(i * k) % n];
                ASSERT_LT(2.0 * std::abs(sum) / n, 1e-5) << "harmonic " << k << " of period " << period;
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
    // No kinks, also at the peak near 288, where straight segments would turn by 0.028.
    for (int i = 1; i + 1 < oxn3::kSepTabSize; ++i)
        ASSERT_LT(std::fabs(septab[i + 1] - 2.0f * septab[i] + septab[i - 1]), 0.004f) << "index " << i;
}

TEST(Fir1_33, HalfBandLowPass)
{
    const std::pair<int, double> taps[] = {
        {16, 0.500705786852609}, {15, 0.315941764435879}, {13, -0.098015907472862}, {11, 0.050718561562229}};
    for (const auto& [tap, value] : taps)
        EXPECT_DOUBLE_EQ(fir1_33[tap], value) << "tap " << tap;
    for (int j = 0; j < oxn3::kFirTaps; ++j)
    {
        EXPECT_EQ(fir1_33[j], fir1_33[oxn3::kFirTaps - 1 - j]) << "tap " << j;
        EXPECT_TRUE(j % 2 == 1 || j == 16 || fir1_33[j] == 0.0) << "tap " << j;
    }
}

TEST(DcNoise, QuietNoiseWithSlowDrift)
{
    constexpr int kSize = oxn3::kDcNoiseSize;
    constexpr int kWindow = 4410; // 100 ms
    const std::vector<double> noise(tb_dc_noise, tb_dc_noise + kSize);
    std::vector<double> windowMeans;
    for (int w = 0; w + kWindow <= kSize; w += kWindow)
        windowMeans.push_back(std::accumulate(&noise[w], &noise[w] + kWindow, 0.0) / kWindow);
    const double rms = std::sqrt(std::inner_product(noise.begin(), noise.end(), noise.begin(), 0.0) / kSize);
    const auto [lowestMean, highestMean] = std::minmax_element(windowMeans.begin(), windowMeans.end());
    EXPECT_TRUE(rms > 100.0 && rms < 1000.0) << rms;
    EXPECT_GT(*highestMean - *lowestMean, 150.0); // the offset wanders
}

// The reader keeps a table between samples; every read must equal a fresh lookup bit for bit:
// periods gliding across table boundaries both ways, off both ends of the map, NaN and
// infinities, with the set switching now and then.
TEST(WaveTables, ReaderMatchesLookup)
{
    WaveTable saw, square;
    saw.bind(wtxsawMap, wtxsawIndex, wtxsawLength, wtxsawData, wtxsawMapSize);
    square.bind(wtxsquMap, wtxsquIndex, wtxsquLength, wtxsquData, wtxsquMapSize);
    std::vector<float> periods = {-5.0f, -0.0f, 0.0f, 0.5f, 1.0f, 22049.0f, 22049.9f, 22050.0f, 1e9f,
                                  std::nanf(""), INFINITY, -INFINITY, 47.0f, 52.99f, 53.0f};
    for (float p = 20.0f; p < 1500.0f; p *= 1.003f)
        periods.push_back(p);
    for (float p = 1500.0f; p > 20.0f; p *= 0.9971f)
        periods.push_back(p);
    WaveTableReader reader;
    int n = 0;
    for (const float period : periods)
        for (const float phase : {0.0f, 0.37f, 0.99999994f, 1.0f})
        {
            const WaveTable& table = (n++ / 301) % 2 ? square : saw;
            const float kept = reader.read(table, phase, period);
            const float fresh = table.lookup(phase, period);
            ASSERT_EQ(std::memcmp(&kept, &fresh, sizeof(float)), 0) << "period " << period << ", phase " << phase;
        }
}
