#pragma once

#include <initializer_list>

#include "patterns/Vst303Pattern.h"

// A pattern of the given length whose step i (within the length or not) has pitch i.
inline Vst303Pattern numberedPattern(int length, uint8_t flags = step_t::kGate)
{
    Vst303Pattern p;
    p.setLength(length);
    for (int i = 0; i < Vst303Pattern::kMaxSteps; ++i)
    {
        p.steps[i].pitch = static_cast<int8_t>(i);
        p.steps[i].flags = flags;
    }
    return p;
}

// Sets the flags of the first steps from a list, leaving the others as they are.
inline void setFlags(Vst303Pattern& p, std::initializer_list<uint8_t> flags)
{
    int i = 0;
    for (uint8_t f : flags)
        p.steps[i++].flags = f;
}

inline bool sameRecord(const Vst303Pattern& a, const Vst303Pattern& b)
{
    if (a.header != b.header) return false;
    for (int i = 0; i < Vst303Pattern::kMaxSteps; ++i)
        if (a.steps[i].pitch != b.steps[i].pitch || a.steps[i].flags != b.steps[i].flags) return false;
    return true;
}
