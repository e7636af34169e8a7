#include "patterns/step_t.h"

namespace
{
constexpr char kNoteNames[] = "C-C#D-D#E-F-F#G-G#A-A#B-";
constexpr int kSemitonesPerOctave = 12;
constexpr int kBaseOctave = 3; // pitch 0 is C-3
constexpr int kBaseOctaveOffset = kBaseOctave * kSemitonesPerOctave;

int floorDiv(int a, int b)
{
    int q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return q;
}

int floorMod(int a, int b)
{
    return a - floorDiv(a, b) * b;
}

void writeNoteName(int pitch, char* out)
{
    const int note = floorMod(pitch, kSemitonesPerOctave);
    out[0] = kNoteNames[note * 2];
    out[1] = kNoteNames[note * 2 + 1];
}
} // namespace

void step_t::getPitchText(char* out) const
{
    writeNoteName(pitch, out);
    int octave = floorDiv(pitch, kSemitonesPerOctave) + kBaseOctave;
    if (has(kUp)) ++octave;
    if (has(kDown)) --octave;
    out[2] = static_cast<char>('0' + octave);
    out[3] = '\0';
}

void step_t::getPitchTextIgnoreUpDown(char* out) const
{
    writeNoteName(pitch, out);
    const int shifted = pitch + kBaseOctaveOffset;
    int octave = shifted / kSemitonesPerOctave;
    if (shifted < 0) octave = 0;
    if (octave > 9) octave = 9;
    out[2] = static_cast<char>('0' + octave);
    out[3] = '\0';
}
