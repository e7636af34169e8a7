#pragma once

#include <cstdint>

// Kept beside the engine by the processor; nothing in the audio path uses it.
struct AAWaveShaper
{
    static int s_initialized;

    float values[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    std::uint64_t words[2] = {0, 0};

    AAWaveShaper();
};
