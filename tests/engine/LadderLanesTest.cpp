#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "engine/LadderLanes.h"
#include "engine/Synth303Smoothers.h"
#include "engine/VoiceTestHelpers.h"

namespace
{
std::uint64_t bitsOf(double x)
{
    std::uint64_t b = 0;
    std::memcpy(&b, &x, sizeof(b));
    return b;
}

double fromBits(std::uint64_t b)
{
    double x = 0.0;
    std::memcpy(&x, &b, sizeof(x));
    return x;
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
    double poles[2][4];
    float feedback[2];
    float in;
    float c;
    float r;
};

LadderCase randomCase(TestRandom& random, double scale)
{
    LadderCase k{};
    for (auto& ladder : k.poles)
        for (double& p : ladder)
            p = (random.next() * 2.0 - 1.0) * scale;
    k.feedback[0] = static_cast<float>((random.next() * 2.0 - 1.0) * scale);
    k.feedback[1] = static_cast<float>((random.next() * 2.0 - 1.0) * scale);
    k.in = static_cast<float>((random.next() * 2.0 - 1.0) * scale);
    k.c = static_cast<float>(random.next() * 0.911);
    k.r = static_cast<float>(random.next() * 1.2);
    return k;
}

void setUp(Synth303& s, const LadderCase& k, double offsetSign)
{
    for (int i = 0; i < 4; ++i)
    {
        s.ladderA[i].value = k.poles[0][i];
        s.ladderB[i].value = k.poles[1][i];
        s.ladderA[i].offset = offsetSign * oxn3::kVoiceStateOffset;
        s.ladderB[i].offset = offsetSign * oxn3::kVoiceStateOffset;
    }
    s.ladderAFeedback = k.feedback[0];
    s.ladderBFeedback = k.feedback[1];
}

// Two runs of the scalar ladders (runLadders) against two runs of the lanes on the same state:
// output, every pole, both feedback values and the gain smoother must agree bit for bit.
template <oxn3::LadderArithmetic kArithmetic, class Rounding>
void expectLanesMatchScalar(const LadderCase& k, double offsetSign, double q)
{
    static const std::unique_ptr<Synth303> scalar = makeVoice();
    static const std::unique_ptr<Synth303> lanes = makeVoice();
    scalar->filterGainSmoother.reset();
    lanes->filterGainSmoother.reset();
    setUp(*scalar, k, offsetSign);
    setUp(*lanes, k, offsetSign);
    const oxn3::FilterRates rates = oxn3::FilterRates::compute(static_cast<float>(q));
    const oxn3::LadderCoefficients coefficients =
        oxn3::ladderCoefficients(k.c, k.r, rates, scalar->filterFeedbackScale, scalar->ResoTrim,
                                 std::pow(1.0 - k.c, q));

    const oxn3::LadderPair pair = oxn3::ladderPairOf(*scalar);
    const float a1 = oxn3::runLadders<kArithmetic>(pair, k.in, coefficients);
    const float a2 = oxn3::runLadders<kArithmetic>(pair, k.in, coefficients);

    oxn3::LadderLanes l = oxn3::LadderLanes::load(*lanes);
    const oxn3::Lanes second[4] = {-l.offset[0], -l.offset[1], -l.offset[2], -l.offset[3]};
    const oxn3::LaneCoefficients kl = oxn3::LaneCoefficients::of(coefficients);
    Rounding round;
    const float b1 = oxn3::runLadderLanes<kArithmetic>(l, lanes->filterGainSmoother, l.offset, k.in, coefficients,
                                                       kl, round);
    const float b2 = oxn3::runLadderLanes<kArithmetic>(l, lanes->filterGainSmoother, second, k.in, coefficients,
                                                       kl, round);
    l.store(*lanes);

    ASSERT_EQ(std::memcmp(&a1, &b1, sizeof(float)), 0);
    ASSERT_EQ(std::memcmp(&a2, &b2, sizeof(float)), 0);
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

TEST(QuickFloatRounding, TiesRoundToEvenAndCarriesReachTheExponent)
{
    const double halfUlp = std::ldexp(1.0, -24); // of 1.0f's neighbourhood
    const double cases[] = {1.0 + halfUlp,                       // tie, even below: down
                            1.0 + 3.0 * halfUlp,                 // tie, odd below: up
                            2.0 - halfUlp,                       // up across the binade
                            -(1.0 + 3.0 * halfUlp),              // sign kept
                            std::nextafter(1.0 + halfUlp, 2.0),  // just above a tie
                            std::nextafter(1.0 + halfUlp, 0.0),  // just below a tie
                            0.0, -0.0,                           // zeros stay zeros
                            std::nextafter(std::ldexp(1.0, 127), 0.0), // rounds up to 2^127
                            static_cast<double>(std::numeric_limits<float>::min())};
    for (double x : cases)
    {
        bool outOfRange = true;
        const double quick = quickRounded(x, outOfRange);
        EXPECT_FALSE(outOfRange) << x;
        EXPECT_EQ(bitsOf(quick), bitsOf(static_cast<double>(static_cast<float>(x)))) << x;
    }
}

TEST(QuickFloatRounding, GivesUpOutsideFloatsNormalRange)
{
    const double cases[] = {std::ldexp(1.0, -127),                  // float denormal
                            std::nextafter(static_cast<double>(std::numeric_limits<float>::min()), 0.0),
                            fromBits(1),                             // double denormal
                            std::ldexp(1.0, 127),                   // could round past float's max
                            static_cast<double>(std::numeric_limits<float>::max()),
                            -std::ldexp(1.5, 200),
                            std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()};
    for (double x : cases)
    {
        bool outOfRange = false;
        quickRounded(x, outOfRange);
        EXPECT_TRUE(outOfRange) << x;
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
        const LadderCase k = randomCase(random, scale);
        const double sign = n % 2 == 0 ? 1.0 : -1.0;
        const double q = n % 3 == 0 ? 1.0 : 44100.0 / 96000.0;
        SCOPED_TRACE(n);
        expectLanesMatchScalar<oxn3::LadderArithmetic::Fast, oxn3::ConvertingFloatRounding>(k, sign, q);
        expectLanesMatchScalar<oxn3::LadderArithmetic::Literal, oxn3::ConvertingFloatRounding>(k, sign, q);
        if (scale < 1e30)
            expectLanesMatchScalar<oxn3::LadderArithmetic::Fast, oxn3::QuickFloatRounding>(k, sign, q);
    }
}

TEST(Smoothers, ASettledSmootherIsAtRestAndStaysPut)
{
    auto synth = makeVoice();
    synth->cutoff = 0.35f;
    synth->resonance = 0.75f;
    synth->tuning = 0.0f;
    settleKnobs(*synth);
    // From the knob's own value the smoother first creeps by the offset's rounding, then sits.
    std::vector<float> out = render(*synth, 4096);
    const oxn3::SmootherTargets targets = oxn3::SmootherTargets::read(*synth);
    const unsigned moving = oxn3::movingSmoothers(*synth, targets, oxn3::kAllSmoothers);
    EXPECT_EQ(moving & (oxn3::kSmoothCutoff | oxn3::kSmoothResonance), 0u);
    EXPECT_NE(moving & oxn3::kSmoothTuning, 0u); // a target of 0 keeps the value moving about 1e-18

    // At rest means exactly that: a thousand steps leave it as it was.
    float cutoff = synth->smoothedCutoff;
    double offset = synth->smootherOffset;
    for (int i = 0; i < 1000; ++i, offset = -offset)
        oxn3::smoothToward(cutoff, targets.cutoff, offset);
    EXPECT_EQ(cutoff, synth->smoothedCutoff);

    // A new target sets it moving again.
    synth->cutoff = 0.36f;
    EXPECT_NE(oxn3::movingSmoothers(*synth, oxn3::SmootherTargets::read(*synth), oxn3::kAllSmoothers) &
                  oxn3::kSmoothCutoff,
              0u);
}
