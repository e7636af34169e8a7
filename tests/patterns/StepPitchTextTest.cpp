#include <gtest/gtest.h>

#include <string>

#include "patterns/step_t.h"

TEST(StepPitchText, NameAndOctaveWithAndWithoutTheOctaveFlags)
{
    constexpr uint8_t U = step_t::kUp, D = step_t::kDown;
    struct Case
    {
        int pitch;
        uint8_t flags;
        const char* withFlags; // nullptr: octave digit outside '0'..'9', not checked
        const char* ignoringFlags;
    };
    const Case cases[] = {
        {0, 0, "C-3", "C-3"},  {0, U, "C-4", "C-3"},  {0, D, "C-2", "C-3"},     {0, U | D, "C-3", "C-3"},
        {-1, 0, "B-2", "B-2"}, {13, U, "C#5", "C#4"}, {-37, 0, nullptr, "B-0"}, {127, 0, nullptr, "G-9"},
    };
    for (const Case& c : cases)
    {
        const step_t step{static_cast<int8_t>(c.pitch), c.flags};
        char out[step_t::kPitchTextSize] = {'x', 'x', 'x', 'x'};
        step.getPitchTextIgnoreUpDown(out);
        EXPECT_EQ(std::string(out, 4), std::string(c.ignoringFlags) + '\0') << c.pitch;
        if (c.withFlags == nullptr) continue;
        step.getPitchText(out);
        EXPECT_EQ(std::string(out, 4), std::string(c.withFlags) + '\0') << c.pitch;
    }
}
