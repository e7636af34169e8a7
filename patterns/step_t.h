#pragma once

#include <cstdint>

// One sequencer step: a pitch in semitones above the pattern's base C and a flag byte.
// Two bytes, no padding: patterns are copied to and from files byte for byte.
struct step_t
{
    static constexpr uint8_t kGate = 0x01;   // the step sounds (clear = rest)
    static constexpr uint8_t kUp = 0x02;     // one octave up
    static constexpr uint8_t kDown = 0x04;   // one octave down (with kUp: no shift, deep vibrato)
    static constexpr uint8_t kSlide = 0x08;  // hold the gate and glide into the next step
    static constexpr uint8_t kAccent = 0x10; // accented note
    static constexpr uint8_t kTie = 0x20;    // lengthens the note of the step before
    static constexpr uint8_t kSpare = 0xC0;  // unused bits, carried along untouched

    // Bytes written by the pitch text functions, terminating zero included.
    static constexpr int kPitchTextSize = 4;

    int8_t pitch = 0;
    uint8_t flags = 0;

    bool has(uint8_t mask) const { return (flags & mask) != 0; }

    void set(uint8_t mask, bool on)
    {
        if (on)
            flags = static_cast<uint8_t>(flags | mask);
        else
            flags = static_cast<uint8_t>(flags & ~mask);
    }

    // Note name and octave with the octave flags applied, e.g. "C-3" for pitch 0, "C-4" with up.
    void getPitchText(char* out) const;

    // Note name and octave of the bare pitch (pitch 0 = "C-3"); octave digit kept in '0'..'9'.
    void getPitchTextIgnoreUpDown(char* out) const;
};

static_assert(sizeof(step_t) == 2, "step_t is stored as two bytes");
