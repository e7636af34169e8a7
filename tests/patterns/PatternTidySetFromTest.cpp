#include <gtest/gtest.h>

#include <vector>

#include "PatternTestHelpers.h"

namespace
{
constexpr int G = step_t::kGate, S = step_t::kSlide, A = step_t::kAccent;
constexpr int U = step_t::kUp, D = step_t::kDown, T = step_t::kTie;
} // namespace

TEST(PatternTidy, RestsLoseSlideAndAccentAndAccentsRunAlongSlides)
{
    // Flags of the steps within the length before and after; the step after them keeps S | A.
    const std::pair<std::vector<int>, std::vector<int>> cases[] = {
        {{S | A | U | T | 0xC0, G | S, G | A, S}, {U | T | 0xC0, G | S, G | A, 0}},
        // The chain carries the accent into the step it slides into, and no further.
        {{G, G | S | A, G | S, G | S, G, G}, {G, G | S | A, G | S | A, G | S | A, G | A, G}},
        // A rest after an accented slide gets the accent (the carry ignores the gate).
        {{G | S | A, 0, G, G}, {G | S | A, A, G, G}},
    };
    for (const auto& [before, after] : cases)
    {
        const int length = static_cast<int>(before.size());
        Vst303Pattern p = numberedPattern(length, S | A);
        for (int i = 0; i < length; ++i)
            p.steps[i].flags = static_cast<uint8_t>(before[i]);
        p.tidy303Pattern();
        for (int i = 0; i <= length; ++i)
            EXPECT_EQ(p.steps[i].flags, i < length ? after[i] : S | A) << "step " << i;
    }
}

TEST(PatternSetFrom, MidiNotesBecomePitchAndOctaveFlags)
{
    std::vector<int> notes = {36, 47, 48, 60, 72, 35, 0};
    const std::pair<int, int> expected[] = {{0, 0}, {11, 0}, {0, U}, {12, U}, {12, U}, {11, D}, {0, D}};
    Vst303Pattern p = numberedPattern(64, U | D | T | 0xC0); // octave flags cleared, tie and spare bits kept
    p.setFrom(7, notes.data(), nullptr, nullptr, nullptr, 1, 0, 0, 0);
    ASSERT_EQ(p.getLength(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(p.steps[i], stepOf(expected[i].first, expected[i].second | T | 0xC0)) << notes[i];
}

TEST(PatternSetFrom, FlagArraysApplyOnlyWhenSelected)
{
    int notes[4] = {40, 40, 40, 40}, gates[4] = {1, 0, 1, 0};
    int accents[4] = {1, 1, 0, 0}, slides[4] = {0, 1, 1, 0};
    const int kept = U | T | 0x80, expected[4] = {kept | G | A, kept | A | S, kept | G | S, kept};
    Vst303Pattern p = numberedPattern(64, kept);
    p.setTriplet(1);
    p.setFrom(4, notes, gates, accents, slides, 0, 1, 1, 1);
    p.setFrom(4, notes, notes, notes, notes, 0, 0, 0, 0); // nothing selected: no change
    EXPECT_EQ(p.header, 0x80000000u | 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(p.steps[i], stepOf(i, expected[i])) << i;
}

TEST(PatternSetFrom, LengthIsClampedAndNeverWritesPastTheLastStep)
{
    GuardedPattern g;
    std::vector<int> ones(100, 1), notes(100, 60);
    g.pattern.setFrom(100, notes.data(), ones.data(), ones.data(), ones.data(), 1, 1, 1, 1);
    EXPECT_EQ(g.pattern.getLength(), 64);
    EXPECT_TRUE(g.intact());
    EXPECT_EQ(g.pattern.steps[63], stepOf(12, U | G | A | S));
    g.pattern.setFrom(-3, nullptr, nullptr, nullptr, nullptr, 1, 1, 1, 1);
    EXPECT_EQ(g.pattern.getLength(), 1);
    EXPECT_EQ(g.pattern.steps[0], stepOf(12, U | G | A | S));
}
