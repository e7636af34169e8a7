#include <gtest/gtest.h>

#include <cstring>

#include "PatternTestHelpers.h"

// Headers read from files may hold any length 0..127. Every operation must stay inside the 64
// steps; a guard word right after the record catches writes past the last step.
namespace
{
struct Guarded
{
    Vst303Pattern pattern;
    uint32_t sentinel = 0xDEADBEEFu;
};

Guarded withHeaderLength(uint32_t length)
{
    Guarded g;
    g.pattern = numberedPattern(64, step_t::kGate | step_t::kSlide | step_t::kAccent | step_t::kTie);
    g.pattern.header = 0x80000000u | length;
    return g;
}

void runEveryOperation(Vst303Pattern& p)
{
    const int indexes[] = {-1000, -1, 0, 1, 62, 63, 64, 65, 126, 127, 128, 1000};
    for (int k : indexes)
    {
        p.getNoteLength(k);
        p.insertStep(k);
        p.insertTie(k);
        p.insertRest(k);
    }
    p.Transpose(1);
    p.Transpose(-1);
    p.Shift(1);
    p.Shift(-1);
    p.Shift(1000);
    p.Shift(-1000);
    p.tidy303Pattern();
    p.Clear(0);
    p.Clear();
}
} // namespace

TEST(PatternBadLength, LengthZeroTouchesNoStepAndKeepsTheHeaderLength)
{
    Guarded g = withHeaderLength(0);
    const Vst303Pattern before = g.pattern;
    EXPECT_EQ(g.pattern.getStepCount(), 0);
    g.pattern.Transpose(1);
    g.pattern.Shift(1);
    g.pattern.insertStep(0);
    g.pattern.tidy303Pattern();
    g.pattern.Clear();
    EXPECT_EQ(g.pattern.getLength(), 0);
    EXPECT_EQ(g.pattern.getTriplet(), 0);
    EXPECT_EQ(std::memcmp(g.pattern.steps, before.steps, sizeof before.steps), 0);
    EXPECT_EQ(g.pattern.getNoteLength(0), 1);
}

TEST(PatternBadLength, LongHeaderLengthsWorkOnAllSixtyFourSteps)
{
    for (uint32_t length : {65u, 100u, 127u})
    {
        Guarded g = withHeaderLength(length);
        EXPECT_EQ(g.pattern.getStepCount(), 64);
        g.pattern.Shift(1);
        EXPECT_EQ(g.pattern.steps[0].pitch, 63);
        EXPECT_EQ(g.pattern.steps[1].pitch, 0);
        g.pattern.Clear(0);
        EXPECT_EQ(g.pattern.steps[63].flags, 0);
        EXPECT_EQ(g.pattern.getLength(), static_cast<int>(length));
        EXPECT_EQ(g.sentinel, 0xDEADBEEFu);
    }
}

TEST(PatternBadLength, EveryOperationStaysInsideTheRecord)
{
    for (uint32_t length : {0u, 1u, 63u, 64u, 65u, 127u})
    {
        Guarded g = withHeaderLength(length);
        runEveryOperation(g.pattern);
        EXPECT_EQ(g.sentinel, 0xDEADBEEFu) << "header length " << length;
        EXPECT_EQ(g.pattern.getLength(), static_cast<int>(length));
    }
}

TEST(PatternRecordLayout, PlainCopyKeepsHeaderAndAllSteps)
{
    Vst303Pattern a = numberedPattern(12, step_t::kTie | 0xC0);
    a.setTriplet(1);
    Vst303Pattern b;
    b = a;
    EXPECT_TRUE(sameRecord(a, b));

    unsigned char bytes[sizeof(Vst303Pattern)];
    std::memcpy(bytes, &a, sizeof a);
    EXPECT_EQ(bytes[4], 0);    // step 0 pitch
    EXPECT_EQ(bytes[5], 0xE0); // step 0 flags
    EXPECT_EQ(bytes[4 + 2 * 63], 63);
    Vst303Pattern c;
    std::memcpy(&c, bytes, sizeof c);
    EXPECT_TRUE(sameRecord(a, c));
}
