#pragma once
// Envelopes, the accent circuit, the cutoff voltage and the VCA of the voice. Each function is
// one stage of the per-sample road; the numbers are the measured constants of the circuit.

#include <algorithm>
#include <cmath>

#include "engine/MemoizedMath.h"
#include "engine/OnePoleState.h"
#include "engine/Synth303.h"
#include "engine/ZeroFloor.h"

namespace oxn3
{
// Coefficients of the envelope and accent stages that depend only on q = fsRatio.
struct EnvelopeRates
{
    float q = 1.0f;
    double gateFollowerRise = 0.0;
    double gateFollowerFall = 0.0;
    double d24Fall = 0.0;
    double accentCharge = 0.0;
    float rateBlend = 1.0f; // Q: 1 at 44.1 kHz, 0 at 96 kHz
    double d24Weight = 1.0; // (1 - Q) * 1.1 + Q: the capacitor input's share of d24
    double vcaLevelFast = 0.0;
    double vcaLevelSlow = 0.0;
    // What the linear falls take off per sample: the volume envelope's floor, the improved
    // engine's accent snapshot and the two trigger ramps.
    double volumeFall = 0.0;
    double snapshotFall = 0.0;
    double rampFall[2] = {0.0, 0.0};

    static EnvelopeRates compute(float q)
    {
        EnvelopeRates r;
        r.q = q;
        r.volumeFall = 1e-7 * q;
        r.snapshotFall = 1.25e-5 * q;
        r.rampFall[0] = 3.5e-5 * q;
        r.rampFall[1] = 0.001 * q;
        r.gateFollowerRise = 1.0 - std::exp(-0.0005001250416822429 * q);
        r.gateFollowerFall = 1.0 - std::exp(-0.00012000720057606084 * q);
        r.d24Fall = 1.0 - std::exp(-0.00024302951695758527 * q);
        r.accentCharge = 1.0 - std::exp(-0.0007502813907041774 * q);
        r.rateBlend = static_cast<float>((q - 0.459375) / 0.540625);
        const double rateBlend = r.rateBlend;
        r.d24Weight = (1.0 - rateBlend) * 1.1 + rateBlend;
        r.vcaLevelFast = 1.0 - std::pow(0.5, static_cast<double>(q));
        r.vcaLevelSlow = 1.0 - std::pow(0.99, static_cast<double>(q));
        return r;
    }
};

// --- filter envelope
constexpr double kImprovedDecayFloor = 8.5e-6;

// Per-sample decay rate of the filter envelope: resonance sets the accented rate, the decay
// knob blends toward a long decay on plain steps.
inline float envelopeDecayRate(float smoothedResonance, float smoothedDecay, int accented, double decayFloor)
{
    float d = static_cast<float>(0.00027 * smoothedResonance + 0.00029 * (1.0 - smoothedResonance));
    if (!accented)
        d = static_cast<float>(decayFloor * smoothedDecay + (1.0 - smoothedDecay) * d);
    return d;
}

// Base of the per-sample decay factor; raised to q by the caller.
inline double mainEnvelopeBase(float decayRate, double envelopeArmed)
{
    return 1.0 - decayRate * envelopeArmed;
}

// `steps` (OnePoleState.h) as the render steps its states; the same for every stage below.
template <class Steps = OwnOffsetFlips>
inline double decayToZero(OnePoleState& envelope, double k, const Steps& steps = {})
{
    envelope.value = atLeastZero(steps.decay(envelope, k));
    return envelope.value;
}

inline double volumeEnvelopeBase(double envelopeArmed)
{
    return 1.0 - 1.2e-5 * (0.1 * envelopeArmed + 0.9);
}

template <class Steps = OwnOffsetFlips>
inline double decayVolumeEnvelope(OnePoleState& envelope, double k, const EnvelopeRates& rates, const Steps& steps = {})
{
    envelope.value = atLeastZero(steps.decay(envelope, k) - rates.volumeFall);
    return envelope.value;
}

// --- gate envelope and VCA curve
constexpr double kGateEnvelopeRise = 0.001;
constexpr double kVcaCurveNorm = 0.6321205588285577; // 1 - 1/e

// The gate envelope's steps per sample: a small rise on top of its growth, and the fall with the
// gate trim.
struct GateEnvelopeSteps
{
    double rise = 0.0;
    double fall = 0.0;

    static GateEnvelopeSteps compute(double gateTrim, float q)
    {
        return {kGateEnvelopeRise * q, (0.0028 * gateTrim + 0.0001) * q};
    }
};

// Growth factor of the improved engine's gate envelope with VCAClicks: 1.05 to 1.1 by resonance.
// Without them the envelope opens at once: a growth of 0 and a rise of 1 (gateStepsRE) take it
// to exactly 1 from any value in 0..1.
inline double gateGrowthRE(float smoothedResonance, int clicks)
{
    return clicks ? static_cast<float>(1.1 * smoothedResonance + 1.05 * (1.0 - smoothedResonance)) : 0.0;
}

inline GateEnvelopeSteps gateStepsRE(GateEnvelopeSteps steps, int clicks)
{
    if (!clicks)
        steps.rise = 1.0;
    return steps;
}

// Grows by `factor` per sample plus a small step, up to 1.
inline void growGateEnvelope(double& envelope, double factor, const GateEnvelopeSteps& steps)
{
    envelope = atMostOne(factor * envelope + steps.rise);
}

inline void closeGateEnvelope(double& envelope, const GateEnvelopeSteps& steps)
{
    envelope = atLeastZero(envelope - steps.fall);
}

// `growth` and `steps` as the engine and its VCAClicks choose them.
inline void updateGateEnvelope(double& envelope, int gate, double growth, const GateEnvelopeSteps& steps)
{
    if (!gate)
        closeGateEnvelope(envelope, steps);
    else
        growGateEnvelope(envelope, growth, steps);
}

// `expMinusEnvelope` is exp(-gateEnvelope).
inline float vcaCurve(double expMinusEnvelope)
{
    return static_cast<float>((1.0 - expMinusEnvelope) / kVcaCurveNorm);
}

template <class Steps = OwnOffsetFlips>
inline double followGate(OnePoleState& follower, int gate, const EnvelopeRates& rates, const Steps& steps = {})
{
    return gate ? steps.step(follower, 1.0, rates.gateFollowerRise) : steps.decay(follower, rates.gateFollowerFall);
}

// A note trigger restarts the envelopes, the vibrato fade-in and the trigger ramps, and takes a
// snapshot of the accent capacitor.
inline void triggerEnvelopes(Synth303& s)
{
    s.vibrato.restartFade();
    s.accentSnapshot = static_cast<float>(s.accentCap.value);
    s.mainEnvelope.value = 1.0;
    s.envelopeArmed = 1.0;
    s.volumeEnvelope.value = 1.0;
    s.triggerRamps[0] = 1.0;
    s.triggerRamps[1] = 1.0;
}

// --- accent circuit
// The filter envelope as the accent sees it: 2.3 M with a steeper slope above 1.15.
inline float accentEnvelope(double mainEnvelope)
{
    float m = static_cast<float>(2.3 * mainEnvelope);
    if (m > 1.15f)
        m = static_cast<float>(2.0 * (m - 1.15) + 1.15);
    return m;
}

// Resting voltage of the envelope, lowered while the gate follower is charged.
inline float envelopeRestVoltage(float analogConstant4, double gateFollower)
{
    return static_cast<float>(((analogConstant4 - 0.5) * 0.4 + 0.4) / (0.1 * gateFollower + 0.9));
}

inline float accentLevel(int stepAccent, float m, float smoothedAccent)
{
    return static_cast<float>(atLeastZero(stepAccent * static_cast<double>(m) * smoothedAccent));
}

// Exponents of the accent curve: while the VCA is open a constant, while it is closed the
// cutoff knob shapes it.
constexpr double kOpenAccentExponentRE = 0.75;

inline double closedAccentExponentRE(float smoothedCutoff)
{
    return static_cast<float>(0.8 * smoothedCutoff + 1.2 * (1.0 - smoothedCutoff));
}

// Exponent of the accent curve: `whenClosed` while the VCA is closed, else `whenOpen`.
inline double accentCurveExponent(float vca, double whenClosed, double whenOpen)
{
    return vca == 0.0f ? whenClosed : whenOpen;
}

// What the accent circuit of a sample gives the cutoff voltage and the VCA accent.
struct AccentSignals
{
    double envelope = 0.0; // the filter envelope
    float restVoltage = 0.0f;
    float level = 0.0f;    // A
    double curve = 0.0;
};

// Steps 13 to 16 of both engines: the envelope as the accent sees it, the rest voltage, the
// accent level and its curve. `knobs` gives the curve's exponents, `pow` takes the curve.
template <class Knobs, class Pow>
inline AccentSignals accentSignals(const Synth303& s, float vca, const Knobs& knobs, Pow& pow)
{
    AccentSignals a;
    a.envelope = s.mainEnvelope.value;
    a.restVoltage = envelopeRestVoltage(s.analogConstants[4], s.gateFollower.value);
    a.level = accentLevel(s.stepAccent, accentEnvelope(a.envelope), s.smoothedAccent);
    a.curve = pow(a.level, accentCurveExponent(vca, knobs.closedAccentExponent, knobs.openAccentExponent()));
    return a;
}

inline void updateD24(OnePoleState& d24, float accentLevelA, float smoothedAccent, const EnvelopeRates& rates)
{
    if (accentLevelA > 0.0f)
        d24.value = accentLevelA * atLeastZero(2.0 * (smoothedAccent - 0.5));
    else
        d24.step(0.0, rates.d24Fall);
    d24.value = atLeastZero(d24.value);
}

// W = 1.5 C16 + (1 - C16) with C16 = smoothed cutoff^16, taken at block start.
inline double cutoffWeight(float smoothedCutoff)
{
    const double c16 = power16(smoothedCutoff);
    return 1.5 * c16 + (1.0 - c16);
}

// The snapshot's weight in the capacitor input, 0.2 W, taken at block start.
inline double accentSnapshotWeight(float smoothedCutoff)
{
    return 0.2 * cutoffWeight(smoothedCutoff);
}

template <class Steps = OwnOffsetFlips>
inline void chargeAccentCap(Synth303& s, double snapshotWeight, const EnvelopeRates& rates, const Steps& steps = {})
{
    const double input = snapshotWeight * s.accentSnapshot + s.d24.value * rates.d24Weight;
    steps.step(s.accentCap, input, rates.accentCharge);
}

inline void decayAccentSnapshotRE(Synth303& s, const EnvelopeRates& rates)
{
    s.accentSnapshot = static_cast<float>(atLeastZero(s.accentSnapshot - rates.snapshotFall));
}

inline void decayTriggerRamps(double* ramps, const EnvelopeRates& rates)
{
    ramps[0] = atLeastZero(ramps[0] - rates.rampFall[0]);
    ramps[1] = atLeastZero(ramps[1] - rates.rampFall[1]);
}

// --- cutoff voltage
// The parts of the cutoff voltage that depend only on the smoothed knobs (sc = cutoff, s2 = sc^2,
// se = envmod, sa = accent, P14 = resonance^1.4).
struct CutoffShape
{
    double capShareScale = 0.0; // P14 (0.48 s2 + 0.9 (1 - s2)) (0.425 s2 + 0.4675 (1 - s2)) (0.8 se + (1 - se))
    double oneMinusP14 = 1.0;
    float curveScale = 0.0f;    // 0.3 s2 + 0.364 (1 - s2): the accent curve's share
    double accentGain = 0.0;    // 1.5 sa
    double envelopeDepth = 0.0; // 2 D
    double expScale = 0.0;      // 0.686 w + 0.05 (1 - w) - 0.065, w = 0.32 s2 + 0.2

    // The resonant share of the accent's cutoff voltage per unit of capacitor voltage: cutoff and
    // envmod shape it, each factor rounded to float.
    static double capShareScaleOf(double resonancePow14, float smoothedCutoff, float smoothedEnvmod)
    {
        const double s2 = static_cast<double>(smoothedCutoff) * smoothedCutoff;
        const double se = smoothedEnvmod;
        const float f1 = static_cast<float>(0.48 * s2 + 0.9 * (1.0 - s2));
        const float f2 = static_cast<float>(0.425 * s2 + 0.4675 * (1.0 - s2));
        const float f3 = static_cast<float>(0.8 * se + (1.0 - se));
        return resonancePow14 * f1 * f2 * f3;
    }

    static float curveScaleOf(float smoothedCutoff)
    {
        const double s2 = static_cast<double>(smoothedCutoff) * smoothedCutoff;
        return static_cast<float>(0.3 * s2 + 0.364 * (1.0 - s2));
    }

    // Depth of the envelope's swing, 2 D: b0 = 0.08 s2 + 0.18 (1 - s2),
    // D = ((0.37 s2 + 0.74 (1 - s2)) - b0) se^2 + b0.
    static double envelopeDepthOf(float smoothedCutoff, float smoothedEnvmod)
    {
        const double s2 = static_cast<double>(smoothedCutoff) * smoothedCutoff;
        const double se = smoothedEnvmod;
        const double b0 = 0.08 * s2 + 0.18 * (1.0 - s2);
        const double depth = ((0.37 * s2 + 0.74 * (1.0 - s2)) - b0) * (se * se) + b0;
        return 2.0 * depth;
    }

    static double expScaleOf(float smoothedCutoff)
    {
        const double s2 = static_cast<double>(smoothedCutoff) * smoothedCutoff;
        const double w = 0.32 * s2 + 0.2;
        return 0.686 * w + 0.05 * (1.0 - w) - 0.065;
    }

    static double accentGainOf(float smoothedAccent)
    {
        return 1.5 * smoothedAccent;
    }
};

constexpr double kEnvelopeAccentLevel = 0.4;

// Accent part of the cutoff voltage (scope "env_accent"): the capacitor's resonant share and the
// charge (capacitor and accent curve) in the non-resonant share.
inline double envelopeAccent(const CutoffShape& shape, double accentCap, double accentCurve)
{
    const float charge = static_cast<float>(0.3 * accentCap + accentCurve);
    return kEnvelopeAccentLevel *
           (shape.capShareScale * accentCap + shape.oneMinusP14 * charge * 1.3 * shape.curveScale);
}

// Exponent of the cutoff voltage: accent plus the envelope swing around its rest voltage.
inline double cutoffExponent(const CutoffShape& shape, double ea, double mainEnvelope, float restVoltage)
{
    return shape.accentGain * ea + shape.envelopeDepth * (mainEnvelope - restVoltage) + 0.5;
}

// cv0 from exp(cutoffExponent) and the trigger ramps.
inline double cutoffVoltageOf(double expScale, double expOfExponent, const double* triggerRamps)
{
    return expOfExponent * expScale + 0.025 + 0.025 * triggerRamps[0] + 0.0125 * triggerRamps[1];
}

inline double cutoffVoltage(const CutoffShape& shape, double expOfExponent, const double* triggerRamps)
{
    return cutoffVoltageOf(shape.expScale, expOfExponent, triggerRamps);
}

// --- VCA
// The VCA accent's mix of the accent curve, Av = Ac p + mix Ac (1 - p), with p = (smoothed
// resonance + 1e-7)^0.2 (scope "vca_accent").
struct VcaAccentShape
{
    double p = 0.0;
    double oneMinusP = 1.0;
    double mix = 0.0;
    double follow = 0.0; // improved engine: the level's smoothing, 0.4 (0.00975 p + 0.0195 (1 - p))

    static double mixRE(float smoothedCutoff, float smoothedEnvmod)
    {
        const double sc = smoothedCutoff;
        const double se = smoothedEnvmod;
        return (1.4 * se + 1.8 * (1.0 - se)) * 0.8 * (1.0 - sc) + 2.4 * 0.5 * sc;
    }

    static double followRE(double p)
    {
        return 0.4 * (0.00975 * p + 0.0195 * (1.0 - p));
    }
};

inline double vcaAccent(double accentCurve, const VcaAccentShape& shape)
{
    return accentCurve * shape.p + shape.mix * accentCurve * shape.oneMinusP;
}

template <class Steps = OwnOffsetFlips>
inline void followVcaAccentRE(Synth303& s, double av, const VcaAccentShape& shape, const Steps& steps = {})
{
    steps.step(s.vcaAccentLevel, av, shape.follow);
    steps.step(s.vcaAccentLevel2, s.vcaAccentLevel.value, 0.1);
}

// How fast the VCA accent drains: while the VCA is closed (by resonance), between gated steps,
// and always (more at high cutoff and low resonance).
struct VcaDrain
{
    double whenClosed = 0.0; // 0.025 q sr
    double betweenSteps = 0.0; // 0.05 q
    double always = 0.0;     // 0.0015 q + 0.0515 q s2 (1 - sr)

    static VcaDrain compute(float smoothedCutoff, float smoothedResonance, float q)
    {
        const double s2 = static_cast<double>(smoothedCutoff) * smoothedCutoff;
        VcaDrain d;
        d.whenClosed = 0.025 * q * smoothedResonance;
        d.betweenSteps = 0.05 * q;
        d.always = 0.0015 * q + 0.0515 * q * s2 * (1.0 - smoothedResonance);
        return d;
    }
};

inline void drainVcaAccent(Synth303& s, float vca, const VcaDrain& drain)
{
    double& level = s.vcaAccentLevel2.value;
    if (vca == 0.0f)
        level -= drain.whenClosed;
    if (!s.stepGate)
        level -= drain.betweenSteps;
    level -= drain.always;
    level = atLeastZero(level);
}

// `accentSquared` is the smoothed accent squared.
template <class Steps = OwnOffsetFlips>
inline void updateVcaGainRE(Synth303& s, float vca, double accentSquared, const EnvelopeRates& rates,
                            const Steps& steps = {})
{
    const double levelK = s.VCAClicks ? rates.vcaLevelFast : rates.vcaLevelSlow;
    const double level = steps.step(s.vcaLevel, vca, levelK);
    const float target =
        static_cast<float>(s.vcaAccentLevel2.value * accentSquared + (0.1 * s.accentSnapshot + 1.0) * level);
    steps.step(s.vcaGain, target, s.VCAClicks ? 0.2 : 0.02);
}
} // namespace oxn3
