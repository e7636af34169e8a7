#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "PatternTestHelpers.h"

namespace
{
constexpr int G = step_t::kGate, S = step_t::kSlide, A = step_t::kAccent, T = step_t::kTie;
} // namespace

TEST(PatternClear, ClearsWithinTheLengthOnlyAndDropsTriplet)
{
    Vst303Pattern p = numberedPattern(8, S | T | 0x80);
    p.setTriplet(1);
    p.Clear();
    EXPECT_EQ(p.header, 8u);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(p.steps[i], i < 8 ? stepOf(0, G) : stepOf(i, S | T | 0x80)) << i;
}

TEST(PatternNoteLength, CountsTiedStepsUpToTheEndOfTheLength)
{
    Vst303Pattern p = numberedPattern(8);
    for (int i : {2, 3, 5, 6, 7, 8, 9, 63}) // the run from 5 reaches the end of the length
        p.steps[i].flags |= T;
    const std::pair<int, int> cases[] = {{1, 3}, {2, 2}, {0, 1}, {4, 4}, {-1, 1}, {1000, 1}};
    for (const auto& [step, length] : cases)
        EXPECT_EQ(p.getNoteLength(step), length) << "step " << step;
}

TEST(PatternTranspose, WrapsAroundZeroToThirtySixAndKeepsFlags)
{
    const std::tuple<int, int, int> cases[] = {{36, 1, 0}, {35, 1, 36}, {-12, 1, 26}, {0, -1, 36}, {36, -1, 35}};
    for (const auto& [from, by, to] : cases)
    {
        Vst303Pattern p = numberedPattern(1, G | T | 0x40);
        p.steps[0].pitch = static_cast<int8_t>(from);
        p.Transpose(by);
        EXPECT_EQ(p.steps[0], stepOf(to, G | T | 0x40)) << from << " by " << by;
        EXPECT_EQ(p.steps[1].pitch, 1) << "beyond the length";
    }
}

TEST(PatternShift, RotatesWithinTheLengthAndBack)
{
    Vst303Pattern p = numberedPattern(5);
    p.steps[4].flags = A;
    const Vst303Pattern original = p;
    const std::pair<int, std::vector<int>> cases[] = {
        {1, {4, 0, 1, 2, 3, 5}}, {-1, {1, 2, 3, 4, 0, 5}}, {7, {3, 4, 0, 1, 2, 5}}};
    for (const auto& [n, pitches] : cases)
    {
        SCOPED_TRACE(n);
        p.Shift(n);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(p.steps[i], stepOf(pitches[i], pitches[i] == 4 ? A : G)) << "step " << i;
        p.Shift(-n);
        EXPECT_TRUE(sameRecord(p, original));
    }
}

// Inserts into a 6-step pattern of gated, accented steps whose step i has pitch i. `copied` is the
// step copied into the next place, the later steps moving on (-1: nothing moves); `changed` is the
// step whose flags change: a tie slides out of step k-1, a rest clears the gate of step k.
TEST(PatternInsert, StepTieAndRestMoveTheStepsAfterK)
{
    constexpr int Step = 0, Tie = 1, Rest = 2;
    const std::tuple<int, int, int, int> cases[] = {
        {Step, 2, 2, -1}, {Tie, 2, 1, 1},  {Rest, 3, 2, 3},  {Tie, 5, 4, 4}, // k is the last step
        {Rest, 5, 4, 5},  {Tie, 6, -1, 5}, {Tie, 0, -1, -1}, {Rest, 0, -1, -1}, {Rest, 64, -1, -1}};
    for (const auto& [op, k, copied, changed] : cases)
    {
        Vst303Pattern p = numberedPattern(6, G | A);
        op == Step ? p.insertStep(k) : op == Tie ? p.insertTie(k) : p.insertRest(k);
        for (int i = 0; i < 64; ++i)
        {
            const int pitch = copied >= 0 && i > copied && i < 6 ? i - 1 : i;
            const int flags = i != changed ? G | A : op == Tie ? G | A | S : A;
            EXPECT_EQ(p.steps[i], stepOf(pitch, flags)) << "op " << op << " at " << k << ", step " << i;
        }
    }
}

// Headers read from files may hold any length 0..127: every operation works on the steps that
// exist (none for 0, all 64 above 64), never writes past step 63 and keeps the stored length.
TEST(PatternBadLength, EveryOperationStaysInsideTheRecord)
{
    for (int length : {0, 1, 64, 65, 127})
    {
        SCOPED_TRACE(length);
        const int count = length < 64 ? length : 64;
        GuardedPattern g;
        Vst303Pattern& p = g.pattern = numberedPattern(64, 0x3F);
        p.header = 0x80000000u | static_cast<uint32_t>(length);
        std::srand(static_cast<unsigned>(length));
        p.Transpose(1);
        p.tidy303Pattern();
        p.Randomize();
        p.AlterPattern();
        p.AlterPattern2();
        p.insertStep(0);
        p.Clear(0);
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(p.steps[i], stepOf(i < count ? 0 : i, i < count ? 0 : 0x3F)) << i;

        for (int k : {-1000, -1, 63, 64, 127, 1000})
        {
            EXPECT_GE(p.getNoteLength(k), 1);
            p.insertStep(k);
            p.insertTie(k);
            p.insertRest(k);
            p.Shift(k);
            p.Transpose(k);
        }
        EXPECT_TRUE(g.intact());
        EXPECT_EQ(p.getLength(), length);
    }
}
