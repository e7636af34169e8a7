#include <gtest/gtest.h>

#include <vector>

#include "ui/detect/WaveBuffer.h"

namespace
{
WaveBuffer over(std::vector<float>& samples)
{
    WaveBuffer w;
    w.data = samples.data();
    w.size = static_cast<int32_t>(samples.size());
    return w;
}
} // namespace

TEST(WaveBuffer, RangesReadZeroOutsideAndEmptyRangesGiveTheirStartValues)
{
    std::vector<float> s = {0.5f, -2.0f, 1.0f};
    const WaveBuffer w = over(s);
    struct Case
    {
        int start, len;
        float min, max, abs;
    } cases[] = {
        {-1, -1, -2.0f, 1.0f, 2.0f}, // the whole buffer
        {1, 1, -2.0f, -2.0f, 2.0f},
        {2, 3, 0.0f, 1.0f, 1.0f},    // reaches past the end
        {-2, 3, 0.0f, 0.5f, 0.5f},   // starts before the beginning
        {0, 0, 1e8f, -1e8f, -1e8f},  // empty
        {1, -5, 1e8f, -1e8f, -1e8f},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(w.find_min(c.start, c.len), c.min) << c.start << "," << c.len;
        EXPECT_EQ(w.find_max(c.start, c.len), c.max) << c.start << "," << c.len;
        EXPECT_EQ(w.maxabs(c.start, c.len), c.abs) << c.start << "," << c.len;
    }
    WaveBuffer none;
    none.size = 3;
    EXPECT_EQ(none.find_min(0, 3), 0.0f);
}

TEST(WaveBuffer, NormalizeScalesTheLoudestSampleToOneAndLeavesSilenceAlone)
{
    std::vector<float> loud = {0.5f, -0.25f};
    WaveBuffer w = over(loud);
    w.normalize();
    EXPECT_EQ(loud, (std::vector<float>{1.0f, -0.5f}));

    std::vector<float> quiet = {1e-7f, 0.0f};
    WaveBuffer q = over(quiet);
    q.normalize();
    EXPECT_EQ(quiet[0], 1e-7f);
}

TEST(WaveBuffer, AllocateOwnsAndReleaseFrees)
{
    WaveBuffer w;
    w.allocate(4);
    ASSERT_NE(w.data, nullptr);
    EXPECT_TRUE(w.ownsData);
    EXPECT_EQ(w.size, 0);
    w.release();
    EXPECT_EQ(w.data, nullptr);
    EXPECT_FALSE(w.ownsData);
}
