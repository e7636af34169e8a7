#pragma once

#include <cstddef>
#include <cstdint>

// A set of band-limited single-cycle tables bound to static data: the period of the
// note picks the table that holds only harmonics below Nyquist.
struct WaveTable
{
    const std::uint8_t* map = nullptr;   // period in samples at 44.1 kHz -> table number
    const std::int32_t* lengths = nullptr;
    std::uint32_t mapSize = 0;
    const std::int32_t* starts = nullptr;
    const float* data = nullptr;
    std::uint32_t refCount = 1;

    void bind(const std::uint8_t* mapData, const std::int32_t* tableStarts, const std::int32_t* tableLengths,
              const float* samples, std::uint32_t size);

    // Drops one reference and frees the object at zero; `table` is null afterwards.
    static void release(WaveTable*& table);

    // The map entry that serves `period`; periods outside the map take its ends.
    inline int mapIndex(float period) const
    {
        int i = static_cast<int>(period);
        if (!(period >= 0.0f) || i < 0)
            i = 0;
        else if (period >= static_cast<float>(mapSize) || i > static_cast<int>(mapSize) - 1)
            i = static_cast<int>(mapSize) - 1;
        return i;
    }

    // Linear interpolation into one table of `n` samples at `phase` (0 <= phase <= 1).
    static inline float readCycle(const float* cycle, int n, float phase)
    {
        float x = static_cast<float>(n) * phase;
        if (!(x >= 0.0f))
            x = 0.0f; // phase is never negative in the render; guard NaN all the same
        // Indices as wide as a pointer spare widening them for the address.
        const std::ptrdiff_t j = x < static_cast<float>(n) ? static_cast<std::ptrdiff_t>(x) : n - 1;
        const float f = x - static_cast<float>(j);
        const std::ptrdiff_t next = (j + 1 < n) ? j + 1 : 0;
        return cycle[j] * (1.0f - f) + f * cycle[next];
    }

    // Linear interpolation into the table that serves `period` at `phase` (0 <= phase < 1).
    inline float lookup(float phase, float period) const
    {
        const int t = map[mapIndex(period)];
        return readCycle(data + starts[t], lengths[t], phase);
    }
};

// WaveTable::lookup for a period that mostly stays put: it keeps the table the last period
// picked and the span of periods around it that pick the same one, and goes back to the map
// only when the period leaves that span (or the table set changes).
struct WaveTableReader
{
    const WaveTable* set = nullptr;
    float lowest = 0.0f;  // periods in [lowest, highest] pick the kept table
    float highest = -1.0f;
    const float* cycle = nullptr;
    int length = 0;

    inline float read(const WaveTable& table, float phase, float period)
    {
        if (&table != set || !(period >= lowest && period <= highest))
            keep(table, period);
        return WaveTable::readCycle(cycle, length, phase);
    }

    // Takes the table of `period` and the span of map entries around it that hold it too.
    void keep(const WaveTable& table, float period);
};
