#pragma once

#include <memory>
#include <vector>

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

// The position fields that starting (and stopping) the sequencer resets.
inline void setPosition(Synth303& s, int v)
{
    s.playStep = s.stepSampleCounter = s.swingIndex = s.slideActive = s.stepSlide = v;
    s.gate = s.stepGate = s.sleepCounter = v;
    s.stepPhase = s.gateEnvelope = 0.25 * v;
}

inline std::vector<double> positionOf(const Synth303& s)
{
    return {double(s.playStep),    double(s.stepSampleCounter), double(s.swingIndex),
            double(s.slideActive), double(s.stepSlide),         double(s.gate),
            double(s.stepGate),    double(s.sleepCounter),      s.stepPhase,
            s.gateEnvelope};
}
