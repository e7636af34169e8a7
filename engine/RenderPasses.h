#pragma once
// What both render engines do around their own stages: hand the control part's results to the
// output part, close each sample's control part, and take a block through the three parts.

#include <algorithm>

#include "engine/KnobShapes.h"
#include "engine/Synth303Scope.h"
#include "engine/Synth303Smoothers.h"
#include "engine/VoiceFrame.h"

namespace oxn3
{
// The VCA values and, while they move, the audio knobs as the output part of this sample needs them.
template <class Knobs>
inline void handOverToOutput(const Synth303& s, VoiceFrame& frame, float vca, const Knobs& knobs, unsigned moving)
{
    frame.vcaGain = s.vcaGain.value;
    frame.volumeEnvelope = s.volumeEnvelope.value;
    frame.vca = vca;
    if (moving & kAudioKnobSmoothers)
        frame.knobs = knobs.audio;
}

// The end of every sample's control part, asleep or not: the scope but the output sample (the
// smoothers change none of its channels), the smoothers and what the render derives from them,
// then the one-sample trigger ends and the smoothers' offset flips.
template <class Knobs>
inline void endSampleControl(Synth303& s, VoiceFrame& frame, ScopeCursor& cursor, const ScopeSignals& scope,
                             Knobs& knobs, const SmootherTargets& targets, unsigned moving, float q)
{
    frame.scope = recordScope(s, cursor, scope);
    if (moving)
    {
        runSmoothers(s, targets, moving);
        knobs.update(s, moving, q);
    }
    s.trigger = 0;
    s.smootherOffset = -s.smootherOffset;
}

// The render takes a run of samples through each part in turn; the per-sample reference (a run
// of 1) takes each sample through the three parts.
template <int kRun, class Control, class Ladders, class Output>
inline void renderInPasses(float* out, int numSamples, Control& control, Ladders& ladders, Output& output)
{
    VoiceFrame frames[kRun];
    for (int start = 0; start < numSamples; start += kRun)
    {
        const int n = std::min(kRun, numSamples - start);
        for (int j = 0; j < n; ++j)
            control(frames[j]);
        for (int j = 0; j < n; ++j)
            ladders(frames[j]);
        for (int j = 0; j < n; ++j)
            output(frames[j], out[start + j]);
    }
}
} // namespace oxn3
