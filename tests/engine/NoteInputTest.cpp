#include <cstring>

#include <gtest/gtest.h>

#include "engine/EngineTestHelpers.h"

namespace
{
constexpr uint8_t kGate = step_t::kGate;
constexpr uint8_t kUp = step_t::kUp;
constexpr uint8_t kDown = step_t::kDown;
constexpr uint8_t kSlide = step_t::kSlide;
constexpr uint8_t kAccent = step_t::kAccent;
constexpr uint8_t kTie = step_t::kTie;

std::unique_ptr<Synth303> recordingSynth(int cursor = 0)
{
    auto synth = makeSynth();
    synth->stepRecord = 1;
    synth->editStep = cursor;
    return synth;
}

// The note a stored step sounds at in the sequencer.
int soundingNote(const step_t& s)
{
    return s.pitch + 36 + (s.has(kUp) ? 12 : 0) - (s.has(kDown) ? 12 : 0);
}
} // namespace

TEST(NoteInputPlaying, OverlappingKeysSlideAndEitherNoteOffEnds)
{
    for (int released : {60, 64})
    {
        auto synth = makeSynth();
        synth->NoteOn(60, 100);
        EXPECT_EQ(synth->trigger, 1);
        EXPECT_EQ(synth->gate, 1);
        EXPECT_EQ(synth->keyHeld, 1);
        EXPECT_FLOAT_EQ(synth->vcoFrequency, static_cast<float>(synth->noteFrequencyTable[60]));
        synth->trigger = 0;

        synth->NoteOn(64, 100);
        EXPECT_EQ(synth->trigger, 0);
        EXPECT_EQ(synth->slideActive, 1);
        EXPECT_EQ(synth->gate, 1);
        EXPECT_FLOAT_EQ(synth->vcoFrequency, static_cast<float>(synth->noteFrequencyTable[64]));

        synth->NoteOff(released);
        EXPECT_EQ(synth->gate, 0);
        EXPECT_EQ(synth->keyHeld, 0);
        EXPECT_EQ(synth->slideActive, 0);
    }
}

TEST(NoteInputPlaying, AccentThresholdAndVelocityZero)
{
    auto synth = makeSynth();
    synth->NoteOn(40, 101);
    EXPECT_EQ(synth->stepAccent, 1);
    EXPECT_EQ(synth->latchedAccent, 1);
    synth->NoteOff(40);
    synth->NoteOn(40, 100);
    EXPECT_EQ(synth->stepAccent, 0);
    EXPECT_EQ(synth->latchedAccent, 0);
    synth->NoteOff(40);

    synth->trigger = 0;
    synth->NoteOn(45, 0); // changes pitch, opens nothing
    EXPECT_EQ(synth->gate, 0);
    EXPECT_EQ(synth->trigger, 0);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, static_cast<float>(synth->noteFrequencyTable[45]));
}

TEST(NoteInputPlaying, NoteRangeAndCustomTuning)
{
    auto synth = makeSynth();
    synth->NoteOn(100, 90);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, static_cast<float>(synth->noteFrequencyTable[83]));
    synth->NoteOff(100);
    const float before = synth->vcoFrequency;
    synth->NoteOn(-3, 90); // a negative note leaves the frequency alone
    EXPECT_FLOAT_EQ(synth->vcoFrequency, before);
    synth->NoteOff(-3);

    synth->TuningMode = 1;
    synth->NoteOn(50, 90);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, static_cast<float>(synth->customTuningTable[50]));
}

TEST(NoteInputRecording, AccentAtVelocity101Only)
{
    auto synth = recordingSynth();
    synth->NoteOn(48, 101);
    synth->NoteOff(48);
    synth->NoteOn(48, 100);
    const Vst303Pattern& p = synth->patterns[0];
    EXPECT_TRUE(p.steps[0].has(kAccent));
    EXPECT_FALSE(p.steps[1].has(kAccent));
    EXPECT_EQ(synth->editStep, 2);
}

TEST(NoteInputRecording, PitchAndOctaveTable)
{
    auto synth = recordingSynth();
    synth->NoteOn(23, 100);
    synth->NoteOff(23);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 0);
    EXPECT_EQ(synth->patterns[0].steps[0].flags, kGate | kDown);

    synth->NoteOn(84, 100);
    synth->NoteOff(84);
    EXPECT_EQ(synth->patterns[0].steps[1].pitch, 35);
    EXPECT_EQ(synth->patterns[0].steps[1].flags, kGate | kUp);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, static_cast<float>(synth->noteFrequencyTable[83]));

    // Every note 24..83 is stored so that it plays back at the played note.
    for (int note = 24; note <= 83; ++note)
    {
        synth->editStep = 0;
        synth->NoteOn(note, 100);
        synth->NoteOff(note);
        const step_t s = synth->patterns[0].steps[0];
        EXPECT_EQ(soundingNote(s), note) << "note " << note;
        EXPECT_FALSE(s.has(kUp) && s.has(kDown));
    }
    synth->editStep = 0;
    synth->NoteOn(72, 100);
    EXPECT_EQ(synth->patterns[0].steps[0].flags, kGate);
    synth->NoteOff(72);
    synth->editStep = 0;
    synth->NoteOn(73, 100);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 25);
    EXPECT_EQ(synth->patterns[0].steps[0].flags, kGate | kUp);
}

TEST(NoteInputRecording, NoteOnKeepsTieAndSpareBitsOnly)
{
    auto synth = recordingSynth(3);
    synth->patterns[0].steps[3] = makeStep(9, kSlide | kUp | kAccent | kTie | 0x80);
    synth->NoteOn(30, 0); // velocity 0 still records
    EXPECT_EQ(synth->gate, 0);
    EXPECT_EQ(synth->patterns[0].steps[3].pitch, 6);
    EXPECT_EQ(synth->patterns[0].steps[3].flags, kGate | kDown | kTie | 0x80);
}

TEST(NoteInputRecording, CursorWrapsAtTheLastStep)
{
    auto synth = recordingSynth(15);
    synth->NoteOn(40, 100);
    EXPECT_EQ(synth->patterns[0].steps[15].pitch, 4);
    EXPECT_EQ(synth->editStep, 0);

    synth = recordingSynth(0);
    synth->patterns[0].setLength(1);
    synth->NoteOn(40, 100);
    EXPECT_EQ(synth->editStep, 0);
}

TEST(NoteInputRecording, SlideRecordsIntoThePreviousStep)
{
    auto synth = recordingSynth(4);
    Vst303Pattern& p = synth->patterns[0];
    p.steps[5] = makeStep(0, kDown | kAccent | kTie); // a rest with leftovers
    synth->NoteOn(48, 100);                           // step 4, cursor 5
    synth->trigger = 0;
    synth->NoteOn(60, 80); // second key: slides, records step 5
    EXPECT_EQ(synth->trigger, 0);
    EXPECT_TRUE(p.steps[4].has(kSlide));
    EXPECT_EQ(p.steps[5].pitch, 24);
    EXPECT_EQ(p.steps[5].flags, kGate | kTie); // octave and accent from this note, slide removed
    EXPECT_EQ(synth->editStep, 6);
    EXPECT_EQ(synth->lastNote, 60);
}

TEST(NoteInputRecording, SlideToTheSameNoteRecordsNothing)
{
    auto synth = recordingSynth();
    synth->NoteOn(50, 100);
    const Vst303Pattern before = synth->patterns[0];
    synth->SlideTo(50, 100);
    EXPECT_EQ(synth->editStep, 1);
    EXPECT_EQ(0, std::memcmp(&before, &synth->patterns[0], sizeof(Vst303Pattern)));
}

TEST(NoteInputRecording, SlideAtCursorZeroMarksTheLastStep)
{
    auto synth = recordingSynth();
    synth->patterns[0].setLength(8);
    synth->keyHeld = 1;
    synth->lastNote = 40;
    synth->SlideTo(50, 100);
    EXPECT_TRUE(synth->patterns[0].steps[7].has(kSlide));
    EXPECT_FALSE(synth->patterns[0].steps[15].has(kSlide));
    EXPECT_EQ(synth->patterns[0].steps[0].flags, kGate);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 14);
}

TEST(NoteInputRecording, CursorBeyondTheLengthRecordsInsideIt)
{
    // After the length was shortened the cursor may stand beyond it; the note lands on
    // cursor mod length and the slide on the step before that one.
    auto synth = recordingSynth(20);
    synth->keyHeld = 1;
    synth->lastNote = 40;
    synth->SlideTo(52, 100);
    const Vst303Pattern& p = synth->patterns[0];
    EXPECT_EQ(p.steps[4].pitch, 16);
    EXPECT_TRUE(p.steps[3].has(kSlide));
    EXPECT_FALSE(p.steps[19].has(kSlide));

    synth = recordingSynth(-3);
    synth->NoteOn(40, 100);
    EXPECT_EQ(synth->patterns[0].steps[13].pitch, 4);

    synth = recordingSynth(0);
    synth->patterns[0].header = 0; // damaged length: recorded as one step
    synth->NoteOn(40, 100);
    EXPECT_EQ(synth->patterns[0].steps[0].pitch, 4);
    EXPECT_EQ(synth->editStep, 0);
}
