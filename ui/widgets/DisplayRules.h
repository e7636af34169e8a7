#pragma once

#include <cstddef>

// Rules of the pattern number box and the about view that carry no drawing.
namespace oxn3
{
constexpr int kLastSelectablePattern = 127;

// "C3" for 60, "C#-2" for 1; out must hold 5 bytes. Notes outside 0..127 are limited to it.
void midiNoteText(char* out, int note);
// "Pattern: 36, Midi Note: C1"
void patternStatusText(char* out, std::size_t size, int pattern);

// What a press at x hits in a box of width w: 0 run/stop, 1 number, 2 padlock.
int digitsZone(int x, int width, float scale);
// Pattern after a drag from lastY to y (up raises it), limited to 0..127.
int dragPattern(int pattern, int y, int lastY);
// Pattern after a wheel move of deltaY; any movement is at least one step.
int wheelPattern(int pattern, float deltaY, bool reversed);

// Fade of the about view's logo and version line at tick t.
int splashAlpha(int t);
} // namespace oxn3
