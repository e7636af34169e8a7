#pragma once
// A quiet recorded-style noise: soft hiss on a slowly wandering offset, 16-bit.

#include <cstdint>
#include <vector>

namespace gen
{
std::vector<std::int16_t> noiseSample();
} // namespace gen
