#pragma once
// Geometry of the 16-step grid page, in design units of the 754 x 276 window.

#include <algorithm>
#include <cmath>

namespace oxn3::grid
{
constexpr int kSteps = 16;
constexpr float kFirstCentre = 18.0f;
constexpr float kColumnPitch = 39.0625f; // 625 units over 16 steps

inline float stepCentre(int i)
{
    return kFirstCentre + kColumnPitch * static_cast<float>(i);
}

// The step drawn nearest to a design x: each step owns the half-way marks to its neighbours.
// May lie outside 0..15 beyond the page's edges.
inline int columnAt(int xd)
{
    return static_cast<int>(std::floor((static_cast<float>(xd) - kFirstCentre) / kColumnPitch + 0.5f));
}

inline bool isStep(int column)
{
    return column >= 0 && column < kSteps;
}

// What a press at a design height edits.
enum Target
{
    kNothing,
    kPitch,
    kGate,
    kAccent,
    kSlide,
    kOctave, // down box left of the step's centre, up box right of it
};

inline Target targetAt(int yd)
{
    if (yd >= 15 && yd < 87) return kPitch;
    if (yd >= 0 && yd <= 14) return kGate;
    if (yd >= 112 && yd <= 120) return kAccent;
    if (yd >= 121 && yd <= 133) return kSlide;
    if (yd >= 98 && yd <= 109) return kOctave;
    return kNothing;
}

// Pitch from a design height: 36 at the top of the track, 0 below it.
inline int pitchAt(int yd)
{
    return std::min(36, std::max(0, static_cast<int>((89 - yd) * 0.5)));
}

// The octave box under a design x within its column: true for the down box.
inline bool isDownBox(int xd, int column)
{
    return static_cast<float>(xd) < stepCentre(column);
}
} // namespace oxn3::grid
