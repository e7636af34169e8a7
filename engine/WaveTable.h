#pragma once

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

    // Linear interpolation into the table that serves `period` at `phase` (0 <= phase < 1).
    inline float lookup(float phase, float period) const
    {
        int i = static_cast<int>(period);
        if (!(period >= 0.0f) || i < 0)
            i = 0;
        else if (period >= static_cast<float>(mapSize) || i > static_cast<int>(mapSize) - 1)
            i = static_cast<int>(mapSize) - 1;
        const int t = map[i];
        const int n = lengths[t];
        const int s = starts[t];
        float x = static_cast<float>(n) * phase;
        if (!(x >= 0.0f))
            x = 0.0f; // phase is never negative in the render; guard NaN all the same
        int j = x < static_cast<float>(n) ? static_cast<int>(x) : n - 1;
        const float f = x - static_cast<float>(j);
        const int next = (j + 1 < n) ? j + 1 : 0;
        return data[s + j] * (1.0f - f) + f * data[s + next];
    }
};
