#include <climits>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "engine/Synth303.h"
#include "patterns/PatternTestHelpers.h"
#include "engine/SwitchBoardCommands.h"

using namespace oxn3;

namespace
{
constexpr int kGate = step_t::kGate, kDown = step_t::kDown, kUp = step_t::kUp;
constexpr int kAccent = step_t::kAccent, kSlide = step_t::kSlide;
constexpr uint32_t kTriplet = Vst303Pattern::kTripletBit;

// Pattern 0 of `header` (16 steps unless given) with step i at pitch i, gated; the cursor at `cursor`.
std::unique_ptr<Synth303> numberedSynth(int cursor, uint32_t header = 16)
{
    auto synth = std::make_unique<Synth303>();
    synth->patterns[0] = numberedPattern(16);
    synth->patterns[0].header = header;
    synth->editStep = cursor;
    return synth;
}
} // namespace

TEST(SwitchBoard, UnassignedNumbersAndACursorOutsideTheRecordDoNothing)
{
    const auto editState = [](const Synth303& s)
    {
        return std::make_tuple(std::string(reinterpret_cast<const char*>(s.patterns), sizeof s.patterns),
                               s.editStep, s.autoAdvance, s.running, s.runRequest, s.keyHeld, s.gate,
                               s.detuneEnabled, s.playStep, s.cycleRatio[0]);
    };
    const std::pair<int, std::vector<int>> cases[] = {
        {5, {50, -1, INT_MIN, 29, 35, 41, 48, 999, 1001, INT_MAX}},
        {200, {kCommandToggleGate, kCommandToggleSlide, 4, kCommandNoteHighC}}};
    for (const auto& [cursor, commands] : cases)
    {
        auto synth = numberedSynth(cursor);
        synth->keyHeld = synth->gate = 1;
        const auto before = editState(*synth);
        for (int command : commands)
        {
            synth->SwitchBoard(command);
            EXPECT_TRUE(editState(*synth) == before) << "command " << command << " cursor " << cursor;
        }
    }
}

TEST(SwitchBoard, OneCommandOnTheStepAtTheCursor)
{
    // {cursor, command, step looked at, its pitch and flags after, cursor after} on 16 steps of
    // pitch i; clears use gate value 0; inserting at the last step does not wrap the cursor.
    // clang-format off
    const int cases[][6] = {
        {2, kCommandToggleGate, 2, 2, 0, 2}, {2, kCommandToggleDown, 2, 2, kGate | kDown, 2},
        {2, kCommandToggleUp, 2, 2, kGate | kUp, 2}, {2, kCommandToggleAccent, 2, 2, kGate | kAccent, 2},
        {2, kCommandToggleSlide, 2, 2, kGate | kSlide, 2}, {3, kCommandInsertRest, 3, 2, 0, 4},
        {15, kCommandInsertTie, 14, 14, kGate | kSlide, 15}, {9, kCommandClear, 5, 0, 0, 0},
        {0, kCommandShiftLater, 0, 15, kGate, 0}, {0, kCommandShiftEarlier, 0, 1, kGate, 0},
        {0, kCommandTransposeDown, 0, 36, kGate, 0}, {0, kCommandTransposeUp, 0, 1, kGate, 0},
        {0, kCommandCursorBack, 0, 0, kGate, 15}, {15, kCommandCursorAdvance, 0, 0, kGate, 15},
        {15, kCommandCursorForward, 0, 0, kGate, 0}, {0, kCommandCursorForward, 0, 0, kGate, 1},
        {9, kCommandCursorHome, 0, 0, kGate, 0}};
    // clang-format on
    for (const auto& [cursor, command, step, pitch, flags, cursorAfter] : cases)
    {
        auto synth = numberedSynth(cursor);
        synth->clearGateValue = 0;
        synth->SwitchBoard(command);
        EXPECT_EQ(synth->patterns[0].steps[step], stepOf(pitch, flags)) << "command " << command;
        EXPECT_EQ(synth->editStep, cursorAfter) << "command " << command;
    }
}

TEST(SwitchBoard, LengthLimitsKeepTripletStepsAndCursor)
{
    // {header, command, header after}; header 100 is a damaged length
    const std::tuple<uint32_t, int, uint32_t> cases[] = {{64, kCommandLengthUp, 64},
                                                         {1, kCommandLengthDown, 1},
                                                         {16 | kTriplet, kCommandLengthDown, 15 | kTriplet},
                                                         {100, kCommandLengthDown, 64}};
    for (const auto& [header, command, headerAfter] : cases)
    {
        auto synth = numberedSynth(15, header);
        synth->SwitchBoard(command);
        EXPECT_EQ(synth->patterns[0].header, headerAfter) << header;
        EXPECT_EQ(synth->patterns[0].steps[15], stepOf(15, kGate)) << header; // beyond the length: kept
        EXPECT_EQ(synth->editStep, 15) << header;                               // not clamped
    }
}

TEST(SwitchBoard, NoteKeyWritesTheNoteOrCyclesTheOctave)
{
    // {step's pitch, key, pitches after each press}; the flags and the cursor stay
    const std::tuple<int, int, std::vector<int>> cases[] = {
        {7, kCommandNoteHighC, {12, 24, 36, 12}},
        {5, 5, {17, 29, 5}},
        {23, 11, {35, 11}}, // raised up to pitch 23
    };
    for (const auto& [pitch, key, presses] : cases)
    {
        SCOPED_TRACE(key);
        auto synth = numberedSynth(5);
        step_t& step = synth->patterns[0].steps[5];
        step = stepOf(pitch, kGate | kAccent | kUp);
        for (int expected : presses)
        {
            synth->SwitchBoard(key);
            EXPECT_EQ(step.pitch, expected);
        }
        EXPECT_EQ(step.flags, kGate | kAccent | kUp);
        EXPECT_EQ(synth->editStep, 5);
    }
}

TEST(SwitchBoard, AutoAdvanceWritesTheKeyAndMovesOnUntilSwitchedOff)
{
    auto synth = numberedSynth(2, 4);
    synth->SwitchBoard(kCommandAutoAdvance);
    EXPECT_EQ(synth->autoAdvance, 1);
    EXPECT_EQ(synth->editStep, 2);
    for (int press = 0; press < 5; ++press)
        synth->SwitchBoard(3);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(synth->patterns[0].steps[i].pitch, i < 4 ? 3 : 4) << i;
    EXPECT_EQ(synth->editStep, 3); // wrapped at the length
    synth->SwitchBoard(kCommandAutoAdvance);
    EXPECT_EQ(synth->autoAdvance + synth->editStep, 0);
}

TEST(SwitchBoard, RunStopAndDetuneToggles)
{
    auto synth = numberedSynth(0);
    synth->playStep = synth->stepSampleCounter = 5;
    synth->SwitchBoard(kCommandRunStop); // starts from step 0...
    EXPECT_EQ(synth->playStep + synth->stepSampleCounter, 0);
    EXPECT_EQ(synth->running + synth->runRequest, 2);
    synth->keyHeld = synth->gate = synth->slideActive = 1;
    synth->SwitchBoard(kCommandRunStop); // ...and stopping silences the voice
    EXPECT_EQ(synth->running + synth->runRequest + synth->keyHeld + synth->gate + synth->slideActive, 0);

    for (auto [enabled, ratio] : {std::pair{0, 1.0}, std::pair{1, 1.0015}})
    {
        synth->SwitchBoard(kCommandDetune);
        EXPECT_EQ(synth->detuneEnabled, enabled);
        EXPECT_EQ(synth->cycleRatio[0], ratio);
        EXPECT_EQ(synth->cycleRatio[1], 1.0007);
    }
}
