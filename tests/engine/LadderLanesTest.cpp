#include <cmath>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/LadderLanes.h"
#include "engine/VoiceTestHelpers.h"

namespace
{
std::uint64_t bitsOf(double x)
{
    std::uint64_t b = 0;
    std::memcpy(&b, &x, sizeof(b));
    return b;
}

// Random ladder states and inputs over the range the filter sees, and some beyond it.
struct LadderCase
{
    double poles[2][4], offsetSign, q;
    float feedback[2], in, c, r;
};

void setUp(Synth303& s, const LadderCase& k)
{
    for (int i = 0; i < 4; ++i)
    {
        s.ladderA[i] = {k.poles[0][i], k.offsetSign * oxn3::kVoiceStateOffset};
        s.ladderB[i] = {k.poles[1][i], k.offsetSign * oxn3::kVoiceStateOffset};
    }
    s.ladderAFeedback = k.feedback[0];
    s.ladderBFeedback = k.feedback[1];
    s.filterGainSmoother.reset();
}

// Two runs of the scalar ladders (runLadders) against two runs of the lanes on the same state:
// output, every pole, both feedback values and the gain smoother must agree bit for bit.
template <oxn3::LadderArithmetic kArithmetic>
void expectLanesMatchScalar(const LadderCase& k)
{
    static const std::unique_ptr<Synth303> scalar = makeVoice();
    static const std::unique_ptr<Synth303> lanes = makeVoice();
    setUp(*scalar, k);
    setUp(*lanes, k);
    const oxn3::LadderCoefficients coefficients =
        oxn3::ladderCoefficients(k.c, k.r, oxn3::FilterRates::compute(static_cast<float>(k.q)),
                                 scalar->filterFeedbackScale, scalar->ResoTrim, std::pow(1.0 - k.c, k.q));
    const oxn3::LadderPair pair = oxn3::ladderPairOf(*scalar);
    const float a[2] = {oxn3::runLadders<kArithmetic>(pair, k.in, coefficients),
                        oxn3::runLadders<kArithmetic>(pair, k.in, coefficients)};

    oxn3::LadderLanes l = oxn3::LadderLanes::load(*lanes);
    const oxn3::Lanes second[4] = {-l.offset[0], -l.offset[1], -l.offset[2], -l.offset[3]};
    const oxn3::LaneCoefficients kl = oxn3::LaneCoefficients::of(coefficients);
    float b[2];
    b[0] = oxn3::runLadderLanes<kArithmetic>(l, lanes->filterGainSmoother, l.offset, k.in, kl);
    b[1] = oxn3::runLadderLanes<kArithmetic>(l, lanes->filterGainSmoother, second, k.in, kl);
    l.store(*lanes);

    ASSERT_EQ(std::memcmp(a, b, sizeof(a)), 0);
    for (int i = 0; i < 4; ++i)
    {
        ASSERT_EQ(bitsOf(scalar->ladderA[i].value), bitsOf(lanes->ladderA[i].value)) << "A" << i;
        ASSERT_EQ(bitsOf(scalar->ladderB[i].value), bitsOf(lanes->ladderB[i].value)) << "B" << i;
        ASSERT_EQ(scalar->ladderA[i].offset, lanes->ladderA[i].offset); // two steps: back where they were
    }
    ASSERT_EQ(std::memcmp(&scalar->ladderAFeedback, &lanes->ladderAFeedback, sizeof(float)), 0);
    ASSERT_EQ(std::memcmp(&scalar->ladderBFeedback, &lanes->ladderBFeedback, sizeof(float)), 0);
    ASSERT_EQ(bitsOf(scalar->filterGainSmoother.value), bitsOf(lanes->filterGainSmoother.value));
}
} // namespace

TEST(LadderLanes, TwoRunsMatchTheScalarLaddersBitForBit)
{
    TestRandom random;
    for (int n = 0; n < 20000; ++n)
    {
        // Mostly the filter's own range; every fourth case with states far out, so that the
        // clips saturate and the roundings leave float's range.
        const double scale = n % 4 == 3 ? 1e30 * random.next() : 8.0 * random.next();
        auto any = [&] { return (random.next() * 2.0 - 1.0) * scale; };
        LadderCase k{};
        for (auto& ladder : k.poles)
            for (double& p : ladder)
                p = any();
        k.feedback[0] = static_cast<float>(any());
        k.feedback[1] = static_cast<float>(any());
        k.in = static_cast<float>(any());
        k.c = static_cast<float>(random.next() * 0.911);
        k.r = static_cast<float>(random.next() * 1.2);
        k.offsetSign = n % 2 == 0 ? 1.0 : -1.0;
        k.q = n % 3 == 0 ? 1.0 : 44100.0 / 96000.0;
        SCOPED_TRACE(n);
        expectLanesMatchScalar<oxn3::LadderArithmetic::Fast>(k);
        expectLanesMatchScalar<oxn3::LadderArithmetic::Literal>(k);
    }
}

// The lanes tell the clip's hard part from the float-rounded pole output alone: the same floats
// as the scalar test on the driven value, at the edges and beyond.
TEST(LadderLanes, HardClipEdgeMatchesTheDrivenValue)
{
    const float edges[] = {5.0f, 3.0f / 0.6f, 0.0f, 1e38f, INFINITY, NAN};
    for (float edge : edges)
        for (float x = std::nextafter(std::nextafter(edge, 0.0f), 0.0f), n = 0; n < 5;
             x = std::nextafter(x, INFINITY), ++n)
            for (float sign : {1.0f, -1.0f})
            {
                const double rounded = sign * x;
                const double v = rounded * oxn3::kStageDrive;
                EXPECT_EQ(std::fabs(rounded) > oxn3::kClipHardAbove, v < -3.0 || v > 3.0) << rounded;
            }
}
