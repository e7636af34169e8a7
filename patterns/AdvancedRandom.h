#pragma once

#include <cstdint>

// Settings of the advanced randomiser, 30 signed 32-bit fields in this order; the field names
// are also the attribute names in the host state. Defaults are those of a new instance.
struct AdvancedRandom_t
{
    static constexpr int kScaleDegrees = 12;

    int32_t patLength = 16;     // 1..64
    int32_t upperRange = 1;     // octave offset +1 allowed
    int32_t lowerRange = 1;     // octave offset -1 allowed
    int32_t upperRange2 = 1;    // octave offset +2 allowed
    int32_t lowerRange2 = 1;    // octave offset -2 allowed
    int32_t noteDensity = 100;  // percent of steps that get a scale note instead of the root
    int32_t gateDensity = 100;  // percent of steps with gate
    int32_t slideDensity = 0;   // percent of steps with slide
    int32_t accentDensity = 50; // percent of steps with accent
    int32_t scale[kScaleDegrees] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}; // degree above the root allowed
    int32_t fixedScale = 0; // walk the enabled degrees in order instead of drawing them
    int32_t randomizeNote = 1;
    int32_t randomizeGate = 1;
    int32_t randomizeSlide = 1;
    int32_t randomizeAccent = 1;
    int32_t root = 0; // semitone 0..11 above pitch 0
    int32_t mode = 0; // kept with the settings; the generator does not read it
    int32_t seed = 12345;
    int32_t apply = 0; // generator active
};

static_assert(sizeof(AdvancedRandom_t) == 30 * sizeof(int32_t), "30 packed 32-bit fields");
