// The classic render engine: the improved engine's per-sample order, parts and scope, with the
// earlier voice's stages where they differ (Synth303Classic.h) and the click generator at the
// output.
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
#include "engine/Synth303Classic.h"
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

// Everything of the classic render that depends only on the sample rate (and the raw highpass
// knob, which changes only between blocks).
struct Rates311
{
    double slide = 0.0;
    double bassLift = 0.0;
    double snapshotDecay = 1.0;
    double highpass = 0.0;
    bool highpassOn = false;
    float svf = 0.0f;
    ClassicFilterRange filterRange = ClassicFilterRange::Ladder;
    OscillatorRates oscillator;
    EnvelopeRates envelope;
    FilterRates filter;
    OutputRates output;

    static Rates311 compute(const Synth303& s)
    {
        const float q = s.fsRatio;
        Rates311 r;
        r.slide = slideCoefficient(s.sampleRate);
        r.bassLift = bassLiftCoefficient(q);
        r.snapshotDecay = snapshotDecayFactor(q);
        r.highpassOn = s.highpass > 0.0f;
        r.highpass = highpassCoefficient311(s.highpass, q);
        r.svf = svfCoefficientFor(q);
        r.filterRange = classicFilterRange(s.sampleRate);
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
struct Transcendentals311
{
    using Pow = std::conditional_t<kPerSampleReference, DirectPow, MemoPow>;
    using Exp = std::conditional_t<kPerSampleReference, DirectExp, MemoExp>;

    Pow accentCurve;
    Exp vcaCurve;
};
} // namespace

template <bool kPerSampleReference>
void Synth303::render311Stages(float* out, int numSamples)
{
    if (numSamples <= 0 || out == nullptr)
        return;

    // Block start: smoothing targets, the smoothers that move (or swing), the knob shapes and the
    // rate constants. The step length is left as setTempo made it.
    const SmootherTargets targets = SmootherTargets::read(*this);
    unsigned moving = kPerSampleReference ? kVoiceSmoothers : movingSmoothers(*this, targets, kVoiceSmoothers);
    const SmootherSwings swings = kPerSampleReference ? SmootherSwings() : SmootherSwings::find(*this, targets, moving);
    const float q = fsRatio;
    Rates311 rates = Rates311::compute(*this);
    svfCoefficient = rates.svf;
    KnobShapes<RenderEngine::Classic, kPerSampleReference> knobs;
    knobs.start(*this, q);
    Transcendentals311<kPerSampleReference> math;
    OversampledFilter<kPerSampleReference> filter(*this);
    ScopeSignals scope; // vca, A, Ea and Av keep their last values over asleep samples
    ScopeRecorder<kPerSampleReference> scopeRecorder(*this);
    ClockRun clock;
    OscillatorBlock<kPerSampleReference> oscillator;
    oscillator.take(oscillatorModel311(VCOMode), 1.0);
    if constexpr (!kPerSampleReference)
        prepareVibrato(vibrato, sampleRate, q);

    // How the control part steps the one-pole states that step once per awake sample (all but
    // d24); `steps.finish` after the block names them all.
    std::conditional_t<kPerSampleReference, OwnOffsetFlips, BlockOffsetSign> steps;

    // What the control part of a sample hands from one piece to the next.
    struct
    {
        bool restPoles = false;
        AccentSignals accent;
    } carry;

    // The control part of a sample, in three pieces (RenderPasses.h): steps 1 to 5; 6 to 16;
    // 17 to 25 and 32 and 34. The filter's input waits in frame.cutoff.signal.
    auto controlA = [&](VoiceFrame& frame) {
        if constexpr (kPerSampleReference)
        {
            rates = Rates311::compute(*this);
            svfCoefficient = rates.svf;
        }

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
            // 4. pitch and oscillator; the pitch wheel has no effect here
            if constexpr (kPerSampleReference)
                oscillator.take(oscillatorModel311(VCOMode), 1.0);
            const PhaseStep step =
                pitchPath(*this, vcoFrequency, rates.slide, knobs.tuningFactor, kPerSampleReference, steps);
            double o = oscillator311(*this, oscillator, step.increment, step.period, rates.oscillator) * oscGain;

            // 5. bass lift, then resonance emphasis
            o = liftBass(bassBoostLP, o, rates.bassLift, knobs.audio.oneMinusResonance, steps);
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

            // 12. trigger; a quiet one also starts the ladders from rest (when they next run)
            carry.restPoles = false;
            if (trigger)
            {
                triggerEnvelopes(*this);
                carry.restPoles = laddersRestOnTrigger(*this);
            }

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
            decayAccentSnapshot311(*this, rates.snapshotDecay);
            decayTriggerRamps(triggerRamps, rates.envelope);

            // 21. and 22. cutoff voltage and the filter's input; no filter at low rates
            if (rates.filterRange != ClassicFilterRange::Bypassed)
            {
                // the cutoff pass goes on from the exponent to the coefficient
                scope.envAccent = envelopeAccent311(knobs.cutoff, accentCap.value, carry.accent.curve);
                frame.cutoff.exponent =
                    cutoffExponent(knobs.cutoff, scope.envAccent, carry.accent.envelope, carry.accent.restVoltage);
                frame.cutoff.expScale = knobs.cutoff.expScale;
                frame.cutoff.triggerRamps[0] = triggerRamps[0];
                frame.cutoff.triggerRamps[1] = triggerRamps[1];
                frame.filter = {static_cast<float>(frame.cutoff.signal), 0.0f, knobs.resonanceR};
            }
            else
            {
                frame.filter = {static_cast<float>(frame.cutoff.signal)};
                frame.filter.bypassed = true;
            }
            frame.filter.restPoles = carry.restPoles;

            // 23. VCA accent
            scope.vcaAccent = vcaAccent(carry.accent.curve, knobs.vcaAccent);
            followVcaAccent311(*this, scope.vcaAccent, steps);

            // 24. VCA accent drain
            drainVcaAccent(*this, scope.vca, knobs.vcaDrain);

            // 25. VCA gain
            updateVcaGain311(*this, scope.vca, steps);

            handOverToOutput(*this, frame, scope.vca, knobs, moving);
            steps.nextAwakeSample();
        }
        // 32 to 34. scope, smoothers, end of the sample
        endSampleControl(*this, scopeRecorder, scope, knobs, targets, moving, q);
    };

    // 21. and 22. for a run of samples: cv0, the cutoff coefficient and the ladders' coefficients.
    auto cutoffPass = [&](VoiceFrame* frames, int n) {
        if (rates.filterRange == ClassicFilterRange::Bypassed)
            return;
        CutoffRun run;
        filterInputs311<kPerSampleReference>(run, frames, n, rates.filterRange);
        if constexpr (!kPerSampleReference)
            ladderCoefficientsOfRun(run, *this, frames, rates.filter);
    };

    // The ladders of a sample: step 22, the filter 2x oversampled in four pieces (or the signal
    // as it is at low rates).
    auto ladders = [&](VoiceFrame& frame, int piece, bool knownAwake) {
        filterPiece<true>(filter, *this, frame, rates.filter, piece, knownAwake);
    };
    auto decimate = [&](VoiceFrame* frames, int n) { filter.decimateRun(*this, frames, n); };

    // The output part of a sample: steps 26 to 31 and the scope (33). Once the click is rearmed
    // and the voice faded in behind it, a block whose knobs rest takes its awake samples the
    // settled way (SettledOutput).
    const OutputRun outputRun = OutputRun::of(*this, (moving & kSmoothVolume) != 0);
    auto output = [&, run = outputRun,
                   settles = !kPerSampleReference && !rates.highpassOn && !(moving & kAudioKnobSmoothers) &&
                             outputSettles(*this, outputRun, numSamples),
                   settled = false](const VoiceFrame& frame, float& sample, bool knownAwake) mutable {
        // 26 to 31 of an awake sample
        auto awakeSample = [&](const AudioKnobs& k, auto& switches, bool highpassOn) {
            // 26. DC blocker
            double y = blockDc(outLP1, frame.filtered, rates.output.lowPass[0]);

            // 27. highpass
            if (highpassOn)
                y = highpassStep(highpassLP, y, rates.highpass);

            // 28. square tone filter
            if (switches.clipping && squareSelected(k.waveform))
                y = stateVariableFilter(*this, y, k);

            // 29. VCA
            y = cutoffColour(applyVca311(y, frame.vcaGain, frame.volumeEnvelope), k.colour);

            // 30. distortion and volume
            y = applyVolume(distortion(y, switches), k.volumeSquared);

            // 31. output stage with the click generator
            return outputStage311(*this, y, frame.vca, k, knobs.outputNoise, switches);
        };
        if (knownAwake || frame.awake)
        {
            if (settled)
            {
                SettledOutput switches;
                sample = awakeSample(knobs.audio, switches, false);
            }
            else
            {
                sample = awakeSample(audioKnobsOf(frame, knobs.audio, moving), run, rates.highpassOn);
                settled = settles && run.click.done && run.click.fadedIn &&
                          onOffSound.counter >= onOffSound.length;
            }
        }

        // 33. scope: the output sample (the control part recorded the rest)
        scopeRecorder.recordAudio(*this, sample);
    };

    renderInPasses<kPerSampleReference ? 1 : kVoiceFrameRun>(
        out, numSamples, controlPieces(controlA, controlB, controlC), cutoffPass, ladders, decimate, output);
    steps.finish(glide, bassBoostLP, emphasisLP, mainEnvelope, volumeEnvelope, gateFollower, accentCap,
                 vcaAccentLevel, vcaAccentLevel2, vcaGain);
    filter.finish(*this);
    swings.finish(*this, numSamples);
    endBlockControl(*this, clock, scopeRecorder, out, numSamples, moving);
    recoverUnusableVoice(out, numSamples);
}

// Every stage inlined into one function, built twice: for x86-64-v3 and for plain x86-64.
__attribute__((target_clones("arch=x86-64-v3", "default"), flatten)) void
Synth303::render311Fast(float* out, int numSamples)
{
    render311Stages<false>(out, numSamples);
}

template <>
void Synth303::render311<false>(float* out, int numSamples)
{
    render311Fast(out, numSamples);
}

template <>
void Synth303::render311<true>(float* out, int numSamples)
{
    render311Stages<true>(out, numSamples);
}

void Synth303::blockProcess311(float* out, int numSamples, bool)
{
    render311<false>(out, numSamples);
}
