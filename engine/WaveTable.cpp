#include "engine/WaveTable.h"

#include <cmath>
#include <limits>

void WaveTable::bind(const std::uint8_t* mapData, const std::int32_t* tableStarts,
                     const std::int32_t* tableLengths, const float* samples, std::uint32_t size)
{
    map = mapData;
    starts = tableStarts;
    lengths = tableLengths;
    data = samples;
    mapSize = size;
}

void WaveTable::release(WaveTable*& table)
{
    if (table == nullptr)
        return;
    if (--table->refCount == 0)
        delete table;
    table = nullptr;
}

namespace
{
// How far the reader looks along the map on each side: the span need not be the table's whole
// range, and a short look keeps a change of table cheap.
constexpr int kReaderReach = 16;
} // namespace

void WaveTableReader::keep(const WaveTable& table, float period)
{
    const int i = table.mapIndex(period);
    const int t = table.map[i];
    const int last = static_cast<int>(table.mapSize) - 1;
    int first = i;
    while (first > 0 && i - first < kReaderReach && table.map[first - 1] == t)
        --first;
    int end = i;
    while (end < last && end - i < kReaderReach && table.map[end + 1] == t)
        ++end;

    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    set = &table;
    // The map's first and last entries also serve every period beyond them.
    lowest = first == 0 ? -kInfinity : static_cast<float>(first);
    highest = end == last ? kInfinity : std::nextafter(static_cast<float>(end + 1), 0.0f);
    cycle = table.data + table.starts[t];
    length = table.lengths[t];
}
