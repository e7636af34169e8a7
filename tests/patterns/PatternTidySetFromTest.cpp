#include <gtest/gtest.h>

#include <vector>

#include "PatternTestHelpers.h"

namespace
{
constexpr uint8_t G = step_t::kGate;
constexpr uint8_t S = step_t::kSlide;
constexpr uint8_t A = step_t::kAccent;
} // namespace

TEST(PatternTidy, RestsLoseSlideAndAccentButKeepOtherBits)
{
    Vst303Pattern p = numberedPattern(4, 0);
    setFlags(p, {S | A | step_t::kUp | step_t::kTie | 0xC0, G | S, G | A, S});
    p.steps[4].flags = S | A; // beyond the length: untouched
    p.tidy303Pattern();
    EXPECT_EQ(p.steps[0].flags, step_t::kUp | step_t::kTie | 0xC0);
    EXPECT_EQ(p.steps[1].flags, G | S);
    EXPECT_EQ(p.steps[2].flags, G | A);
    EXPECT_EQ(p.steps[3].flags, 0);
    EXPECT_EQ(p.steps[4].flags, S | A);
}

TEST(PatternTidy, AccentRunsAlongASlideChainAndStopsAfterIt)
{
    Vst303Pattern p = numberedPattern(8, 0);
    setFlags(p, {G, G | S | A, G | S, G | S, G, G, G, G});
    p.tidy303Pattern();
    EXPECT_EQ(p.steps[0].flags, G);
    EXPECT_EQ(p.steps[2].flags, G | S | A);
    EXPECT_EQ(p.steps[3].flags, G | S | A);
    EXPECT_EQ(p.steps[4].flags, G | A); // the step the chain slides into
    EXPECT_EQ(p.steps[5].flags, G);
}

TEST(PatternTidy, AccentCarryStopsAtTheEndWithoutWrapping)
{
    Vst303Pattern p = numberedPattern(4, 0);
    setFlags(p, {G, G, G | S | A, G | S});
    p.steps[4].flags = G;
    p.tidy303Pattern();
    EXPECT_EQ(p.steps[3].flags, G | S | A);
    EXPECT_EQ(p.steps[0].flags, G);
    EXPECT_EQ(p.steps[4].flags, G);
}

TEST(PatternTidy, RestAfterAnAccentedSlideGetsTheAccent)
{
    Vst303Pattern p = numberedPattern(4, 0);
    setFlags(p, {G | S | A, 0, G, G});
    p.tidy303Pattern();
    EXPECT_EQ(p.steps[1].flags, A);
    EXPECT_EQ(p.steps[2].flags, G);
}

TEST(PatternSetFrom, MidiNotesBecomePitchAndOctaveFlags)
{
    Vst303Pattern p;
    std::vector<int> notes = {36, 47, 48, 59, 60, 72, 35, 24, 0};
    const int n = static_cast<int>(notes.size());
    p.steps[0].flags = step_t::kDown | step_t::kTie | 0xC0;
    p.steps[2].flags = step_t::kDown;
    p.steps[6].flags = step_t::kUp;
    p.setFrom(n, notes.data(), nullptr, nullptr, nullptr, 1, 0, 0, 0);

    struct Expected
    {
        int pitch;
        uint8_t flags;
    };
    const Expected expected[] = {
        {0, step_t::kTie | 0xC0}, // 36: plain; octave flags cleared, tie and spare bits kept
        {11, 0},                  // 47
        {0, step_t::kUp},         // 48
        {11, step_t::kUp},        // 59
        {12, step_t::kUp},        // 60: up + 12
        {12, step_t::kUp},        // 72 folds onto 60
        {11, step_t::kDown},      // 35
        {0, step_t::kDown},       // 24
        {0, step_t::kDown},       // 0
    };
    ASSERT_EQ(p.getLength(), n);
    for (int i = 0; i < n; ++i)
    {
        EXPECT_EQ(p.steps[i].pitch, expected[i].pitch) << "note " << notes[i];
        EXPECT_EQ(p.steps[i].flags, expected[i].flags) << "note " << notes[i];
    }
}

TEST(PatternSetFrom, FlagArraysApplyOnlyWhenSelected)
{
    Vst303Pattern p;
    p.setTriplet(1);
    for (step_t& s : p.steps)
        s = step_t{5, step_t::kUp | step_t::kTie | 0x80};
    int notes[4] = {40, 40, 40, 40};
    int gates[4] = {1, 0, 1, 0};
    int accents[4] = {1, 1, 0, 0};
    int slides[4] = {0, 1, 1, 0};

    p.setFrom(4, notes, gates, accents, slides, 0, 1, 1, 1);
    EXPECT_EQ(p.getTriplet(), 1);
    EXPECT_EQ(p.getLength(), 4);
    const uint8_t kept = step_t::kUp | step_t::kTie | 0x80;
    EXPECT_EQ(p.steps[0].flags, kept | G | A);
    EXPECT_EQ(p.steps[1].flags, kept | A | S);
    EXPECT_EQ(p.steps[2].flags, kept | G | S);
    EXPECT_EQ(p.steps[3].flags, kept);
    EXPECT_EQ(p.steps[0].pitch, 5); // notes not applied

    p.setFrom(4, notes, gates, accents, slides, 0, 0, 0, 0);
    EXPECT_EQ(p.steps[0].flags, kept | G | A);
}

TEST(PatternSetFrom, LengthIsClampedAndNeverWritesPastTheLastStep)
{
    struct Guarded
    {
        Vst303Pattern pattern;
        uint32_t sentinel = 0xDEADBEEFu;
    };
    Guarded g;
    std::vector<int> notes(100, 60), gates(100, 1), accents(100, 1), slides(100, 1);
    g.pattern.setFrom(100, notes.data(), gates.data(), accents.data(), slides.data(), 1, 1, 1, 1);
    EXPECT_EQ(g.pattern.getLength(), 64);
    EXPECT_EQ(g.sentinel, 0xDEADBEEFu);
    EXPECT_EQ(g.pattern.steps[63].pitch, 12);
    EXPECT_EQ(g.pattern.steps[63].flags, step_t::kUp | G | A | S);

    const Vst303Pattern before = g.pattern;
    g.pattern.setFrom(0, nullptr, nullptr, nullptr, nullptr, 1, 1, 1, 1);
    EXPECT_EQ(g.pattern.getLength(), 1);
    g.pattern.setFrom(-3, nullptr, nullptr, nullptr, nullptr, 1, 1, 1, 1);
    EXPECT_EQ(g.pattern.getLength(), 1);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(g.pattern.steps[i].flags, before.steps[i].flags);
}
