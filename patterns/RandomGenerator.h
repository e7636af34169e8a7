#pragma once

#include <cstdint>

// The advanced randomiser's own generator, so that a seed always gives the same pattern:
// a 32-bit linear congruential sequence, state <- state * 196314165 + 907633515 (mod 2^32).
// Its full period guarantees that every residue of a draw modulo m turns up.
struct RandomGenerator
{
    static constexpr uint32_t kMultiplier = 196314165u;
    static constexpr uint32_t kIncrement = 907633515u;

    uint32_t state = 0;

    uint32_t next()
    {
        state = state * kMultiplier + kIncrement;
        return state;
    }

    // A draw below `range` (range > 0) from the next state.
    int below(int range) { return static_cast<int>(next() % static_cast<uint32_t>(range)); }
};
