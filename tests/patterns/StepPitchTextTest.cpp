#include <gtest/gtest.h>

#include <string>

#include "patterns/step_t.h"

namespace
{
std::string pitchText(int pitch, uint8_t flags = 0)
{
    step_t step{static_cast<int8_t>(pitch), flags};
    char out[step_t::kPitchTextSize] = {'x', 'x', 'x', 'x'};
    step.getPitchText(out);
    EXPECT_EQ(out[3], '\0');
    return out;
}

std::string plainPitchText(int pitch, uint8_t flags = 0)
{
    step_t step{static_cast<int8_t>(pitch), flags};
    char out[step_t::kPitchTextSize] = {'x', 'x', 'x', 'x'};
    step.getPitchTextIgnoreUpDown(out);
    EXPECT_EQ(out[3], '\0');
    return out;
}
} // namespace

TEST(StepPitchText, NoteNameAndOctaveFollowPitchAndOctaveFlags)
{
    EXPECT_EQ(pitchText(0), "C-3");
    EXPECT_EQ(pitchText(0, step_t::kUp), "C-4");
    EXPECT_EQ(pitchText(0, step_t::kDown), "C-2");
    EXPECT_EQ(pitchText(0, step_t::kUp | step_t::kDown), "C-3");
    EXPECT_EQ(pitchText(-1), "B-2");
    EXPECT_EQ(pitchText(-12), "C-2");
    EXPECT_EQ(pitchText(-13), "B-1");
    EXPECT_EQ(pitchText(1), "C#3");
    EXPECT_EQ(pitchText(11), "B-3");
    EXPECT_EQ(pitchText(13, step_t::kUp), "C#5");
    EXPECT_EQ(pitchText(36), "C-6");
}

TEST(StepPitchText, IgnoreUpDownUsesBarePitchAndClampsTheOctaveDigit)
{
    EXPECT_EQ(plainPitchText(0), "C-3");
    EXPECT_EQ(plainPitchText(0, step_t::kUp), "C-3");
    EXPECT_EQ(plainPitchText(0, step_t::kDown), "C-3");
    EXPECT_EQ(plainPitchText(-1), "B-2");
    EXPECT_EQ(plainPitchText(-12), "C-2");
    EXPECT_EQ(plainPitchText(-36), "C-0");
    EXPECT_EQ(plainPitchText(-37), "B-0"); // pitch + 36 negative
    EXPECT_EQ(plainPitchText(-128), "E-0");
    EXPECT_EQ(plainPitchText(71), "B-8");
    EXPECT_EQ(plainPitchText(72), "C-9");
    EXPECT_EQ(plainPitchText(84), "C-9"); // quotient 10 clamps to '9'
    EXPECT_EQ(plainPitchText(127), "G-9");
}
