#pragma once
// The render's steps of one sample fall into three parts: the control part (clock, pitch and
// oscillator, envelopes, accent, cutoff voltage, VCA level), the ladders, and the output part
// (output filters, VCA, highpass, distortion, output stage). The parts share no state but
// this record, so the render may run them on different samples at once (renderInPasses): the
// ladders' long chain of dependent operations, one sample after the other, then has the other
// parts' work beside it. The per-sample reference runs the parts sample by sample, which checks
// that they really share nothing else.

#include "engine/LadderLanes.h"
#include "engine/Synth303Filter.h"
#include "engine/Synth303Output.h"
#include "engine/Synth303Scope.h"

namespace oxn3
{
// The filter's input of one sample: the signal, the cutoff coefficient and the resonance.
struct FilterInput
{
    float in = 0.0f;
    float c = 0.0f;
    float r = 0.0f;
    bool bypassed = false;  // classic engine at low rates: `in` goes on unfiltered
    bool restPoles = false; // classic engine: a quiet trigger starts the ladders from rest
};

// What the control part leaves for the cutoff pass (CutoffPass.h), which takes the rest of the
// way to the filter's input for a whole run of samples at once.
struct CutoffTerms
{
    double exponent; // cutoffExponent
    double expScale;
    double triggerRamps[2];
    double signal;   // improved engine: the filter's input before the bass boost
    BassBoostShape bassBoost;
};

constexpr int kVoiceFrameRun = 16; // samples per run through each part

struct VoiceFrame
{
    bool awake = false; // asleep: only the smoothers and the scope ran
    CutoffTerms cutoff;
    FilterInput filter;
    LaneCoefficients ladder; // the render's, from filter.c and filter.r (not the reference's)
    float filtered = 0.0f; // the first ladder run's result, then the filter's output
    LadderTaps taps;       // the render's two ladder runs, until the run is decimated
    double vcaGain = 0.0;  // as the control part left vcaGain and volumeEnvelope
    double volumeEnvelope = 0.0;
    float vca = 0.0f;
    AudioKnobs knobs;      // when those smoothers move; else the block's own
};
} // namespace oxn3
