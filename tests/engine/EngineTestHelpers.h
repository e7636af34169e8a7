#pragma once

#include <memory>
#include <vector>

#include "engine/Synth303.h"

// The engine is several megabytes: always on the heap.
inline std::unique_ptr<Synth303> makeSynth()
{
    return std::make_unique<Synth303>();
}

inline step_t makeStep(int pitch, uint8_t flags)
{
    step_t s;
    s.pitch = static_cast<int8_t>(pitch);
    s.flags = flags;
    return s;
}

// What the clock did, sample by sample, while driven without the render.
struct ClockTrace
{
    std::vector<int> starts;     // samples on which a step started
    std::vector<int> startSteps; // the step index each start played
    std::vector<int> triggers;   // samples that raised the trigger
    std::vector<int> gateCloses; // samples on which the gate went from open to closed
};

// Runs the clock for `samples` samples; clears the one-sample trigger after each sample as the
// render does.
inline ClockTrace runClock(Synth303& synth, int samples)
{
    ClockTrace trace;
    for (int i = 0; i < samples; ++i)
    {
        const bool starting = synth.running && synth.stepSampleCounter == 0;
        const int gateBefore = synth.gate;
        synth.RunSequencerRE();
        if (starting)
        {
            trace.starts.push_back(i);
            trace.startSteps.push_back(synth.playStep);
        }
        if (synth.trigger) trace.triggers.push_back(i);
        synth.trigger = 0;
        if (gateBefore && !synth.gate) trace.gateCloses.push_back(i);
    }
    return trace;
}

// Runs the clock until the next step start has been made (at most `limit` samples); returns
// the number of samples run.
inline int runUntilStepStart(Synth303& synth, int limit = 1000000)
{
    for (int i = 1; i <= limit; ++i)
    {
        const bool starting = synth.running && synth.stepSampleCounter == 0;
        synth.RunSequencerRE();
        synth.trigger = 0;
        if (starting) return i;
    }
    return limit;
}

inline int soundingMidiNotes(const Synth303& synth)
{
    int count = 0;
    for (int v : synth.midiOutNotes)
        count += v != 0 ? 1 : 0;
    return count;
}
