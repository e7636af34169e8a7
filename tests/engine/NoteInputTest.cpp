#include <gtest/gtest.h>

#include "engine/EngineTestHelpers.h"

namespace
{
constexpr int kGate = step_t::kGate;
constexpr int kUp = step_t::kUp;
constexpr int kDown = step_t::kDown;
constexpr int kSlide = step_t::kSlide;
constexpr int kAccent = step_t::kAccent;
constexpr int kTie = step_t::kTie;

std::unique_ptr<Synth303> recordingSynth(int cursor, int length = 16)
{
    auto synth = makeSynth();
    synth->stepRecord = 1;
    synth->editStep = cursor;
    synth->patterns[0].header = static_cast<uint32_t>(length);
    return synth;
}
} // namespace

TEST(NoteInput, OverlappingKeysSlideAndEitherNoteOffEnds)
{
    for (int released : {60, 64})
    {
        auto synth = makeSynth();
        synth->NoteOn(60, 100);
        EXPECT_EQ(synth->trigger + synth->keyHeld, 2);
        synth->trigger = 0;
        synth->NoteOn(64, 100);
        EXPECT_EQ(synth->trigger, 0);
        EXPECT_EQ(synth->slideActive + synth->gate, 2);
        EXPECT_FLOAT_EQ(synth->vcoFrequency, static_cast<float>(synth->noteFrequencyTable[64]));
        synth->NoteOff(released);
        EXPECT_EQ(synth->gate + synth->keyHeld + synth->slideActive, 0) << released;
    }
}

TEST(NoteInput, NoteSoundsAndIsRecordedAtTheCursor)
{
    // {note, velocity, TuningMode, old flags; table entry sounding (-1: unchanged), gate and
    // trigger, accent, recorded pitch and flags}. Velocity 0 opens nothing but records.
    // clang-format off
    const int cases[][9] = {
        {40, 101, 0, 0, 40, 1, 1, 4, kGate | kAccent},      {40, 100, 0, 0, 40, 1, 0, 4, kGate},
        {30, 0, 0, kSlide | kUp | kAccent | kTie | 0x80, 30, 0, 1, 6, kGate | kDown | kTie | 0x80},
        {-3, 90, 0, 0, -1, 1, 0, 0, kGate | kDown},         {50, 90, 1, 0, 50, 1, 0, 14, kGate},
        {23, 90, 0, 0, 23, 1, 0, 0, kGate | kDown},         {73, 90, 0, 0, 73, 1, 0, 25, kGate | kUp},
        {84, 90, 0, 0, 83, 1, 0, 35, kGate | kUp},          {72, 90, 0, 0, 72, 1, 0, 36, kGate},
        {24, 90, 0, 0, 24, 1, 0, 0, kGate | kDown}};
    // clang-format on
    for (const auto& [note, velocity, tuningMode, oldFlags, entry, gate, accent, pitch, flags] : cases)
    {
        SCOPED_TRACE(note);
        auto synth = recordingSynth(3);
        synth->TuningMode = tuningMode;
        synth->stepAccent = synth->latchedAccent = 1;
        synth->patterns[0].steps[3] = makeStep(9, oldFlags);
        const double* table = tuningMode ? synth->customTuningTable : synth->noteFrequencyTable;
        const float expected = entry < 0 ? synth->vcoFrequency : static_cast<float>(table[entry]);
        synth->NoteOn(note, velocity);
        EXPECT_FLOAT_EQ(synth->vcoFrequency, expected);
        EXPECT_TRUE(synth->gate == gate && synth->trigger == gate);
        EXPECT_TRUE(synth->stepAccent == accent && synth->latchedAccent == accent);
        EXPECT_EQ(synth->patterns[0].steps[3], makeStep(pitch, flags));
        EXPECT_EQ(synth->editStep, 4);
    }
}

TEST(NoteInput, RecordingCursorWrapsAndStaysInsideTheLength)
{
    // {length, cursor, step written, cursor after}; length 0 is damaged
    const int cases[][4] = {{16, 15, 15, 0}, {1, 0, 0, 0}, {16, 20, 4, 0}, {16, -3, 13, -2}, {0, 0, 0, 0}};
    for (const auto& [length, cursor, written, cursorAfter] : cases)
    {
        auto synth = recordingSynth(cursor, length);
        synth->NoteOn(40, 100);
        EXPECT_EQ(synth->patterns[0].steps[written].pitch, 4) << cursor;
        EXPECT_EQ(synth->editStep, cursorAfter) << cursor;
    }
}

TEST(NoteInput, SlideRecordsASlideFromThePreviousStep)
{
    // A second key while note 40 is held slides from the step before the cursor.
    // {length, cursor, note, velocity, old flags, step given the slide, pitch, flags, cursor after}
    const int cases[][9] = {{16, 5, 60, 80, kDown | kAccent | kTie, 4, 24, kGate | kTie, 6},
                            {8, 0, 50, 100, 0, 7, 14, kGate, 1},
                            {16, 20, 52, 100, 0, 3, 16, kGate, 0},
                            {16, 5, 40, 100, 0, -1, 9, 0, 5}}; // the held note again: nothing recorded
    for (const auto& [length, cursor, note, velocity, oldFlags, slid, pitch, flags, cursorAfter] : cases)
    {
        SCOPED_TRACE(cursor);
        auto synth = recordingSynth(cursor, length);
        step_t* steps = synth->patterns[0].steps;
        steps[cursor % length] = makeStep(9, oldFlags);
        synth->keyHeld = 1;
        synth->lastNote = 40;
        synth->NoteOn(note, velocity);
        EXPECT_EQ(synth->trigger, 0);
        for (int i = 0; i < Vst303Pattern::kMaxSteps; ++i)
            EXPECT_EQ(steps[i].has(step_t::kSlide), i == slid) << i;
        EXPECT_EQ(steps[cursor % length], makeStep(pitch, flags));
        EXPECT_EQ(synth->editStep, cursorAfter);
    }
}
