// The improved render engine: per sample, the sequencer clock, the pitch path and oscillator,
// envelopes and accent, the cutoff voltage, the 2x oversampled filter, the VCA and the output
// stage, then the parameter smoothers and the scope.
#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>

#include "engine/MemoizedMath.h"
#include "engine/Synth303.h"
#include "engine/Synth303Envelopes.h"
#include "engine/Synth303Filter.h"
#include "engine/Synth303Output.h"
#include "engine/Synth303Pitch.h"

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
    using Pow = std::conditional_t<kPerSampleReference, DirectPow, MemoPow>;
    using Exp = std::conditional_t<kPerSampleReference, DirectExp, MemoExp>;

    Pow resonancePow14;
    Pow resonancePow12;
    Pow tuningFactor;
    Pow mainDecay;
    Pow volumeDecay;
    Pow accentCurve;
    Pow resonanceQuarter;
    Pow vcaAccentShape;
    Pow highpassDecay;
    Exp vcaCurve;
};

} // namespace

template <bool kPerSampleReference>
void Synth303::renderRE(float* out, int numSamples)
{
    samplesPerStep = sampleRate / (std::max(bpm, kMinBpm) * kStepsPerMinutePerBpm);
    if (numSamples <= 0 || out == nullptr)
        return;

    // Block start: smoothing targets, the accent's cutoff weight and the rate constants.
    const SmootherTargets targets = SmootherTargets::read(*this);
    const double accentCutoffWeight = cutoffWeight(smoothedCutoff);
    const float q = fsRatio;
    RatesRE rates = RatesRE::compute(q, sampleRate);
    TranscendentalsRE<kPerSampleReference> math;
    ScopeSignals scope; // vca, A, Ea and Av keep their last values over asleep samples

    for (int i = 0; i < numSamples; ++i)
    {
        if constexpr (kPerSampleReference)
            rates = RatesRE::compute(q, sampleRate);

        // 1. clock
        scopeWriteIndex = i;
        RunSequencerRE();

        // 2. resonance shapes
        const double resonancePow14 = math.resonancePow14(smoothedResonance, 1.4);
        const double resonanceAmount = math.resonancePow12(smoothedResonance + 0.0001, 1.2);

        // 3. sleep
        if (gate)
            sleepCounter = 0;
        else if (sleepCounter < INT_MAX)
            ++sleepCounter;

        if (sleepCounter < sleepLimit)
        {
            // 4. pitch and oscillator
            const PhaseStep step = pitchPath(*this, bentFrequency(*this), rates.slide, math.tuningFactor,
                                             kPerSampleReference);
            const double o = oscillatorRE(*this, step.increment, step.period, rates.oscillator) * oscGain;

            // 5. resonance emphasis
            double e = emphasise(emphasisLP, o, rates.output.emphasis, smoothedResonance);

            // 6. filter envelope
            const float decayRate = envelopeDecayRate(smoothedResonance, smoothedDecay, stepAccent, kImprovedDecayFloor);
            decayToZero(mainEnvelope, 1.0 - math.mainDecay(mainEnvelopeBase(decayRate, envelopeArmed), q));

            // 7. volume envelope
            decayVolumeEnvelope(volumeEnvelope, 1.0 - math.volumeDecay(volumeEnvelopeBase(envelopeArmed), q), q);

            // 8. gate envelope
            updateGateEnvelopeRE(gateEnvelope, gate, VCAClicks, smoothedResonance, GateTrim, q);

            // 9. VCA curve
            scope.vca = vcaCurve(math.vcaCurve(-gateEnvelope));

            // 10. VCA noise into the filter
            if (VCANoise)
                e += nextNoise(filterNoise) * scope.vca;

            // 11. gate follower
            followGate(gateFollower, gate, rates.envelope);

            // 12. trigger
            if (trigger)
                triggerEnvelopes(*this);

            // 13. envelope as the accent sees it
            const double envelope = mainEnvelope.value;
            const float accentEnv = accentEnvelope(envelope);

            // 14. rest voltage
            const float restVoltage = envelopeRestVoltage(analogConstants[4], gateFollower.value);

            // 15. accent level
            const float accentA = accentLevel(stepAccent, accentEnv, smoothedAccent);
            scope.accent = accentA;

            // 16. accent curve
            const double accentCurve = math.accentCurve(accentA, accentCurveExponent(scope.vca, smoothedCutoff));

            // 17. d24
            updateD24(d24, accentA, smoothedAccent, rates.envelope);

            // 18. an accented slide chain holds the gate follower empty
            if (latchedAccent)
                gateFollower.value = 0.0;

            // 19. accent capacitor
            chargeAccentCap(*this, accentCutoffWeight, rates.envelope);

            // 20. snapshot and trigger ramps run down
            decayAccentSnapshotRE(*this, q);
            decayTriggerRamps(triggerRamps, q);

            // 21. cutoff voltage
            const CutoffVoltageInputs cv{envelope, resonancePow14, accentCap.value, accentCurve, restVoltage,
                                         smoothedCutoff, smoothedEnvmod, smoothedAccent, triggerRamps};
            scope.envAccent = envelopeAccent(cv);
            const float cv0 = static_cast<float>(cutoffVoltage(cv, std::exp(cutoffExponent(cv, scope.envAccent))));

            // 22. filter, 2x oversampled
            const float cutoffC = static_cast<float>(
                cutoffSmoother.step(cutoffTarget(trimmedCutoffVoltage(cv0, VCFTrim)), kCutoffSmoothing));
            const float filterIn = static_cast<float>(bassBoostedInput(
                e, cv0, math.resonanceQuarter(smoothedResonance, 0.25), smoothedBass, bassBoostLP, rates.bassBoost));
            const float resonanceR = static_cast<float>(resonanceAmount);
            const float filtered =
                oversampledFilter<kPerSampleReference>(*this, filterIn, cutoffC, resonanceR, rates.filter);

            // 23. VCA accent
            const double shape = math.vcaAccentShape(smoothedResonance + 1e-7, 0.2);
            scope.vcaAccent = vcaAccentRE(accentCurve, shape, smoothedCutoff, smoothedEnvmod);
            followVcaAccentRE(*this, scope.vcaAccent, shape);

            // 24. VCA accent drain
            drainVcaAccent(*this, scope.vca, q);

            // 25. VCA level and gain
            updateVcaGainRE(*this, scope.vca, rates.envelope);

            // 26. output filters
            const float h4 = outputFiltersRE(*this, filtered, rates.output);

            // 27. VCA
            double y = cutoffColour(applyVcaRE(*this, h4), smoothedCutoff);

            // 28. highpass
            y = highpassStep(highpassLP, y, 1.0 - math.highpassDecay(highpassBase(smoothedHighpass), q));

            // 29. distortion
            y = distortion(y, distort);

            // 30. output stage
            out[i] = outputStageRE(*this, y, scope.vca);
        }

        // 31. smoothers, asleep or not
        runSmoothersRE(*this, targets);

        // 32. scope
        if (running)
        {
            scope.audio = out[i];
            writeScope(*this, scope);
        }

        // 33.
        trigger = 0;
        smootherOffset = -smootherOffset;
    }
}

template void Synth303::renderRE<false>(float* out, int numSamples);
template void Synth303::renderRE<true>(float* out, int numSamples);

void Synth303::blockProcessRE(float* out, int numSamples, bool)
{
    renderRE<false>(out, numSamples);
}
