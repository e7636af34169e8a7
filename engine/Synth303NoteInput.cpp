// Playing the voice from notes, with legato slides between overlapping keys, and recording the
// played notes into the current pattern at the editor cursor.
#include <algorithm>

#include "engine/Synth303.h"

namespace
{
constexpr int kHighestPlayableNote = 83; // higher notes play and record as 83
constexpr int kLowestDownNote = 24;      // 24..35: stored with the down flag
constexpr int kLowestPlainNote = 36;     // 36..72: stored without octave flag
constexpr int kHighestPlainNote = 72;    // 73..83: stored with the up flag
constexpr int kUpNoteOffset = 48;
constexpr int kRecordAccentVelocity = 101;

// Bits of a recorded step that recording never changes: tie and the two spare bits.
constexpr uint8_t kKeptBits = step_t::kTie | step_t::kSpare;

enum class RecordedBy
{
    NoteOn,
    SlideTo
};

struct RecordedPitch
{
    int pitch;
    uint8_t octaveFlag;
};

// Pitch and octave flag that make the stored step sound at the played note (24..83).
RecordedPitch recordedPitch(int note)
{
    if (note < kLowestDownNote) return {0, step_t::kDown};
    if (note < kLowestPlainNote) return {note - kLowestDownNote, step_t::kDown};
    if (note <= kHighestPlainNote) return {note - kLowestPlainNote, 0};
    return {note - kUpNoteOffset, step_t::kUp};
}

int floorMod(int a, int b)
{
    const int r = a % b;
    return r < 0 ? r + b : r;
}

void setKeyboardFrequency(Synth303& synth, int note)
{
    if (note < 0) return;
    const double* table = synth.TuningMode ? synth.customTuningTable : synth.noteFrequencyTable;
    synth.vcoFrequency = static_cast<float>(table[note]);
}

void setKeyboardAccent(Synth303& synth, int velocity)
{
    const int accented = velocity > synth.accentVelocityThreshold ? 1 : 0;
    synth.latchedAccent = accented;
    synth.stepAccent = accented;
}

// Writes the played note into the step at the cursor and moves the cursor on. A slid note is
// recorded as a slide from the step before into this one.
void recordNote(Synth303& synth, int note, int velocity, RecordedBy by)
{
    Vst303Pattern& pattern = synth.activePattern();
    const int length = std::max(pattern.getStepCount(), 1);
    const int target = floorMod(synth.editStep, length);
    step_t& step = pattern.steps[target];

    const RecordedPitch recorded = recordedPitch(note);
    const uint8_t accent = velocity >= kRecordAccentVelocity ? step_t::kAccent : 0;
    step.pitch = static_cast<int8_t>(recorded.pitch);

    if (by == RecordedBy::NoteOn)
    {
        step.flags =
            static_cast<uint8_t>(step_t::kGate | recorded.octaveFlag | accent | (step.flags & kKeptBits));
    }
    else
    {
        const uint8_t kept = step.flags & (step_t::kGate | step_t::kSlide | kKeptBits);
        step.flags = static_cast<uint8_t>(recorded.octaveFlag | accent | kept);
        // The step before the one written, even when the cursor stands beyond the length.
        const int previous = target > 0 ? target - 1 : length - 1;
        pattern.steps[previous].set(step_t::kSlide, true);
        step.set(step_t::kSlide, false);
        step.set(step_t::kGate, true);
    }

    synth.editStep = synth.editStep + 1 < length ? synth.editStep + 1 : 0;
}
} // namespace

void Synth303::NoteOn(int note, int velocity)
{
    if (keyHeld)
    {
        SlideTo(note, velocity);
        return;
    }
    lastNote = note;
    lastVelocity = velocity;
    keyHeld = 1;

    const int k = std::min(note, kHighestPlayableNote);
    setKeyboardFrequency(*this, k);

    if (velocity > 0)
    {
        setKeyboardAccent(*this, velocity);
        stepSlide = 0;
        slideActive = 0;
        gate = 1;
        stepGate = 1;
        trigger = 1;
        sleepCounter = 0;
    }

    if (stepRecord) recordNote(*this, k, velocity, RecordedBy::NoteOn);
}

void Synth303::SlideTo(int note, int velocity)
{
    const int k = std::min(note, kHighestPlayableNote);
    setKeyboardFrequency(*this, k);

    if (velocity > 0)
    {
        setKeyboardAccent(*this, velocity);
        sleepCounter = 0;
    }
    slideActive = 1;

    if (stepRecord && k != lastNote) recordNote(*this, k, velocity, RecordedBy::SlideTo);

    lastNote = k;
    lastVelocity = velocity;
}

void Synth303::NoteOff(int /*note*/)
{
    // Any note-off ends the sound: with overlapping keys the voice holds one note only.
    keyHeld = 0;
    gate = 0;
    slideActive = 0;
}
