#include "patterns/Vst303Pattern.h"

namespace
{
constexpr int kSemitonesPerOctave = 12;
constexpr int kPlainOctave = 3; // MIDI 36..47 play without octave flags
constexpr int kUpOctave = 4;
constexpr int kFoldOctave = 5; // MIDI 60 and above: up plus 12 semitones

int clampInt(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

bool isStepIndex(int i)
{
    return i >= 0 && i < Vst303Pattern::kMaxSteps;
}

// Moves steps first..count-2 one place later; step first+1 becomes a copy of step first and
// step count-1 is lost.
void moveStepsLater(step_t* steps, int first, int count)
{
    for (int j = count - 1; j > first; --j)
        steps[j] = steps[j - 1];
}

int floorDiv(int a, int b)
{
    int q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return q;
}

void applyMidiNote(step_t& step, int note)
{
    const int octave = floorDiv(note, kSemitonesPerOctave);
    int pitch = note % kSemitonesPerOctave;
    if (pitch < 0) pitch += kSemitonesPerOctave;
    step.set(step_t::kUp | step_t::kDown, false);
    if (octave >= kUpOctave) step.set(step_t::kUp, true);
    if (octave < kPlainOctave) step.set(step_t::kDown, true);
    if (octave >= kFoldOctave) pitch += kSemitonesPerOctave;
    step.pitch = static_cast<int8_t>(pitch);
}
} // namespace

int Vst303Pattern::getStepCount() const
{
    const int length = getLength();
    return length > kMaxSteps ? kMaxSteps : length;
}

void Vst303Pattern::setLength(int length)
{
    header = (header & ~kLengthMask) | static_cast<uint32_t>(clampInt(length, 1, kMaxSteps));
}

void Vst303Pattern::setTriplet(int triplet)
{
    header = (header & ~kTripletBit) | (static_cast<uint32_t>(triplet & 1) << kTripletShift);
}

void Vst303Pattern::Clear()
{
    Clear(1);
}

void Vst303Pattern::Clear(int on)
{
    setTriplet(0);
    const int count = getStepCount();
    for (int i = 0; i < count; ++i)
    {
        steps[i].pitch = 0;
        steps[i].flags = on ? step_t::kGate : 0;
    }
}

int Vst303Pattern::getNoteLength(int i) const
{
    const int count = getStepCount();
    int length = 1;
    if (i < 0) return length;
    for (int j = i + 1; j < count && steps[j].has(step_t::kTie); ++j)
        ++length;
    return length;
}

void Vst303Pattern::Transpose(int n)
{
    const int count = getStepCount();
    for (int i = 0; i < count; ++i)
    {
        // 64-bit so that no n can overflow; callers pass +1 and -1.
        int64_t p = static_cast<int64_t>(steps[i].pitch) + n;
        if (p > kMaxTransposePitch) p = 0;
        if (p < 0) p += kMaxTransposePitch + 1;
        steps[i].pitch = static_cast<int8_t>(p);
    }
}

void Vst303Pattern::Shift(int n)
{
    const int count = getStepCount();
    if (count == 0) return;
    // Reducing n first keeps every source index in range for any n; for |n| <= length the
    // rotation is the same as a single wrap-around.
    n %= count;
    const Vst303Pattern copy = *this;
    for (int i = 0; i < count; ++i)
    {
        int j = i - n;
        if (j < 0) j += count;
        if (j >= count) j -= count;
        steps[i] = copy.steps[j];
    }
}

void Vst303Pattern::insertStep(int k)
{
    if (k < 0) return;
    moveStepsLater(steps, k, getStepCount());
}

void Vst303Pattern::insertTie(int k)
{
    if (k <= 0 || k > kMaxSteps) return;
    moveStepsLater(steps, k - 1, getStepCount());
    steps[k - 1].set(step_t::kSlide, true);
}

void Vst303Pattern::insertRest(int k)
{
    if (k <= 0 || !isStepIndex(k)) return;
    moveStepsLater(steps, k - 1, getStepCount());
    steps[k].set(step_t::kGate, false);
}

void Vst303Pattern::tidy303Pattern()
{
    const int count = getStepCount();
    for (int i = 0; i < count; ++i)
        if (!steps[i].has(step_t::kGate)) steps[i].set(step_t::kSlide | step_t::kAccent, false);

    for (int i = 0; i < count; ++i)
    {
        if (!steps[i].has(step_t::kSlide) || !steps[i].has(step_t::kAccent)) continue;
        for (int j = i + 1; j < count; ++j)
        {
            steps[j].set(step_t::kAccent, true);
            if (!steps[j].has(step_t::kSlide)) break;
        }
    }
}

void Vst303Pattern::setFrom(int length, int* notes, int* gates, int* accents, int* slides, int applyNotes,
                            int applyGates, int applyAccents, int applySlides)
{
    setLength(length);
    const int count = clampInt(length, 0, kMaxSteps);
    for (int i = 0; i < count; ++i)
    {
        step_t& step = steps[i];
        if (applyNotes && notes) applyMidiNote(step, notes[i]);
        if (applyAccents && accents) step.set(step_t::kAccent, accents[i] != 0);
        if (applyGates && gates) step.set(step_t::kGate, gates[i] != 0);
        if (applySlides && slides) step.set(step_t::kSlide, slides[i] != 0);
    }
}
