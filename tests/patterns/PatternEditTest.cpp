#include <gtest/gtest.h>

#include "PatternTestHelpers.h"

TEST(PatternRecord, NewPatternIsSixteenPlainStepsWithoutTriplet)
{
    Vst303Pattern p;
    EXPECT_EQ(p.header, 16u);
    EXPECT_EQ(p.getLength(), 16);
    EXPECT_EQ(p.getTriplet(), 0);
    for (const step_t& s : p.steps)
    {
        EXPECT_EQ(s.pitch, 0);
        EXPECT_EQ(s.flags, 0);
    }
}

TEST(PatternRecord, TripletAndLengthKeepTheOtherHeaderBits)
{
    Vst303Pattern p;
    p.header = 0x00012300u | 16u;
    p.setTriplet(3); // only bit 0 counts
    EXPECT_EQ(p.header, 0x80012310u);
    EXPECT_EQ(p.getTriplet(), 1);
    p.setLength(200);
    EXPECT_EQ(p.header, 0x80012340u);
    p.setLength(0);
    EXPECT_EQ(p.getLength(), 1);
    p.setTriplet(0);
    EXPECT_EQ(p.header, 0x00012301u);
}

TEST(PatternClear, ClearsWithinTheLengthOnlyAndDropsTriplet)
{
    Vst303Pattern p = numberedPattern(8, step_t::kSlide | step_t::kTie | 0x80);
    p.setTriplet(1);
    const Vst303Pattern before = p;
    p.Clear();
    EXPECT_EQ(p.getTriplet(), 0);
    EXPECT_EQ(p.getLength(), 8);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(p.steps[i].pitch, 0);
        EXPECT_EQ(p.steps[i].flags, step_t::kGate);
    }
    for (int i = 8; i < 64; ++i)
    {
        EXPECT_EQ(p.steps[i].pitch, before.steps[i].pitch);
        EXPECT_EQ(p.steps[i].flags, before.steps[i].flags);
    }

    p.setTriplet(1);
    p.Clear(0);
    EXPECT_EQ(p.getTriplet(), 0);
    EXPECT_EQ(p.steps[3].flags, 0);
    p.Clear(7);
    EXPECT_EQ(p.steps[3].flags, step_t::kGate);
    EXPECT_EQ(p.steps[8].flags, before.steps[8].flags);
}

TEST(PatternNoteLength, CountsTiedStepsUpToTheEndOfTheLength)
{
    Vst303Pattern p = numberedPattern(8);
    p.steps[2].flags |= step_t::kTie;
    p.steps[3].flags |= step_t::kTie;
    EXPECT_EQ(p.getNoteLength(1), 3);
    EXPECT_EQ(p.getNoteLength(2), 2);
    EXPECT_EQ(p.getNoteLength(0), 1);
    EXPECT_EQ(p.getNoteLength(7), 1); // last step within the length

    for (int i = 5; i < 64; ++i) // a tie run that reaches the end stops there
        p.steps[i].flags |= step_t::kTie;
    EXPECT_EQ(p.getNoteLength(4), 4);
    EXPECT_EQ(p.getNoteLength(-1), 1);
    EXPECT_EQ(p.getNoteLength(63), 1);
    EXPECT_EQ(p.getNoteLength(1000), 1);
}

TEST(PatternTranspose, WrapsAroundZeroToThirtySixAndKeepsFlags)
{
    Vst303Pattern p = numberedPattern(3, step_t::kGate | step_t::kTie | 0x40);
    p.steps[0].pitch = 36;
    p.steps[1].pitch = 0;
    p.steps[2].pitch = -12;
    p.Transpose(1);
    EXPECT_EQ(p.steps[0].pitch, 0);
    EXPECT_EQ(p.steps[1].pitch, 1);
    EXPECT_EQ(p.steps[2].pitch, -11 + 37); // p < 0 wraps by 37
    EXPECT_EQ(p.steps[3].pitch, 3);        // beyond the length
    EXPECT_EQ(p.steps[0].flags, step_t::kGate | step_t::kTie | 0x40);

    p.steps[0].pitch = 0;
    p.steps[1].pitch = -12;
    p.steps[2].pitch = 36;
    p.Transpose(-1);
    EXPECT_EQ(p.steps[0].pitch, 36);
    EXPECT_EQ(p.steps[1].pitch, 24);
    EXPECT_EQ(p.steps[2].pitch, 35);
}

TEST(PatternShift, RotatesWithinTheLengthAndBackAgain)
{
    Vst303Pattern p = numberedPattern(5);
    p.steps[4].flags = step_t::kAccent;
    const Vst303Pattern original = p;

    p.Shift(1);
    EXPECT_EQ(p.steps[0].pitch, 4);
    EXPECT_EQ(p.steps[0].flags, step_t::kAccent);
    EXPECT_EQ(p.steps[1].pitch, 0);
    EXPECT_EQ(p.steps[4].pitch, 3);
    EXPECT_EQ(p.steps[5].pitch, 5); // beyond the length
    p.Shift(-1);
    EXPECT_TRUE(sameRecord(p, original));

    p.Shift(-1);
    EXPECT_EQ(p.steps[0].pitch, 1);
    EXPECT_EQ(p.steps[4].pitch, 0);
    p.Shift(1);
    EXPECT_TRUE(sameRecord(p, original));

    Vst303Pattern one = numberedPattern(1);
    const Vst303Pattern oneBefore = one;
    one.Shift(1);
    EXPECT_TRUE(sameRecord(one, oneBefore));
    one.Shift(-1);
    EXPECT_TRUE(sameRecord(one, oneBefore));
}

TEST(PatternShift, ShiftsLongerThanTheLengthWrapAround)
{
    Vst303Pattern p = numberedPattern(5);
    Vst303Pattern q = p;
    p.Shift(7);
    q.Shift(2);
    EXPECT_TRUE(sameRecord(p, q));
    p.Shift(-12);
    q.Shift(-2);
    EXPECT_TRUE(sameRecord(p, q));
}

TEST(PatternInsertStep, DuplicatesStepAndDropsTheLast)
{
    Vst303Pattern p = numberedPattern(6);
    p.insertStep(2);
    const int expected[] = {0, 1, 2, 2, 3, 4, 6};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(p.steps[i].pitch, expected[i]) << "step " << i;

    const Vst303Pattern before = p;
    p.insertStep(5); // last step: nothing to move within the length
    p.insertStep(6);
    p.insertStep(-1);
    EXPECT_TRUE(sameRecord(p, before));
}

TEST(PatternInsertTie, SlideIntoACopyOfThePreviousStep)
{
    Vst303Pattern p = numberedPattern(6);
    p.insertTie(2);
    const int expected[] = {0, 1, 1, 2, 3, 4, 6};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(p.steps[i].pitch, expected[i]) << "step " << i;
    EXPECT_EQ(p.steps[1].flags, step_t::kGate | step_t::kSlide);
    EXPECT_EQ(p.steps[2].flags, step_t::kGate);

    const Vst303Pattern before = p;
    p.insertTie(0);
    EXPECT_TRUE(sameRecord(p, before));
}

TEST(PatternInsertTie, AtOrBeyondTheEndOnlySetsTheSlide)
{
    Vst303Pattern p = numberedPattern(6);
    p.insertTie(5); // k == length - 1: step 4 moves onto 5, step 5 is lost
    EXPECT_EQ(p.steps[5].pitch, 4);
    EXPECT_EQ(p.steps[4].flags, step_t::kGate | step_t::kSlide);
    EXPECT_EQ(p.steps[6].pitch, 6);

    Vst303Pattern q = numberedPattern(6);
    q.insertTie(6); // k >= length: no move
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(q.steps[i].pitch, i);
    EXPECT_EQ(q.steps[5].flags, step_t::kGate | step_t::kSlide);
    EXPECT_EQ(q.steps[6].flags, step_t::kGate);
}

TEST(PatternInsertRest, RestCopiedFromThePreviousStep)
{
    Vst303Pattern p = numberedPattern(6, step_t::kGate | step_t::kAccent);
    p.insertRest(3);
    const int expected[] = {0, 1, 2, 2, 3, 4, 6};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(p.steps[i].pitch, expected[i]) << "step " << i;
    EXPECT_EQ(p.steps[3].flags, step_t::kAccent);
    EXPECT_EQ(p.steps[2].flags, step_t::kGate | step_t::kAccent);

    const Vst303Pattern before = p;
    p.insertRest(0);
    p.insertRest(-5);
    EXPECT_TRUE(sameRecord(p, before));
}

TEST(PatternInsertRest, AtOrBeyondTheEndOnlyClearsThatGate)
{
    Vst303Pattern p = numberedPattern(6);
    p.insertRest(5); // k == length - 1
    EXPECT_EQ(p.steps[5].pitch, 4);
    EXPECT_EQ(p.steps[5].flags, 0);

    Vst303Pattern q = numberedPattern(6);
    q.insertRest(10); // k >= length: no move, gate of step k cleared
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(q.steps[i].pitch, i);
    EXPECT_EQ(q.steps[10].flags, 0);
    EXPECT_EQ(q.steps[9].flags, step_t::kGate);

    const Vst303Pattern before = q;
    q.insertRest(64);
    q.insertRest(1000);
    EXPECT_TRUE(sameRecord(q, before));
}
