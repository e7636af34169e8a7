// Audio-to-pattern detection: any samples, step count and rate give 0/1 flags for every step.
#include <cstring>

#include "fuzz/FuzzInput.h"
#include "ui/detect/WaveBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8)
        return 0;
    int32_t rate = 0;
    std::memcpy(&rate, data, 4);
    const int steps = data[4] % 66 - 1; // -1..64
    data += 8;
    size -= 8;

    WaveBuffer w;
    w.size = static_cast<int32_t>(size / sizeof(float));
    w.sampleRate = rate;
    w.allocate(static_cast<unsigned long>(w.size));
    require(w.data != nullptr);
    std::memcpy(w.data, data, static_cast<size_t>(w.size) * sizeof(float));
    w.normalize();
    int notes[64], gates[64], accents[64], slides[64];
    w.audioAnalyze(notes, gates, accents, slides, steps);
    for (int k = 0; k < steps; ++k)
        require((gates[k] | accents[k] | slides[k]) <= 1 && gates[k] >= 0 && accents[k] >= 0 && slides[k] >= 0);
    w.release();
    return 0;
}
