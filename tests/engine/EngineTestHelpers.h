#pragma once

#include <memory>

#include "engine/Synth303.h"
#include "patterns/PatternTestHelpers.h"

// The engine is several megabytes: always on the heap.
inline std::unique_ptr<Synth303> makeSynth()
{
    return std::make_unique<Synth303>();
}

inline step_t makeStep(int pitch, int flags)
{
    return step_t{static_cast<int8_t>(pitch), static_cast<uint8_t>(flags)};
}

inline void runSamples(Synth303& s, int samples)
{
    for (int i = 0; i < samples; ++i)
        s.RunSequencerRE();
}
