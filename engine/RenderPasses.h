#pragma once
// What both render engines do around their own stages: hand the control part's results to the
// output part, close each sample's control part and the block's, and take a block through the
// three parts.

#include <algorithm>

#include "engine/KnobShapes.h"
#include "engine/OversampledFilter.h"
#include "engine/SequencerClock.h"
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

// The audio knobs of a sample's output part: the frame's while they move, else the block's.
inline const AudioKnobs& audioKnobsOf(const VoiceFrame& frame, const AudioKnobs& block, unsigned moving)
{
    return (moving & kAudioKnobSmoothers) ? frame.knobs : block;
}

// The end of every sample's control part, asleep or not: the scope but the output sample (the
// smoothers change none of its channels), the smoothers and what the render derives from them,
// then the one-sample trigger ends and the smoothers' offset flips. Only the smoothers read the
// offset: while none moves, it flips at the end of the block instead (endBlockControl).
template <class Scope, class Knobs>
inline void endSampleControl(Synth303& s, Scope& recorder, const ScopeSignals& scope, Knobs& knobs,
                             const SmootherTargets& targets, unsigned moving, float q)
{
    recorder.record(s, scope);
    if (moving)
    {
        runSmoothers(s, targets, moving);
        knobs.update(s, moving, q);
        s.smootherOffset = -s.smootherOffset;
    }
    s.trigger = 0;
}

// After the block's `numSamples` samples: the clock's step sample counter, the scope, and the
// offset's flips that the samples left.
template <class Scope>
inline void endBlockControl(Synth303& s, const ClockRun& clock, Scope& recorder, const float* out, int numSamples,
                            unsigned moving)
{
    clock.finish(s);
    recorder.finish(s, out, numSamples);
    if (!moving && numSamples % 2 != 0)
        s.smootherOffset = -s.smootherOffset;
}

// One of the four pieces of a sample's ladders (two runs, 2x oversampled, two halves each). A
// voice asleep skips them; `knownAwake` when the caller knows the frame is awake.
template <bool kClassic, class Filter>
inline void filterPiece(Filter& filter, Synth303& s, VoiceFrame& frame, const FilterRates& rates, int piece,
                        bool knownAwake)
{
    if (knownAwake || frame.awake)
        filter.template runPiece<kClassic>(s, frame, rates, piece);
}

// The control part of a sample comes in three pieces, each a function of the frame: the first
// decides whether the voice is awake, the others go on with the same sample.
template <class ControlA, class ControlB, class ControlC>
struct ControlPieces
{
    ControlA& a;
    ControlB& b;
    ControlC& c;
};

template <class ControlA, class ControlB, class ControlC>
ControlPieces<ControlA, ControlB, ControlC> controlPieces(ControlA& a, ControlB& b, ControlC& c)
{
    return {a, b, c};
}

// The per-sample reference (a run of 1) takes each sample through the parts in turn. The render
// keeps three runs of samples in flight: while the ladders filter run k, the control part
// computes run k + 1 and the output part finishes run k - 1, sample beside sample. The ladders'
// input for a run comes from that run's control part alone, and the parts share no other state,
// so the order of the result is unchanged. The ladders are one long chain of dependent
// operations; the core can only look a limited way ahead past an unfinished chain, so a long
// piece of chain with a long stretch of other work after it runs mostly alone. The render
// therefore cuts both finely and alternates them: each of the four ladder pieces of a sample is
// followed by a piece of other work (the three control pieces, then the output part). After the
// control parts of a run, `cutoffPass` takes the run's cutoffs to the ladders' input
// (CutoffPass.h); after its ladders, `decimate` takes the run's ladder results to the output rate.
inline bool allAwake(const VoiceFrame* frames, int n)
{
    bool awake = true;
    for (int j = 0; j < n; ++j)
        awake = awake && frames[j].awake;
    return awake;
}

template <int kRun, class Control, class CutoffPass, class Ladders, class Decimate, class Output>
inline void renderInPasses(float* out, int numSamples, Control control, CutoffPass& cutoffPass, Ladders& ladders,
                           Decimate& decimate, Output& output)
{
    if constexpr (kRun == 1)
    {
        VoiceFrame frame;
        for (int i = 0; i < numSamples; ++i)
        {
            control.a(frame);
            control.b(frame);
            control.c(frame);
            cutoffPass(&frame, 1);
            for (int piece = 0; piece < kLadderPieces; ++piece)
                ladders(frame, piece, false);
            decimate(&frame, 1);
            output(frame, out[i], false);
        }
    }
    else
    {
        VoiceFrame frames[3][kRun];
        const int runs = (numSamples + kRun - 1) / kRun;
        auto length = [&](int run) { return run < 0 || run >= runs ? 0 : std::min(kRun, numSamples - run * kRun); };
        for (int run = 0; run < runs + 2; ++run)
        {
            VoiceFrame* controlled = frames[run % 3];
            VoiceFrame* filtered = frames[(run + 2) % 3]; // run - 1
            VoiceFrame* finished = frames[(run + 1) % 3]; // run - 2
            const int nControl = length(run);
            const int nLadders = length(run - 1);
            const int nOutput = length(run - 2);
            const int n = std::max(nControl, std::max(nLadders, nOutput));
            // One sample of each part in flight, in the order above: `c`, `l` and `o` say which
            // parts have a sample at j, `awake` that the ladders' and output's frames are awake.
            auto sample = [&](int j, bool c, bool l, bool o, bool awake) {
                if (l)
                    ladders(filtered[j], 0, awake);
                if (c)
                    control.a(controlled[j]);
                if (l)
                    ladders(filtered[j], 1, awake);
                if (c)
                    control.b(controlled[j]);
                if (l)
                    ladders(filtered[j], 2, awake);
                if (c)
                    control.c(controlled[j]);
                if (l)
                    ladders(filtered[j], 3, awake);
                if (o)
                    output(finished[j], out[(run - 2) * kRun + j], awake);
            };
            // all but a block's ends and a voice falling asleep or waking
            if (nControl == kRun && nLadders == kRun && nOutput == kRun && allAwake(filtered, kRun) &&
                allAwake(finished, kRun))
                for (int j = 0; j < kRun; ++j)
                    sample(j, true, true, true, true);
            else
                for (int j = 0; j < n; ++j)
                    sample(j, j < nControl, j < nLadders, j < nOutput, false);
            cutoffPass(controlled, nControl);
            decimate(filtered, nLadders);
        }
    }
}
} // namespace oxn3
