#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <type_traits>

#include "patterns/step_t.h"

struct AdvancedRandom_t;
struct RandomGenerator;
struct Vst303PatternMetaData;

// One pattern: a header word and 64 steps, 132 bytes with no gaps. Copied by plain assignment,
// and byte for byte from pattern files, so it must stay standard layout and trivially copyable.
//
// Header bits 0-6 hold the length, bit 31 the triplet flag; bits 7-30 are carried along.
// A header read from a file may hold any length 0..127; every operation here works on the
// steps that exist, i.e. on the length clamped to 0..64 (getStepCount).
struct Vst303Pattern
{
    static constexpr int kMaxSteps = 64;
    static constexpr int kDefaultLength = 16;
    static constexpr uint32_t kLengthMask = 127;
    static constexpr uint32_t kTripletBit = 0x80000000u;
    static constexpr int kTripletShift = 31;

    // Transpose keeps pitches in 0..kMaxTransposePitch, wrapping at both ends.
    static constexpr int kMaxTransposePitch = 36;

    uint32_t header = kDefaultLength;
    step_t steps[kMaxSteps];

    // Length as stored in the header (0..127 when read from a file).
    int getLength() const { return static_cast<int>(header & kLengthMask); }

    // Number of steps within the length that exist in the record: the length clamped to 0..64.
    int getStepCount() const;

    // Sets the length, clamped to 1..64; the triplet flag and the other header bits are kept.
    void setLength(int length);

    int getTriplet() const { return static_cast<int>(header >> kTripletShift); }
    void setTriplet(int triplet);

    // Triplet off; every step within the length becomes pitch 0 with only the gate set.
    void Clear();
    // Triplet off; every step within the length becomes pitch 0, gate on when `on` is non-zero.
    void Clear(int on);

    // Steps that the note starting at `i` lasts: 1 plus the tied steps directly after it.
    int getNoteLength(int i) const;

    // Moves every pitch within the length by n semitones, wrapping around 0..36.
    void Transpose(int n);

    // Rotates the steps within the length by n places (positive = later).
    void Shift(int n);

    // Duplicates step k into k+1, moving the later steps on; the last step falls off.
    void insertStep(int k);

    // Makes step k a copy of step k-1 reached by a slide (later steps move on).
    void insertTie(int k);

    // Makes step k a rest copied from step k-1 (later steps move on while k is within the length).
    void insertRest(int k);

    // Removes slide and accent from rests and carries accents along slide chains.
    void tidy303Pattern();

    // Fills the pattern from per-step arrays of MIDI notes and 0/1 flags; each apply flag
    // selects whether that array is used. The length is clamped to 1..64.
    void setFrom(int length, int* notes, int* gates, int* accents, int* slides, int applyNotes,
                 int applyGates, int applyAccents, int applySlides);

    // Generators (PatternGenerators.cpp). Randomize: a free random pattern over the length, tidied.
    void Randomize();
    // The steps within the length in a random order.
    void AlterPattern();
    // Duplicates a random step into the next place with a slide between them; returns the index
    // of the new step, 0 (and changes nothing) when the length leaves no place for it.
    int AlterPattern2();
    // Regenerates the pattern from the settings when they are active; advances the generator.
    void AdvancedRandom(AdvancedRandom_t* settings, RandomGenerator* generator);

    // ".pat" text file (PatternFile.cpp); `path` is used when given, else `stream`. Both return 1,
    // or 0 when no file could be opened; Load also gives 0 for a file without a single step line.
    // On 0 Load leaves the pattern untouched.
    int Save(const char* path, FILE* stream, const Vst303PatternMetaData* meta) const;
    int Load(const char* path, FILE* stream, Vst303PatternMetaData* meta);
    // Reason device patch of the pattern and the present knob values of `meta` (may be null).
    int exportREPatch(const char* path, const Vst303PatternMetaData* meta) const;
};

static_assert(sizeof(Vst303Pattern) == 132, "pattern record is 132 bytes");
static_assert(offsetof(Vst303Pattern, steps) == 4, "steps follow the 4-byte header directly");
static_assert(std::is_standard_layout<Vst303Pattern>::value, "pattern record must be standard layout");
static_assert(std::is_trivially_copyable<Vst303Pattern>::value, "pattern record is copied with memcpy");
