#include <climits>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/EngineTestHelpers.h"
#include "engine/SwitchBoardCommands.h"

using namespace oxn3;

namespace
{
constexpr uint8_t kGate = step_t::kGate;

// The parts of the engine any command may change.
struct EditState
{
    Vst303Pattern bank[kNumPatterns];
    int editStep, autoAdvance, running, runRequest, detuneEnabled, keyHeld, gate, playStep;
    double cycleRatio0;

    explicit EditState(const Synth303& s)
        : editStep(s.editStep), autoAdvance(s.autoAdvance), running(s.running), runRequest(s.runRequest),
          detuneEnabled(s.detuneEnabled), keyHeld(s.keyHeld), gate(s.gate), playStep(s.playStep),
          cycleRatio0(s.cycleRatio[0])
    {
        std::memcpy(bank, s.patterns, sizeof(bank));
    }

    bool operator==(const EditState& o) const
    {
        return std::memcmp(bank, o.bank, sizeof(bank)) == 0 && editStep == o.editStep &&
               autoAdvance == o.autoAdvance && running == o.running && runRequest == o.runRequest &&
               detuneEnabled == o.detuneEnabled && keyHeld == o.keyHeld && gate == o.gate &&
               playStep == o.playStep && cycleRatio0 == o.cycleRatio0;
    }
};

std::unique_ptr<Synth303> numberedSynth()
{
    auto synth = makeSynth();
    for (int i = 0; i < Vst303Pattern::kMaxSteps; ++i)
        synth->patterns[0].steps[i] = makeStep(i % 37, kGate);
    return synth;
}

int pitchAtCursor(const Synth303& s)
{
    return s.patterns[0].steps[s.editStep].pitch;
}
} // namespace

TEST(SwitchBoardIgnored, UnassignedNumbersDoNothing)
{
    auto synth = numberedSynth();
    synth->editStep = 5;
    synth->keyHeld = 1;
    synth->gate = 1;
    const EditState before(*synth);
    for (int command : {50, -1, -1000, INT_MIN, 29, 35, 41, 48, 500, 999, 1001, 5000, INT_MAX})
    {
        synth->SwitchBoard(command);
        EXPECT_TRUE(EditState(*synth) == before) << "command " << command;
    }
}

TEST(SwitchBoardLength, LimitsKeepTripletAndSteps)
{
    auto synth = numberedSynth();
    Vst303Pattern& p = synth->patterns[0];
    p.setLength(64);
    synth->SwitchBoard(kCommandLengthUp);
    EXPECT_EQ(p.getLength(), 64);

    p.setLength(1);
    synth->SwitchBoard(kCommandLengthDown);
    EXPECT_EQ(p.getLength(), 1);

    p.setLength(16);
    p.setTriplet(1);
    synth->editStep = 15;
    synth->SwitchBoard(kCommandLengthDown);
    EXPECT_EQ(p.getLength(), 15);
    EXPECT_EQ(p.getTriplet(), 1);
    EXPECT_EQ(synth->editStep, 15); // the cursor is not clamped
    synth->SwitchBoard(kCommandLengthUp);
    EXPECT_EQ(p.getLength(), 16);
    EXPECT_EQ(p.steps[15].pitch, 15); // the step beyond the length came back unchanged

    p.header = 100; // damaged length: the next change lands inside 1..64
    synth->SwitchBoard(kCommandLengthDown);
    EXPECT_EQ(p.getLength(), 64);
}

TEST(SwitchBoardCursor, WrapAndStopRules)
{
    auto synth = numberedSynth();
    synth->editStep = 0;
    synth->SwitchBoard(kCommandCursorBack);
    EXPECT_EQ(synth->editStep, 15);
    synth->SwitchBoard(kCommandCursorAdvance);
    EXPECT_EQ(synth->editStep, 15);
    synth->SwitchBoard(kCommandCursorForward);
    EXPECT_EQ(synth->editStep, 0);
    synth->SwitchBoard(kCommandCursorForward);
    EXPECT_EQ(synth->editStep, 1);
    synth->SwitchBoard(kCommandCursorBack);
    EXPECT_EQ(synth->editStep, 0);
    synth->editStep = 9;
    synth->SwitchBoard(kCommandCursorHome);
    EXPECT_EQ(synth->editStep, 0);
}

TEST(SwitchBoardNoteEntry, SameKeyCyclesTheOctave)
{
    auto synth = numberedSynth();
    synth->editStep = 7;
    const int expectedHighC[] = {12, 24, 36, 12};
    for (int expected : expectedHighC)
    {
        synth->SwitchBoard(kCommandNoteHighC);
        EXPECT_EQ(pitchAtCursor(*synth), expected);
    }

    synth->editStep = 0; // pitch 0
    for (int expected : {12, 24, 0})
    {
        synth->SwitchBoard(0);
        EXPECT_EQ(pitchAtCursor(*synth), expected);
    }

    synth->editStep = 5;
    for (int expected : {17, 29, 5})
    {
        synth->SwitchBoard(5);
        EXPECT_EQ(pitchAtCursor(*synth), expected);
    }

    synth->patterns[0].steps[5].flags = kGate | step_t::kAccent | step_t::kUp;
    synth->SwitchBoard(9); // another key: that note
    EXPECT_EQ(pitchAtCursor(*synth), 9);
    EXPECT_EQ(synth->patterns[0].steps[5].flags, kGate | step_t::kAccent | step_t::kUp);
    EXPECT_EQ(synth->editStep, 5);

    synth->patterns[0].steps[5].pitch = -7; // remainder keeps the sign: no match with key 5
    synth->SwitchBoard(5);
    EXPECT_EQ(pitchAtCursor(*synth), 5);
}

TEST(SwitchBoardNoteEntry, AutoAdvanceWritesAndMovesOn)
{
    auto synth = numberedSynth();
    synth->patterns[0].setLength(4);
    synth->SwitchBoard(kCommandAutoAdvance);
    ASSERT_EQ(synth->autoAdvance, 1);
    for (int press = 0; press < 5; ++press)
        synth->SwitchBoard(3);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(synth->patterns[0].steps[i].pitch, 3);
    EXPECT_EQ(synth->patterns[0].steps[4].pitch, 4);
    EXPECT_EQ(synth->editStep, 1); // wrapped at the length
}

TEST(SwitchBoardNoteEntry, AutoAdvanceTwiceLeavesTheCursorAtZero)
{
    auto synth = numberedSynth();
    synth->editStep = 6;
    synth->SwitchBoard(kCommandAutoAdvance);
    EXPECT_EQ(synth->editStep, 6);
    synth->SwitchBoard(kCommandAutoAdvance);
    EXPECT_EQ(synth->autoAdvance, 0);
    EXPECT_EQ(synth->editStep, 0);
}

TEST(SwitchBoardSteps, FlagTogglesAndInserts)
{
    auto synth = numberedSynth();
    synth->editStep = 2;
    const struct
    {
        int command;
        uint8_t flag;
    } toggles[] = {{kCommandToggleGate, kGate},
                   {kCommandToggleDown, step_t::kDown},
                   {kCommandToggleUp, step_t::kUp},
                   {kCommandToggleAccent, step_t::kAccent},
                   {kCommandToggleSlide, step_t::kSlide}};
    for (const auto& t : toggles)
    {
        const uint8_t before = synth->patterns[0].steps[2].flags;
        synth->SwitchBoard(t.command);
        EXPECT_EQ(synth->patterns[0].steps[2].flags, before ^ t.flag);
    }

    synth = numberedSynth();
    synth->editStep = 3;
    synth->SwitchBoard(kCommandInsertRest);
    EXPECT_EQ(synth->patterns[0].steps[3].pitch, 2);
    EXPECT_FALSE(synth->patterns[0].steps[3].has(kGate));
    EXPECT_EQ(synth->editStep, 4);

    synth->editStep = 15;
    synth->SwitchBoard(kCommandInsertTie);
    EXPECT_TRUE(synth->patterns[0].steps[14].has(step_t::kSlide));
    EXPECT_EQ(synth->editStep, 15);

    synth->editStep = 200; // a cursor outside the record edits nothing
    const EditState before(*synth);
    synth->SwitchBoard(kCommandToggleGate);
    synth->SwitchBoard(4);
    EXPECT_TRUE(EditState(*synth) == before);
}

TEST(SwitchBoardPattern, ClearAndWholePatternEdits)
{
    auto synth = numberedSynth();
    synth->editStep = 9;
    synth->clearGateValue = 0;
    synth->SwitchBoard(kCommandClear);
    EXPECT_EQ(synth->editStep, 0);
    EXPECT_EQ(synth->patterns[0].steps[5].flags, 0);
    EXPECT_EQ(synth->patterns[0].steps[5].pitch, 0);

    synth = numberedSynth();
    synth->SwitchBoard(kCommandShiftLater);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 15);
    synth->SwitchBoard(kCommandShiftEarlier);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 0);
    synth->SwitchBoard(kCommandTransposeDown);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 36);
    synth->SwitchBoard(kCommandTransposeUp);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 0);

    synth->SwitchBoard(kCommandAlter);
    int sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += synth->patterns[0].steps[i].pitch;
    EXPECT_EQ(sum, 120); // a reordering of 0..15

    std::srand(7);
    synth->SwitchBoard(kCommandRandomize);
    for (int i = 0; i < 16; ++i)
        EXPECT_LE(synth->patterns[0].steps[i].pitch, 13);
}

TEST(SwitchBoardRunStop, ToggleStartsFromStepZeroAndStopsTheVoice)
{
    auto synth = numberedSynth();
    synth->playStep = 6;
    synth->stepPhase = 0.4;
    synth->SwitchBoard(kCommandRunStop);
    EXPECT_EQ(synth->running, 1);
    EXPECT_EQ(synth->runRequest, 1);
    EXPECT_EQ(synth->playStep, 0);
    EXPECT_EQ(synth->stepPhase, 0.0);
    EXPECT_EQ(synth->stepSampleCounter, 0);

    runClock(*synth, 100);
    synth->keyHeld = 1;
    synth->slideActive = 1;
    synth->SwitchBoard(kCommandRunStop);
    EXPECT_EQ(synth->running, 0);
    EXPECT_EQ(synth->runRequest, 0);
    EXPECT_EQ(synth->keyHeld, 0);
    EXPECT_EQ(synth->gate, 0);
    EXPECT_EQ(synth->slideActive, 0);
}

TEST(SwitchBoardDetune, Command1000TogglesCycleRatio)
{
    auto synth = makeSynth();
    ASSERT_EQ(synth->detuneEnabled, 1);
    synth->SwitchBoard(kCommandDetune);
    EXPECT_EQ(synth->detuneEnabled, 0);
    EXPECT_EQ(synth->cycleRatio[0], 1.0);
    EXPECT_EQ(synth->cycleRatio[1], 1.0007);
    synth->SwitchBoard(kCommandDetune);
    EXPECT_EQ(synth->detuneEnabled, 1);
    EXPECT_EQ(synth->cycleRatio[0], 1.0015);
}
