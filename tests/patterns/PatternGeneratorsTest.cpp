#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "patterns/AdvancedRandom.h"
#include "patterns/PatternTestHelpers.h"
#include "patterns/RandomGenerator.h"

namespace
{
constexpr uint8_t kGate = step_t::kGate;

bool sameBytes(const Vst303Pattern& a, const Vst303Pattern& b)
{
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

int countFlag(const Vst303Pattern& p, uint8_t flag, int length)
{
    int n = 0;
    for (int i = 0; i < length; ++i)
        n += p.steps[i].has(flag) ? 1 : 0;
    return n;
}

// Settings that change only what a test switches on: no octave offsets, no scale draws.
AdvancedRandom_t quietSettings()
{
    AdvancedRandom_t s;
    s.apply = 1;
    s.upperRange = s.lowerRange = s.upperRange2 = s.lowerRange2 = 0;
    s.noteDensity = 0;
    s.randomizeNote = s.randomizeGate = s.randomizeSlide = s.randomizeAccent = 0;
    return s;
}

Vst303Pattern generate(AdvancedRandom_t s, RandomGenerator* generator = nullptr)
{
    RandomGenerator local;
    RandomGenerator* g = generator ? generator : &local;
    g->state = static_cast<uint32_t>(s.seed);
    Vst303Pattern p = numberedPattern(16);
    p.AdvancedRandom(&s, g);
    return p;
}
} // namespace

TEST(RandomGeneratorSequence, FollowsTheCongruence)
{
    RandomGenerator g;
    g.state = 1;
    EXPECT_EQ(g.next(), 1103947680u); // 1 * 196314165 + 907633515
    EXPECT_EQ(g.next(), 1372837771u); // (1103947680 * 196314165 + 907633515) mod 2^32
    g.state = 0xFFFFFFFFu;
    EXPECT_EQ(g.next(), 907633515u - 196314165u);
    EXPECT_EQ(sizeof(AdvancedRandom_t), 120u);
}

TEST(AdvancedRandomGenerator, InactiveChangesNothing)
{
    AdvancedRandom_t s;
    s.apply = 0;
    RandomGenerator g;
    g.state = 99;
    Vst303Pattern p = numberedPattern(16);
    const Vst303Pattern before = p;
    p.AdvancedRandom(&s, &g);
    EXPECT_TRUE(sameBytes(p, before));
    EXPECT_EQ(g.state, 99u);
}

TEST(AdvancedRandomGenerator, SameSettingsAndSeedSameResult)
{
    AdvancedRandom_t s; // a new instance's settings, all randomising on
    s.apply = 1;
    s.slideDensity = 30;
    s.seed = 424242;
    RandomGenerator g1, g2;
    const Vst303Pattern a = generate(s, &g1);
    const Vst303Pattern b = generate(s, &g2);
    EXPECT_TRUE(sameBytes(a, b));
    EXPECT_EQ(g1.state, g2.state);
    EXPECT_NE(g1.state, 424242u); // the generator advanced

    s.seed = 424243;
    EXPECT_FALSE(sameBytes(a, generate(s)));
}

TEST(AdvancedRandomGenerator, FixedSeedGivesTheHandComputedPattern)
{
    // Seed 1: states 1103947680, 1372837771, 290041650, 1856401605 (mod 5: 0, 1, 0, 0 ->
    // octaves -2, -1, -2, -2), then 1098076212 and 2293222959 (mod 4: gate on steps 0 and 3).
    AdvancedRandom_t s = quietSettings();
    s.seed = 1;
    s.patLength = 4;
    s.root = 5;
    s.lowerRange = s.lowerRange2 = 1;
    s.randomizeNote = 1;
    s.randomizeGate = 1;
    s.gateDensity = 50;
    RandomGenerator g;
    const Vst303Pattern p = generate(s, &g);

    EXPECT_EQ(p.getLength(), 4);
    const int expectedPitch[] = {-19, -7, -19, -19};
    const bool expectedGate[] = {true, false, false, true};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(p.steps[i].pitch, expectedPitch[i]) << "step " << i;
        EXPECT_EQ(p.steps[i].has(kGate), expectedGate[i]) << "step " << i;
    }
    EXPECT_EQ(g.state, 2293222959u);
    EXPECT_EQ(p.steps[4].pitch, numberedPattern(16).steps[4].pitch); // beyond the length: untouched
}

TEST(AdvancedRandomGenerator, DensityCountsExactly)
{
    AdvancedRandom_t s = quietSettings();
    s.randomizeGate = 1;
    s.gateDensity = 50;
    s.seed = 777;
    EXPECT_EQ(countFlag(generate(s), kGate, 16), 8);

    s.gateDensity = 5; // 5 * 16 < 100: every gate cleared, none set
    EXPECT_EQ(countFlag(generate(s), kGate, 16), 0);

    s.randomizeGate = 0; // the existing gates stay
    EXPECT_EQ(countFlag(generate(s), kGate, 16), 16);

    s = quietSettings();
    s.randomizeSlide = 1;
    s.slideDensity = 25;
    s.randomizeAccent = 1;
    s.accentDensity = 100;
    const Vst303Pattern p = generate(s);
    EXPECT_EQ(countFlag(p, step_t::kSlide, 16), 4);
    EXPECT_EQ(countFlag(p, step_t::kAccent, 16), 16);
}

TEST(AdvancedRandomGenerator, ScaleRules)
{
    AdvancedRandom_t s = quietSettings();
    s.randomizeNote = 1;
    s.fixedScale = 1;
    s.root = 2;
    for (int& degree : s.scale)
        degree = 0;
    s.scale[0] = s.scale[3] = s.scale[7] = 1;
    Vst303Pattern p = generate(s);
    const int walk[] = {2, 5, 9};
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(p.steps[i].pitch, walk[i % 3]) << "step " << i;
        EXPECT_FALSE(p.steps[i].has(step_t::kUp) || p.steps[i].has(step_t::kDown));
    }

    for (int& degree : s.scale)
        degree = 0;
    p = generate(s); // nothing enabled: the root
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p.steps[i].pitch, 2);

    s.fixedScale = 0;
    s.noteDensity = 100;
    s.scale[0] = 1; // only the root degree
    p = generate(s);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p.steps[i].pitch, 2);

    s = AdvancedRandom_t();
    s.apply = 1;
    s.root = 11;
    p = generate(s);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_GE(p.steps[i].pitch, -24 + 11);
        EXPECT_LE(p.steps[i].pitch, 24 + 11 + 11);
    }
}

TEST(AdvancedRandomGenerator, OutOfRangeSettingsAreClamped)
{
    AdvancedRandom_t s;
    s.apply = 1;
    s.patLength = 1000;
    s.noteDensity = s.gateDensity = s.slideDensity = s.accentDensity = 500;
    s.root = 99;
    s.seed = 5;
    Vst303Pattern p = generate(s);
    EXPECT_EQ(p.getLength(), 64);
    EXPECT_EQ(countFlag(p, kGate, 64), 64);
    EXPECT_EQ(countFlag(p, step_t::kSlide, 64), 64);
    for (int i = 0; i < 64; ++i)
        EXPECT_LE(p.steps[i].pitch, 24 + 11 + 11);

    s.patLength = -3;
    s.noteDensity = s.gateDensity = s.slideDensity = s.accentDensity = -10;
    s.root = -4;
    p = generate(s);
    EXPECT_EQ(p.getLength(), 1);
    EXPECT_FALSE(p.steps[0].has(kGate));
    EXPECT_GE(p.steps[0].pitch, -24);
    EXPECT_EQ(p.steps[1].pitch, numberedPattern(16).steps[1].pitch);

    RandomGenerator g;
    Vst303Pattern q = numberedPattern(16);
    q.setTriplet(1);
    s.patLength = 8;
    q.AdvancedRandom(&s, &g);
    EXPECT_EQ(q.getTriplet(), 1);
    q.AdvancedRandom(nullptr, &g);
    q.AdvancedRandom(&s, nullptr);
}

TEST(RandomizeGenerator, PitchRangeAndNoSlideOnRests)
{
    for (unsigned seed = 1; seed <= 50; ++seed)
    {
        std::srand(seed);
        Vst303Pattern p = numberedPattern(64, 0xFF);
        p.Randomize();
        for (int i = 0; i < 64; ++i)
        {
            EXPECT_GE(p.steps[i].pitch, 0);
            EXPECT_LE(p.steps[i].pitch, 13);
            EXPECT_FALSE(p.steps[i].has(step_t::kTie));
            if (!p.steps[i].has(kGate))
            {
                EXPECT_FALSE(p.steps[i].has(step_t::kSlide)) << "seed " << seed << " step " << i;
            }
        }
    }
}

TEST(RandomizeGenerator, DamagedLengthsStayInsideTheRecord)
{
    std::srand(3);
    Vst303Pattern p = numberedPattern(16);
    p.header = 0;
    const Vst303Pattern before = p;
    p.Randomize();
    p.AlterPattern();
    EXPECT_TRUE(sameBytes(p, before));

    p.header = 100;
    p.Randomize();
    p.AlterPattern();
    EXPECT_EQ(p.header, 100u);
    for (int i = 0; i < 64; ++i)
        EXPECT_LE(p.steps[i].pitch, 13);
}

TEST(AlterPatternGenerator, ReordersTheStepsWithinTheLength)
{
    std::srand(11);
    Vst303Pattern p = numberedPattern(16);
    p.setTriplet(1);
    const Vst303Pattern before = p;
    p.AlterPattern();
    EXPECT_EQ(p.header, before.header);
    bool seen[16] = {};
    for (int i = 0; i < 16; ++i)
    {
        ASSERT_GE(p.steps[i].pitch, 0);
        ASSERT_LT(p.steps[i].pitch, 16);
        EXPECT_FALSE(seen[p.steps[i].pitch]);
        seen[p.steps[i].pitch] = true;
    }
    for (int i = 16; i < 64; ++i)
        EXPECT_EQ(p.steps[i].pitch, before.steps[i].pitch);
}

TEST(AlterPattern2Generator, TieAtARandomPlace)
{
    for (unsigned seed = 1; seed <= 20; ++seed)
    {
        std::srand(seed);
        Vst303Pattern p = numberedPattern(16);
        const int added = p.AlterPattern2();
        ASSERT_GE(added, 1);
        ASSERT_LE(added, 15);
        EXPECT_EQ(p.steps[added].pitch, added - 1);
        EXPECT_TRUE(p.steps[added - 1].has(step_t::kSlide));
        EXPECT_FALSE(p.steps[added].has(step_t::kSlide));
        for (int i = added + 1; i < 16; ++i)
            EXPECT_EQ(p.steps[i].pitch, i - 1);
        EXPECT_EQ(p.steps[16].pitch, numberedPattern(16).steps[16].pitch);
    }

    for (uint32_t header : {1u, 0u, 65u, 127u})
    {
        Vst303Pattern p = numberedPattern(16);
        p.header = header;
        const Vst303Pattern before = p;
        EXPECT_EQ(p.AlterPattern2(), 0);
        EXPECT_TRUE(sameBytes(p, before)) << "header " << header;
    }
}
