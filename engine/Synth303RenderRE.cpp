// The improved render engine: per sample, the sequencer clock, the pitch path and oscillator,
// envelopes and accent, the cutoff voltage, the 2x oversampled filter, the VCA and the output
// stage, then the parameter smoothers and the scope. The steps fall into three parts (control,
// ladders, output; VoiceFrame.h), and the render takes a run of samples through each in turn.
#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>

#include "engine/CutoffPass.h"
#include "engine/KnobShapes.h"
#include "engine/MemoizedMath.h"
#include "engine/OversampledFilter.h"
#include "engine/RenderPasses.h"
#include "engine/SequencerClock.h"
#include "engine/Synth303.h"
#include "engine/Synth303Envelopes.h"
#include "engine/Synth303Filter.h"
#include "engine/Synth303Output.h"
#include "engine/Synth303Pitch.h"
#include "engine/Synth303Scope.h"
#include "engine/Synth303Smoothers.h"
#include "engine/VoiceFrame.h"

namespace
{
using namespace oxn3;

constexpr double kMinBpm = 1e-6;
constexpr double kStepsPerMinutePerBpm = 4.0 / 60.0; // sixteenth notes

// Everything of the improved render that depends only on the sample rate.
struct RatesRE
{
    double slide = 0.0;
    double bassBoost = 0.0;
    OscillatorRates oscillator;
    EnvelopeRates envelope;
    FilterRates filter;
    OutputRates output;

    static RatesRE compute(float q, double sampleRate)
    {
        RatesRE r;
        r.slide = slideCoefficient(sampleRate);
        r.bassBoost = bassBoostCoefficient(q);
        r.oscillator = OscillatorRates::compute(q);
        r.envelope = EnvelopeRates::compute(q);
        r.filter = FilterRates::compute(q);
        r.output = OutputRates::compute(q);
        return r;
    }
};

// The transcendental calls of one sample whose arguments usually repeat: remembered in the
// render, plain calls in the per-sample reference.
template <bool kPerSampleReference>
struct TranscendentalsRE
{
    using Pow = std::conditional_t<kPerSampleReference, DirectPow, MemoPowQuarters>;
    using Exp = std::conditional_t<kPerSampleReference, DirectExp, MemoExp>;

    Pow accentCurve;
    Exp vcaCurve;
};
} // namespace

template <bool kPerSampleReference>
void Synth303::renderREStages(float* out, int numSamples)
{
    samplesPerStep = sampleRate / (std::max(bpm, kMinBpm) * kStepsPerMinutePerBpm);
    if (numSamples <= 0 || out == nullptr)
        return;

    // Block start: smoothing targets, the smoothers that move (or swing), the knob shapes and the
    // rate constants.
    const SmootherTargets targets = SmootherTargets::read(*this);
    unsigned moving = kPerSampleReference ? kAllSmoothers : movingSmoothers(*this, targets, kAllSmoothers);
    const SmootherSwings swings = kPerSampleReference ? SmootherSwings() : SmootherSwings::find(*this, targets, moving);
    const float q = fsRatio;
    RatesRE rates = RatesRE::compute(q, sampleRate);
    KnobShapes<RenderEngine::Improved, kPerSampleReference> knobs;
    knobs.start(*this, q);
    TranscendentalsRE<kPerSampleReference> math;
    OversampledFilter<kPerSampleReference> filter(*this);
    ScopeSignals scope; // vca, A, Ea and Av keep their last values over asleep samples
    ScopeRecorder<kPerSampleReference> scopeRecorder(*this);
    ClockRun clock;
    OscillatorBlock<kPerSampleReference> oscillator;
    oscillator.take(oscillatorModelRE(VCOMode), pitchBendFactor(*this));
    if constexpr (!kPerSampleReference)
        prepareVibrato(vibrato, sampleRate, q);

    // How the control part steps the one-pole states that step once per awake sample (all but
    // d24); `steps.finish` after the block names them all.
    std::conditional_t<kPerSampleReference, OwnOffsetFlips, BlockOffsetSign> steps;

    // What the control part of a sample hands from one piece to the next.
    struct
    {
        AccentSignals accent;
    } carry;

    // The control part of a sample, in three pieces (RenderPasses.h): steps 1 to 5; 6 to 16;
    // 17 to 25 and 31 and 33.
    auto controlA = [&](VoiceFrame& frame) {
        if constexpr (kPerSampleReference)
            rates = RatesRE::compute(q, sampleRate);

        // 1. clock
        runSequencerClock(*this, clock, [&] { scopeRecorder.stepStarted(*this); });

        // 2. resonance shapes: knobs.resonancePow14 and knobs.resonanceR

        // 3. sleep
        if (gate)
            sleepCounter = 0;
        else if (sleepCounter < INT_MAX)
            ++sleepCounter;

        frame.awake = sleepCounter < sleepLimit;
        if (frame.awake)
        {
            // 4. pitch and oscillator
            if constexpr (kPerSampleReference)
                oscillator.take(oscillatorModelRE(VCOMode), pitchBendFactor(*this));
            const PhaseStep step = pitchPath(*this, vcoFrequency * oscillator.bend, rates.slide, knobs.tuningFactor,
                                             kPerSampleReference, steps);
            const double o = oscillatorRE(*this, oscillator, step.increment, step.period, rates.oscillator) * oscGain;

            // 5. resonance emphasis
            frame.cutoff.signal = emphasise(emphasisLP, o, rates.output.emphasis, smoothedResonance, steps);
        }
    };
    auto controlB = [&](VoiceFrame& frame) {
        if (frame.awake)
        {
            // 6. filter envelope
            decayToZero(mainEnvelope, knobs.mainDecayStepOf(stepAccent, envelopeArmed), steps);

            // 7. volume envelope
            decayVolumeEnvelope(volumeEnvelope, knobs.volumeDecayStepOf(envelopeArmed), rates.envelope, steps);

            // 8. gate envelope
            updateGateEnvelope(gateEnvelope, gate, knobs.gateGrowth, knobs.gateSteps);

            // 9. VCA curve
            scope.vca = vcaCurve(math.vcaCurve(-gateEnvelope));

            // 10. VCA noise into the filter
            if (VCANoise)
                frame.cutoff.signal += nextNoise(filterNoise, knobs.filterNoise) * scope.vca;

            // 11. gate follower
            followGate(gateFollower, gate, rates.envelope, steps);

            // 12. trigger
            if (trigger)
                triggerEnvelopes(*this);

            // 13 to 16. envelope as the accent sees it, rest voltage, accent level and curve
            carry.accent = accentSignals(*this, scope.vca, knobs, math.accentCurve);
            scope.accent = carry.accent.level;
        }
    };
    auto controlC = [&](VoiceFrame& frame) {
        if (frame.awake)
        {
            // 17. d24
            updateD24(d24, carry.accent.level, smoothedAccent, rates.envelope);

            // 18. an accented slide chain holds the gate follower empty
            if (latchedAccent)
                gateFollower.value = 0.0;

            // 19. accent capacitor
            chargeAccentCap(*this, knobs.snapshotWeight, rates.envelope, steps);

            // 20. snapshot and trigger ramps run down
            decayAccentSnapshotRE(*this, rates.envelope);
            decayTriggerRamps(triggerRamps, rates.envelope);

            // 21. cutoff voltage: its exponent (the cutoff pass goes on from there)
            scope.envAccent = envelopeAccent(knobs.cutoff, accentCap.value, carry.accent.curve);
            CutoffTerms& cutoff = frame.cutoff; // its signal came with controlA and B
            cutoff.exponent =
                cutoffExponent(knobs.cutoff, scope.envAccent, carry.accent.envelope, carry.accent.restVoltage);
            cutoff.expScale = knobs.cutoff.expScale;
            cutoff.triggerRamps[0] = triggerRamps[0];
            cutoff.triggerRamps[1] = triggerRamps[1];
            cutoff.bassBoost = knobs.bassBoost;

            // 22. the filter's input: the cutoff pass adds the signal and the cutoff coefficient
            frame.filter.r = knobs.resonanceR;

            // 23. VCA accent
            scope.vcaAccent = vcaAccent(carry.accent.curve, knobs.vcaAccent);
            followVcaAccentRE(*this, scope.vcaAccent, knobs.vcaAccent, steps);

            // 24. VCA accent drain
            drainVcaAccent(*this, scope.vca, knobs.vcaDrain);

            // 25. VCA level and gain
            updateVcaGainRE(*this, scope.vca, knobs.accentSquared, rates.envelope, steps);

            handOverToOutput(*this, frame, scope.vca, knobs, moving);
            steps.nextAwakeSample();
        }
        // 31 to 33. scope, smoothers, end of the sample
        endSampleControl(*this, scopeRecorder, scope, knobs, targets, moving, q);
    };

    // 21. and 22. for a run of samples: cv0, the filter's input and the ladders' coefficients.
    auto cutoffPass = [&](VoiceFrame* frames, int n) {
        CutoffRun run;
        filterInputsRE<kPerSampleReference>(run, *this, frames, n, rates.bassBoost);
        if constexpr (!kPerSampleReference)
            ladderCoefficientsOfRun(run, *this, frames, rates.filter);
    };

    // The ladders of a sample: step 22, the filter 2x oversampled, in four pieces.
    auto ladders = [&](VoiceFrame& frame, int piece, bool knownAwake) {
        filterPiece<false>(filter, *this, frame, rates.filter, piece, knownAwake);
    };
    auto decimate = [&](VoiceFrame* frames, int n) { filter.decimateRun(*this, frames, n); };

    // The output part of a sample: steps 26 to 30 and the scope (32). Once the click is rearmed,
    // a block whose knobs rest takes its awake samples the settled way (SettledOutput).
    // The output part's six one-pole states step once per awake output sample: a stepping of
    // their own, as the control part's `steps`.
    std::conditional_t<kPerSampleReference, OwnOffsetFlips, BlockOffsetSign> outputSteps;
    const OutputRun outputRun = OutputRun::of(*this, (moving & kSmoothVolume) != 0);
    auto output = [&, run = outputRun,
                   settles = !kPerSampleReference && !(moving & kAudioKnobSmoothers) &&
                             outputSettles(*this, outputRun, numSamples),
                   settled = false](const VoiceFrame& frame, float& sample, bool knownAwake) mutable {
        // 26 to 30 of an awake sample
        auto awakeSample = [&](const AudioKnobs& k, auto& switches) {
            // 26. output filters
            const float h4 = outputFiltersRE(*this, frame.filtered, rates.output, k, outputSteps);

            // 27. VCA
            double y =
                cutoffColour(applyVcaRE(*this, h4, frame.vcaGain, frame.volumeEnvelope, outputSteps), k.colour);

            // 28. highpass
            y = highpassStep(highpassLP, y, k.highpassK, outputSteps);

            // 29. distortion
            y = distortion(y, switches);

            // 30. output stage
            return outputStageRE(*this, y, frame.vca, k, knobs.outputNoise, switches);
        };
        if (knownAwake || frame.awake)
        {
            if (settled)
            {
                SettledOutput switches;
                sample = awakeSample(knobs.audio, switches);
            }
            else
            {
                sample = awakeSample(audioKnobsOf(frame, knobs.audio, moving), run);
                settled = settles && run.click.done;
            }
            outputSteps.nextAwakeSample();
        }

        // 32. scope: the output sample (the control part recorded the rest)
        scopeRecorder.recordAudio(*this, sample);
    };

    renderInPasses<kPerSampleReference ? 1 : kVoiceFrameRun>(
        out, numSamples, controlPieces(controlA, controlB, controlC), cutoffPass, ladders, decimate, output);
    steps.finish(glide, emphasisLP, mainEnvelope, volumeEnvelope, gateFollower, accentCap, vcaAccentLevel,
                 vcaAccentLevel2, vcaLevel, vcaGain);
    outputSteps.finish(outLP1, outLP2, outLP3, outLP4, vcaGainSmoothed, highpassLP);
    filter.finish(*this);
    swings.finish(*this, numSamples);
    endBlockControl(*this, clock, scopeRecorder, out, numSamples, moving);
    recoverUnusableVoice(out, numSamples);
}

// Every stage inlined into one function, built twice: for x86-64-v3 and for plain x86-64.
__attribute__((target_clones("arch=x86-64-v3", "default"), flatten)) void
Synth303::renderREFast(float* out, int numSamples)
{
    renderREStages<false>(out, numSamples);
}

template <>
void Synth303::renderRE<false>(float* out, int numSamples)
{
    renderREFast(out, numSamples);
}

template <>
void Synth303::renderRE<true>(float* out, int numSamples)
{
    renderREStages<true>(out, numSamples);
}

void Synth303::blockProcessRE(float* out, int numSamples, bool)
{
    renderRE<false>(out, numSamples);
}
