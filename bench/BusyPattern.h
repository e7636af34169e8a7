#pragma once
// The busy 16-step pattern every render benchmark plays: accents, slides, a rest and octave jumps.

#include "patterns/Vst303Pattern.h"

namespace oxn3bench
{
struct BusyStep
{
    int pitch;
    uint8_t flags;
};

constexpr uint8_t kG = step_t::kGate;
constexpr BusyStep kBusyPattern[16] = {
    {0, kG | step_t::kAccent}, {12, kG},          {3, kG | step_t::kSlide}, {15, kG | step_t::kAccent},
    {7, kG},                   {0, 0},            {10, kG | step_t::kUp},   {5, kG | step_t::kSlide | step_t::kAccent},
    {8, kG | step_t::kSlide},  {0, kG},           {12, kG | step_t::kAccent}, {3, kG | step_t::kDown},
    {7, kG | step_t::kSlide},  {10, kG | step_t::kAccent}, {0, kG},     {5, kG}};

inline void writeBusyPattern(Vst303Pattern& pattern)
{
    pattern.setLength(16);
    for (int i = 0; i < 16; ++i)
    {
        pattern.steps[i].pitch = static_cast<int8_t>(kBusyPattern[i].pitch);
        pattern.steps[i].flags = kBusyPattern[i].flags;
    }
}
} // namespace oxn3bench
