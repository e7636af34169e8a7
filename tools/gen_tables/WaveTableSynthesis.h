#pragma once
// One band-limited cycle per table, summed from sines, all tables of a set back to back.

#include "WaveTableDesign.h"

#include <vector>

namespace gen
{
struct WaveTableSet
{
    std::vector<long> start;  // first sample of each table; 0 for an empty entry
    std::vector<float> data;  // the used part of the data array, tables in order
};

WaveTableSet synthesize(const WaveTableDesign& design);
} // namespace gen
