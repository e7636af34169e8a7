#pragma once

#include <cstring>
#include <ostream>

#include "patterns/Vst303Pattern.h"

inline step_t stepOf(int pitch, int flags)
{
    return step_t{static_cast<int8_t>(pitch), static_cast<uint8_t>(flags)};
}

// A pattern of the given length whose step i (within the length or not) has pitch i.
inline Vst303Pattern numberedPattern(int length, int flags = step_t::kGate)
{
    Vst303Pattern p;
    p.setLength(length);
    for (int i = 0; i < Vst303Pattern::kMaxSteps; ++i)
        p.steps[i] = stepOf(i, flags);
    return p;
}

inline bool sameRecord(const Vst303Pattern& a, const Vst303Pattern& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool operator==(const step_t& a, const step_t& b)
{
    return a.pitch == b.pitch && a.flags == b.flags;
}

inline std::ostream& operator<<(std::ostream& out, const step_t& s)
{
    return out << "{pitch " << int{s.pitch} << ", flags " << int{s.flags} << "}";
}

// A pattern with a guard word right after it, which catches writes past step 63 (its bytes have
// the gate bit set and the slide and accent bits clear, so a stray flag edit shows).
struct GuardedPattern
{
    Vst303Pattern pattern;
    uint32_t sentinel = 0xA5A5A5A5u;
    bool intact() const { return sentinel == 0xA5A5A5A5u; }
};
