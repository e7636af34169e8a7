#pragma once
// The cutoff's way from its exponent to the filter's input, taken for a whole run of samples
// after their control parts: the two exps of each sample (cv0 and the coefficient it aims at)
// go through the vector maths (VectorMath.h), then the cutoff smoother and the bass boost step
// sample by sample, and the ladders' coefficients of each sample are computed once, with
// (1 - c)^q again through the vector maths. Nothing of the control part reads what this pass
// writes, so moving it after the run changes no result; the per-sample reference runs it on runs
// of one sample with the scalar exp and pow.

#include "engine/Synth303.h"
#include "engine/Synth303Classic.h"
#include "engine/Synth303Envelopes.h"
#include "engine/LadderLanes.h"
#include "engine/Synth303Filter.h"
#include "engine/VectorMath.h"
#include "engine/VoiceFrame.h"

namespace oxn3
{
// The awake samples of a run that go through the filter, and per-sample scratch values, padded
// to an even count for the vector maths.
struct CutoffRun
{
    VoiceFrame* frame[kVoiceFrameRun]; // (pointers: a frame's size is no power of two)
    int count = 0;
    float cv0[kVoiceFrameRun];
    double x[kVoiceFrameRun + kVectorWidth];
    double y[kVoiceFrameRun + kVectorWidth];

    // x past the count gets `filler`, a value the vector call takes without trouble.
    void pad(double filler)
    {
        for (int i = count; i < count + kVectorWidth; ++i)
            x[i] = filler;
    }

    template <bool kPerSampleReference>
    void expOfX()
    {
        if constexpr (kPerSampleReference)
            expEach(x, y, count);
        else
        {
            pad(0.0);
            expRun(x, y, count);
        }
    }
};

// cv0 of every awake, filtered sample of the run.
template <bool kPerSampleReference>
inline void cutoffVoltages(CutoffRun& run, VoiceFrame* frames, int n)
{
    run.count = 0;
    for (int j = 0; j < n; ++j)
        if (frames[j].awake && !frames[j].filter.bypassed)
        {
            run.frame[run.count] = frames + j;
            run.x[run.count++] = frames[j].cutoff.exponent;
        }
    run.expOfX<kPerSampleReference>();
    for (int i = 0; i < run.count; ++i)
    {
        const CutoffTerms& t = run.frame[i]->cutoff;
        run.cv0[i] = static_cast<float>(cutoffVoltageOf(t.expScale, run.y[i], t.triggerRamps));
    }
}

// The improved engine: cutoff coefficient (through its smoother) and bass-boosted input; `run`
// then lists the samples that go through the filter.
template <bool kPerSampleReference>
inline void filterInputsRE(CutoffRun& run, Synth303& s, VoiceFrame* frames, int n, double bassBoostK)
{
    cutoffVoltages<kPerSampleReference>(run, frames, n);
    for (int i = 0; i < run.count; ++i)
        run.x[i] = cutoffTargetExponent(trimmedCutoffVoltage(run.cv0[i], s.VCFTrim));
    run.expOfX<kPerSampleReference>();
    for (int i = 0; i < run.count; ++i)
    {
        VoiceFrame& frame = *run.frame[i];
        frame.filter.c = static_cast<float>(s.cutoffSmoother.step(cutoffTargetOf(run.y[i]), kCutoffSmoothing));
        frame.filter.in = static_cast<float>(
            bassBoostedInput(frame.cutoff.signal, run.cv0[i], frame.cutoff.bassBoost, s.bassBoostLP, bassBoostK));
    }
}

// The classic engine: the cutoff coefficient of its range (the input is already in the frame);
// `run` then lists the samples that go through the filter.
template <bool kPerSampleReference>
inline void filterInputs311(CutoffRun& run, VoiceFrame* frames, int n, ClassicFilterRange range)
{
    cutoffVoltages<kPerSampleReference>(run, frames, n);
    for (int i = 0; i < run.count; ++i)
        run.x[i] = classicCutoffExponent(run.cv0[i], range);
    run.expOfX<kPerSampleReference>();
    for (int i = 0; i < run.count; ++i)
        run.frame[i]->filter.c = classicCutoffOf(run.y[i], range);
}

// The ladder coefficients of a run, field by field: the loop that computes them has no table
// lookup, branch or gather, so the compiler vectorises it.
struct LadderCoefficientsRun
{
    double c[kVoiceFrameRun], r[kVoiceFrameRun], feedback[kVoiceFrameRun];
    double rk4Gain[kVoiceFrameRun], rk4Keep[kVoiceFrameRun];
    double feedbackGainA[kVoiceFrameRun], feedbackGainB[kVoiceFrameRun];
    double oneMinusC[kVoiceFrameRun], r2[kVoiceFrameRun], oneMinusR2[kVoiceFrameRun], boost[kVoiceFrameRun];
    double gainTarget[kVoiceFrameRun];

    void compute(int count, const double* oneMinusCPowQ, double resoTrim)
    {
        for (int i = 0; i < count; ++i)
        {
            const LadderCoefficients k = ladderCoefficientsWith(c[i], r[i], feedback[i], resoTrim, oneMinusCPowQ[i], 0.0);
            const LadderOutputMix m = LadderOutputMix::of(k);
            rk4Gain[i] = k.rk4Gain;
            rk4Keep[i] = k.rk4Keep;
            feedbackGainA[i] = k.feedbackGainA;
            feedbackGainB[i] = k.feedbackGainB;
            oneMinusC[i] = m.oneMinusC;
            r2[i] = m.r2;
            oneMinusR2[i] = m.oneMinusR2;
            boost[i] = m.boost;
            gainTarget[i] = m.gainTarget;
        }
    }

    // What the fast arithmetic of the lanes reads, as LaneCoefficients::of(LadderCoefficients)
    // would give it; the literal arithmetic's R, K, trim and g are left as they are.
    void storeFastLanes(int i, LaneCoefficients& to, double gainSmoothing) const
    {
        to.rk4Gain = rk4Gain[i];
        to.rk4Keep = rk4Keep[i];
        to.feedbackGain[0] = feedbackGainA[i];
        to.feedbackGain[1] = feedbackGainB[i];
        to.mix = {c[i], oneMinusC[i], r2[i], oneMinusR2[i], boost[i], gainTarget[i], gainSmoothing};
    }
};

// The render's ladder coefficients of the samples `run` lists, after filterInputs (the
// per-sample reference computes its own in vcf303).
inline void ladderCoefficientsOfRun(CutoffRun& run, const Synth303& s, VoiceFrame* frames, const FilterRates& rates)
{
    LadderCoefficientsRun k;
    for (int i = 0; i < run.count; ++i)
    {
        const FilterInput& f = run.frame[i]->filter;
        const double c = f.c;
        k.c[i] = c;
        k.r[i] = ladderResonance(c, f.r, rates);
        k.feedback[i] = septabFeedback(c, rates.tableScale, s.filterFeedbackScale);
        run.x[i] = 1.0 - f.c;
    }
    const double* oneMinusCPowQ = run.x;
    if (rates.q != 1.0f)
    {
        run.pad(0.5);
        powRun(run.x, rates.q, run.y, run.count);
        oneMinusCPowQ = run.y;
    }
    k.compute(run.count, oneMinusCPowQ, s.ResoTrim);
    for (int i = 0; i < run.count; ++i)
        k.storeFastLanes(i, run.frame[i]->ladder, rates.gainSmoothing);
}
} // namespace oxn3
