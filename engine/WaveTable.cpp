#include "engine/WaveTable.h"

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
