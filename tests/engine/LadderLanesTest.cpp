#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

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

// The quick rounding of one value in both lanes; `outOfRange` tells whether it gave up.
double quickRounded(double x, bool& outOfRange)
{
    oxn3::QuickFloatRounding round;
    const double r = oxn3::laneA(round(oxn3::bothLanes(x)));
    outOfRange = round.failed();
    return r;
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
template <oxn3::LadderArithmetic kArithmetic, class Rounding>
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
    Rounding round;
    float b[2];
    b[0] = oxn3::runLadderLanes<kArithmetic>(l, lanes->filterGainSmoother, l.offset, k.in, coefficients, kl, round);
    b[1] = oxn3::runLadderLanes<kArithmetic>(l, lanes->filterGainSmoother, second, k.in, coefficients, kl, round);
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

TEST(QuickFloatRounding, MatchesTheConversionOverFloatsNormalRange)
{
    TestRandom random;
    for (int n = 0; n < 400000; ++n)
    {
        // Any sign and mantissa, exponents from just above the smallest normal float to 2^126.
        const std::uint64_t mantissa = (static_cast<std::uint64_t>(random.next() * 4294967296.0) << 20) ^
                                       static_cast<std::uint64_t>(random.next() * 1048576.0);
        const int exponent = -125 + static_cast<int>(random.next() * 251.0);
        const double x = std::ldexp(1.0 + static_cast<double>(mantissa & ((1ull << 52) - 1)) / 4503599627370496.0,
                                    exponent) * (random.next() < 0.5 ? -1.0 : 1.0);
        bool outOfRange = true;
        const double quick = quickRounded(x, outOfRange);
        ASSERT_FALSE(outOfRange) << x;
        ASSERT_EQ(bitsOf(quick), bitsOf(static_cast<double>(static_cast<float>(x)))) << x;
    }
}

TEST(QuickFloatRounding, EdgeCasesRoundAsTheConversionOrGiveUp)
{
    const double halfUlp = std::ldexp(1.0, -24); // of 1.0f's neighbourhood
    const double floatMin = std::numeric_limits<float>::min();
    const std::pair<double, bool> cases[] = { // value, gives up
        {1.0 + halfUlp, false},                      // tie, even below: down
        {1.0 + 3.0 * halfUlp, false},                // tie, odd below: up
        {2.0 - halfUlp, false},                      // up across the binade
        {-(1.0 + 3.0 * halfUlp), false},             // sign kept
        {std::nextafter(1.0 + halfUlp, 2.0), false}, // just above a tie
        {std::nextafter(1.0 + halfUlp, 0.0), false}, // just below a tie
        {0.0, false}, {-0.0, false}, {floatMin, false},
        {std::nextafter(std::ldexp(1.0, 127), 0.0), false}, // rounds up to 2^127
        {std::ldexp(1.0, -127), true},                      // float denormal
        {std::nextafter(floatMin, 0.0), true}, {std::numeric_limits<double>::denorm_min(), true}, // double denormal
        {std::ldexp(1.0, 127), true},                       // could round past float's max
        {std::numeric_limits<float>::max(), true}, {-std::ldexp(1.5, 200), true},
        {std::numeric_limits<double>::infinity(), true}, {std::numeric_limits<double>::quiet_NaN(), true}};
    for (const auto& [x, givesUp] : cases)
    {
        bool outOfRange = !givesUp;
        const double quick = quickRounded(x, outOfRange);
        EXPECT_EQ(outOfRange, givesUp) << x;
        if (!givesUp)
        {
            EXPECT_EQ(bitsOf(quick), bitsOf(static_cast<double>(static_cast<float>(x)))) << x;
        }
    }
}

TEST(LadderLanes, TwoRunsMatchTheScalarLaddersBitForBit)
{
    TestRandom random;
    for (int n = 0; n < 20000; ++n)
    {
        // Mostly the filter's own range; every fourth case with states far out, so that the
        // clips saturate and the quick rounding gives up.
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
        expectLanesMatchScalar<oxn3::LadderArithmetic::Fast, oxn3::ConvertingFloatRounding>(k);
        expectLanesMatchScalar<oxn3::LadderArithmetic::Literal, oxn3::ConvertingFloatRounding>(k);
        if (scale < 1e30)
            expectLanesMatchScalar<oxn3::LadderArithmetic::Fast, oxn3::QuickFloatRounding>(k);
    }
}
