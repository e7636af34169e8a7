// The classic render engine: the improved engine's per-sample order and scope, with the earlier
// voice's stages where they differ (Synth303Classic.h) and the click generator at the output.
#include <climits>
#include <cmath>
#include <type_traits>

#include "engine/MemoizedMath.h"
#include "engine/Synth303.h"
#include "engine/Synth303Classic.h"
#include "engine/Synth303Envelopes.h"
#include "engine/Synth303Filter.h"
#include "engine/Synth303Output.h"
#include "engine/Synth303Pitch.h"

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

    Pow resonancePow14;
    Pow resonancePow12;
    Pow tuningFactor;
    Pow mainDecay;
    Pow volumeDecay;
    Pow accentCurve;
    Pow vcaAccentShape;
    Exp vcaCurve;
};
} // namespace

template <bool kPerSampleReference>
void Synth303::render311(float* out, int numSamples)
{
    if (numSamples <= 0 || out == nullptr)
        return;

    // Block start: smoothing targets, the accent's cutoff weight and the rate constants.
    // The step length is left as setTempo made it.
    const SmootherTargets targets = SmootherTargets::read(*this);
    const double accentCutoffWeight = cutoffWeight(smoothedCutoff);
    const float q = fsRatio;
    Rates311 rates = Rates311::compute(*this);
    svfCoefficient = rates.svf;
    Transcendentals311<kPerSampleReference> math;
    ScopeSignals scope; // vca, A, Ea and Av keep their last values over asleep samples

    for (int i = 0; i < numSamples; ++i)
    {
        if constexpr (kPerSampleReference)
        {
            rates = Rates311::compute(*this);
            svfCoefficient = rates.svf;
        }

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
            // 4. pitch and oscillator; the pitch wheel has no effect here
            const PhaseStep step = pitchPath(*this, vcoFrequency, rates.slide, math.tuningFactor, kPerSampleReference);
            double o = oscillator311(*this, step.increment, step.period, rates.oscillator) * oscGain;

            // 5. bass lift, then resonance emphasis
            o = liftBass(bassBoostLP, o, rates.bassLift, smoothedResonance);
            double e = emphasise(emphasisLP, o, rates.output.emphasis, smoothedResonance);

            // 6. filter envelope
            const float decayRate = envelopeDecayRate(smoothedResonance, smoothedDecay, stepAccent, kClassicDecayFloor);
            decayToZero(mainEnvelope, 1.0 - math.mainDecay(mainEnvelopeBase(decayRate, envelopeArmed), q));

            // 7. volume envelope
            decayVolumeEnvelope(volumeEnvelope, 1.0 - math.volumeDecay(volumeEnvelopeBase(envelopeArmed), q), q);

            // 8. gate envelope
            updateGateEnvelope311(gateEnvelope, gate, VCAClicks, GateTrim, q);

            // 9. VCA curve
            scope.vca = vcaCurve(math.vcaCurve(-gateEnvelope));

            // 10. VCA noise into the filter
            if (VCANoise)
                e += nextNoise(filterNoise) * scope.vca;

            // 11. gate follower
            followGate(gateFollower, gate, rates.envelope);

            // 12. trigger
            if (trigger)
            {
                triggerEnvelopes(*this);
                resetLaddersOnQuietTrigger(*this);
            }

            // 13. envelope as the accent sees it
            const double envelope = mainEnvelope.value;
            const float accentEnv = accentEnvelope(envelope);

            // 14. rest voltage
            const float restVoltage = envelopeRestVoltage(analogConstants[4], gateFollower.value);

            // 15. accent level
            const float accentA = accentLevel(stepAccent, accentEnv, smoothedAccent);
            scope.accent = accentA;

            // 16. accent curve
            const double accentCurve = math.accentCurve(accentA, accentCurveExponent311(scope.vca));

            // 17. d24
            updateD24(d24, accentA, smoothedAccent, rates.envelope);

            // 18. an accented slide chain holds the gate follower empty
            if (latchedAccent)
                gateFollower.value = 0.0;

            // 19. accent capacitor
            chargeAccentCap(*this, accentCutoffWeight, rates.envelope);

            // 20. snapshot and trigger ramps run down
            decayAccentSnapshot311(*this, rates.snapshotDecay);
            decayTriggerRamps(triggerRamps, q);

            // 21. and 22. cutoff voltage and the 2x oversampled filter; none at low rates
            float filtered = static_cast<float>(e);
            if (rates.filterRange != ClassicFilterRange::Bypassed)
            {
                const CutoffVoltageInputs cv{envelope, resonancePow14, accentCap.value, accentCurve, restVoltage,
                                             smoothedCutoff, smoothedEnvmod, smoothedAccent, triggerRamps};
                scope.envAccent = envelopeAccent311(cv);
                const float cv0 = static_cast<float>(cutoffVoltage(cv, std::exp(cutoffExponent(cv, scope.envAccent))));
                filtered = oversampledFilter<kPerSampleReference>(*this, filtered, classicCutoff(cv0, rates.filterRange),
                                                                  static_cast<float>(resonanceAmount), rates.filter);
            }

            // 23. VCA accent
            const double shape = math.vcaAccentShape(smoothedResonance + 1e-7, 0.2);
            scope.vcaAccent = vcaAccent311(accentCurve, shape, smoothedCutoff, smoothedEnvmod);
            followVcaAccent311(*this, scope.vcaAccent);

            // 24. VCA accent drain
            drainVcaAccent(*this, scope.vca, q);

            // 25. VCA gain
            updateVcaGain311(*this, scope.vca);

            // 26. DC blocker
            double y = blockDc(outLP1, filtered, rates.output.lowPass[0]);

            // 27. highpass
            if (rates.highpassOn)
                y = highpassStep(highpassLP, y, rates.highpass);

            // 28. square tone filter
            if (OutputClipping && squareSelected(smoothedWaveform))
                y = stateVariableFilter(*this, y);

            // 29. VCA
            y = cutoffColour(applyVca311(*this, y), smoothedCutoff);

            // 30. distortion and volume
            y = applyVolume(distortion(y, distort), smoothedVolume);

            // 31. output stage with the click generator
            out[i] = outputStage311(*this, y, scope.vca);
        }

        // 32. smoothers, asleep or not; highpass and bass are not smoothed here
        runVoiceSmoothers(*this, targets);

        // 33. scope
        if (running)
        {
            scope.audio = out[i];
            writeScope(*this, scope);
        }

        // 34.
        trigger = 0;
        smootherOffset = -smootherOffset;
    }
}

template void Synth303::render311<false>(float* out, int numSamples);
template void Synth303::render311<true>(float* out, int numSamples);

void Synth303::blockProcess311(float* out, int numSamples, bool)
{
    render311<false>(out, numSamples);
}
