#pragma once

#include "patterns/Vst303Pattern.h"

// A pattern written as space-separated steps: a semitone 0..36 above the base C followed by
// flag letters (a accent, s slide, u octave up, d octave down), "-" for a rest, "~" for a tie.
// Example: "0a 12 3s 15a 7 - 10u 5sa". Returns 1 on success, 0 on a malformed step or more
// than 64 steps; the pattern's length becomes the number of steps.
int parsePatternText(const char* text, Vst303Pattern& pattern);

// The built-in demo line: accents, slides, octave jumps and a rest.
extern const char* const kDemoPatternText;
