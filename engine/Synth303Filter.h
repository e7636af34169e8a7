#pragma once
// The voice filter: cutoff voltage to coefficient, the bass-boost feed, and one sample of the
// pair of four-pole ladders (A with saturating stages, B linear) that Synth303::vcf303 runs,
// integrated with one fourth-order Runge-Kutta step per pole. OversampledFilter.h runs the
// ladders twice per output sample and decimates.

#include <algorithm>
#include <cmath>

#include "engine/MemoizedMath.h"
#include "engine/OnePoleState.h"
#include "engine/StaticTables.h"
#include "engine/Synth303.h"

namespace oxn3
{
// --- cutoff voltage to coefficient
constexpr double kMaxCutoffVoltage = 1.4;
constexpr double kCutoffKnee = 0.912;
constexpr double kCutoffScale = 1.44;
constexpr double kCutoffSmoothing = 0.1; // per sample at any rate

// The cutoff voltage with the VCF trim (+-0.05), clamped to 0..1.4.
inline double trimmedCutoffVoltage(float cv0, double vcfTrim)
{
    return std::clamp(cv0 + (vcfTrim - 0.5) * 0.1, 0.0, kMaxCutoffVoltage);
}

// Coefficient the cutoff smoother moves toward; at most about 0.911. The render takes the exp
// of a whole run of samples at once: cutoffTargetExponent, then cutoffTargetOf its exp.
inline double cutoffTargetExponent(double cv)
{
    return 5.0 * std::min(cv, kCutoffKnee) + 5.0;
}

inline double cutoffTargetOf(double expOfExponent)
{
    float ex = static_cast<float>(expOfExponent / 22050.0 - 0.0105);
    if (ex < 0.0f)
        ex = 0.0f;
    return ex > 1.0f ? kCutoffScale : kCutoffScale * ex;
}

inline double cutoffTarget(double cv)
{
    return cutoffTargetOf(std::exp(cutoffTargetExponent(cv)));
}

// --- bass boost: a low-passed copy of the input, strongest at low cutoff and resonance
constexpr double kBassBoostGain = 320.0;

inline double bassBoostCoefficient(float fsRatio)
{
    return 1.0 - std::exp(-0.00025003126708664225 * fsRatio);
}

// The boost's gain from the knobs: 1 - smoothed resonance^0.25, and smoothed bass * 320.
struct BassBoostShape
{
    double resonanceCut = 1.0;
    double gain = 0.0;

    static double gainOf(float smoothedBass)
    {
        return smoothedBass * kBassBoostGain;
    }
};

inline double bassBoostedInput(double e, float cv0, const BassBoostShape& shape, OnePoleState& lowPass, double k)
{
    const double low = lowPass.step(e, k);
    return e + (1.0 - cv0) * shape.resonanceCut * low * shape.gain;
}

// --- the ladders
// Values of the filter that depend only on q = fsRatio.
struct FilterRates
{
    static constexpr float kHighRateRatio = 0.62f; // q below it: above about 71.1 kHz

    float q = 1.0f;
    bool highRate = false;
    double tableScale = 1.0;    // m: septab position per unit of c * 256
    double gainSmoothing = 0.0; // 1 - 0.9^q

    static FilterRates compute(float q)
    {
        FilterRates r;
        r.q = q;
        r.highRate = q < kHighRateRatio;
        const float k = static_cast<float>((q - 0.459375) / 0.540625);
        r.tableScale = k + (1.0 - k) * (r.highRate ? 0.6 : 0.64);
        r.gainSmoothing = 1.0 - std::pow(0.9, static_cast<double>(q));
        return r;
    }
};

// Everything both ladder runs of one output sample share (same c, r and q).
struct LadderCoefficients
{
    double c = 0.0;
    double R = 0.0;            // resonance with its low-cutoff floor
    double K = 0.0;            // feedback gain
    double T = 0.0;            // gain target
    double g = 0.0;            // pole coefficient
    double rk4Gain = 0.0;      // one Runge-Kutta step of a pole in closed form: g - g^2/2 + g^3/6 - g^4/24
    double rk4Keep = 1.0;      // 1 - rk4Gain
    double feedbackTrim = 1.0; // ladder A: 1 + 0.05 ResoTrim
    double feedbackGainA = 0.0; // R K feedbackTrim
    double feedbackGainB = 0.0; // R K
    double gainSmoothing = 0.0;
};

// Feedback curve from septab at the cutoff's position; beyond the last entry (sample rates
// under about 16 kHz at high cutoff) the curve holds its last value.
inline double septabFeedback(double c, double tableScale, float feedbackScale)
{
    const float t = static_cast<float>(tableScale * c * 256.0);
    int i = 0;
    float f = 0.0f;
    if (t >= static_cast<float>(kSepTabSize - 1))
    {
        i = kSepTabSize - 2;
        f = 1.0f;
    }
    else if (t >= 0.0f)
    {
        i = static_cast<int>(t);
        f = t - static_cast<float>(i);
    }
    return (septab[i] * (1.0 - f) + f * septab[i + 1]) * feedbackScale;
}

inline double gainPolynomial(double c)
{
    return static_cast<float>(0.19710253 + 8.029783 * c - 20.239756 * c * c + 23.599592 * c * c * c -
                              8.332024 * c * c * c * c);
}

// The resonance as the ladders take it: at high rates lower with the cutoff.
inline double ladderResonance(double c, float resonance, const FilterRates& rates)
{
    double r = resonance;
    if (rates.highRate)
        r = r * (1.05 - 0.15 * c);
    return r;
}

// The largest feedback gain K at which the ladders' loop stays stable. A pole steps as
// y += (u - y) (1 - b), b = rk4Keep, and each run feeds the last pole's output of the run before
// back with gain R K: the linear ladder (B) rings for ever at R K = (1 + 1/b)^2 and grows without
// bound beyond it. The curves behind R and K are made for rates about 44.1 kHz; from there up to
// 768 kHz they stay within 0.99 of the limit, but at lower rates a cutoff's pole coefficient
// outgrows them (R K reaches 1.11 times the limit at 32 kHz, 1.38 at 8 kHz). K is held at 0.99 of
// it, which changes nothing where the curves keep below.
constexpr double kStableLoopShare = 0.99;

inline double stableFeedbackGain(double rk4Keep, double R)
{
    const double root = 1.0 + rk4Keep;
    return kStableLoopShare * root * root / (rk4Keep * rk4Keep * R);
}

// From the cutoff, ladderResonance, the septab feedback and (1 - c)^q, all computed by the
// caller: without the table lookup and the branches the arithmetic of a run vectorises.
inline LadderCoefficients ladderCoefficientsWith(double c, double r, double s, double resoTrim, double oneMinusCPowQ,
                                                 double gainSmoothing)
{
    LadderCoefficients k;
    k.c = c;
    k.R = r + power16(1.0 - c) * 0.3;
    const double g = gainPolynomial(c);
    const double a = 0.55 * g * (1.0 - c) + c;
    const double b = 0.45 * g * (1.0 - c) + 0.45 * c;
    k.T = (a * k.R + b * (1.0 - k.R)) * ((1.5 * (1.0 - c) + c) * k.R + (1.0 - k.R));
    k.g = 1.0 - oneMinusCPowQ;
    k.rk4Gain = k.g * (1.0 - k.g / 2.0 + k.g * k.g / 6.0 - k.g * k.g * k.g / 24.0);
    k.rk4Keep = 1.0 - k.rk4Gain;
    k.K = std::min(((1.0 - 2.0 * c) * 1.05 + 2.0 * c) * s, stableFeedbackGain(k.rk4Keep, k.R));
    k.feedbackTrim = 1.0 + 0.05 * resoTrim;
    k.feedbackGainB = k.R * k.K;
    k.feedbackGainA = k.feedbackGainB * k.feedbackTrim;
    k.gainSmoothing = gainSmoothing;
    return k;
}

// `oneMinusCPowQ` is (1 - c)^q, computed by the caller.
inline LadderCoefficients ladderCoefficients(float cutoff, float resonance, const FilterRates& rates,
                                             float feedbackScale, double resoTrim, double oneMinusCPowQ)
{
    const double c = cutoff;
    return ladderCoefficientsWith(c, ladderResonance(c, resonance, rates),
                                  septabFeedback(c, rates.tableScale, feedbackScale), resoTrim, oneMinusCPowQ,
                                  rates.gainSmoothing);
}

// How a ladder run does its arithmetic. Literal: each pole takes the four Runge-Kutta slopes
// k1..k4 in turn and the clip divides twice. Fast: the same step in closed form (for a pole the
// four slopes sum to (u - y) * rk4Gain), arranged so that the chain from one pole's input to its
// output is one multiply and one add: y = in * rk4Gain + (y * rk4Keep + offset * rk4Gain); the
// feedback is one multiply by R K trim; the clip is written in the float-rounded pole output x
// instead of v = 0.6 x, with one division. Both are double arithmetic with the same float
// roundings; they differ only in double rounding, which the float roundings absorb (without fused
// multiply-adds renders come out bit-identical; the render tests compare the two, and the
// ladders' states differ at most in the last bits). The ladders are one chain of dependent
// operations from sample to sample, the longest in the render: about 190 ns per output sample
// Literal, 63 ns Fast on a current core. The render therefore runs Fast.
enum class LadderArithmetic
{
    Literal,
    Fast
};

// One pole, one Runge-Kutta step of dy/dt = (u - y) g; the offset rides on the input.
inline double rk4Pole(OnePoleState& pole, double input, double g)
{
    const double u = input + pole.offset;
    const double y = pole.value;
    const double k1 = (u - y) * g;
    const double k2 = (u - (y + k1 / 2.0)) * g;
    const double k3 = (u - (y + k2 / 2.0)) * g;
    const double k4 = (u - (y + k3)) * g;
    pole.value = y + (k1 + 2.0 * k2 + 2.0 * k3 + k4) / 6.0;
    pole.offset = -pole.offset;
    return pole.value;
}

// The same step in closed form, the input's path kept short.
inline double rk4PoleClosedForm(OnePoleState& pole, double input, double rk4Gain, double rk4Keep)
{
    pole.value = input * rk4Gain + (pole.value * rk4Keep + pole.offset * rk4Gain);
    pole.offset = -pole.offset;
    return pole.value;
}

template <LadderArithmetic kArithmetic>
inline double poleStep(OnePoleState& pole, double input, const LadderCoefficients& k)
{
    if constexpr (kArithmetic == LadderArithmetic::Literal)
        return rk4Pole(pole, input, k.g);
    else
        return rk4PoleClosedForm(pole, input, k.rk4Gain, k.rk4Keep);
}

// Soft saturation of ladder A between stages: a Pade form of tanh, hard at +-3.
inline double padeClip(double v)
{
    if (v < -3.0)
        return -1.0;
    if (v > 3.0)
        return 1.0;
    const double v2 = v * v;
    return v * (v2 + 27.0) / (9.0 * v2 + 27.0);
}

constexpr double kStageDrive = 0.6;
// Beyond it a float-rounded pole output drives the clip into its hard part (|x 0.6| > 3 in
// double arithmetic, exactly: checked in the tests).
constexpr double kClipHardAbove = 3.0 / kStageDrive;
// The clip in x = v / 0.6: x (0.36 x^2 + 27) / (3.24 x^2 + 27).
constexpr double kClipNumeratorSlope = kStageDrive * kStageDrive;
constexpr double kClipDenominatorSlope = 9.0 * kStageDrive * kStageDrive;

// The input of the next ladder-A pole: the previous pole's output driven into the clip.
template <LadderArithmetic kArithmetic>
inline double saturatedStage(double poleOutput)
{
    const double v = static_cast<float>(poleOutput) * kStageDrive;
    if constexpr (kArithmetic == LadderArithmetic::Literal)
        return padeClip(v) / kStageDrive;
    else
    {
        if (v < -3.0 || v > 3.0)
            return padeClip(v) / kStageDrive;
        const double x = static_cast<float>(poleOutput);
        const double x2 = x * x;
        return x / (kClipDenominatorSlope * x2 + 27.0) * (kClipNumeratorSlope * x2 + 27.0);
    }
}

// The factors of the filtered sample that depend only on the coefficients: the same for both
// ladder runs of an output sample.
struct LadderOutputMix
{
    double c;
    double oneMinusC;
    double r2;          // R^2
    double oneMinusR2;
    double boost;       // 1 + 0.5 R c^5
    double gainTarget;  // 2 T
    double gainSmoothing;

    static LadderOutputMix of(const LadderCoefficients& k)
    {
        const double c = k.c;
        const double r2 = k.R * k.R;
        const double c5 = c * c * c * c * c;
        return {c, 1.0 - c, r2, 1.0 - r2, 1.0 + 0.5 * k.R * c5, 2.0 * k.T, k.gainSmoothing};
    }
};

// The filtered sample of one ladder run from the last two poles of A and the third of B (B4
// only feeds back), with the smoothed gain.
inline float ladderOutput(OnePoleState& gainSmoother, const LadderOutputMix& m, double a4, double a3, float a4f,
                          double b3)
{
    const double gain = gainSmoother.step(m.gainTarget, m.gainSmoothing);
    const double mix = m.r2 * (m.c * (0.75 * a4 + 0.25 * a3) + m.oneMinusC * a4f) + m.oneMinusR2 * b3;
    return static_cast<float>(m.boost * mix * gain);
}

struct LadderPair
{
    OnePoleState* a;   // four poles
    OnePoleState* b;   // four poles
    float* feedbackA;
    float* feedbackB;
    OnePoleState* gainSmoother;
};

// One run of both ladders: the filtered sample.
template <LadderArithmetic kArithmetic>
inline float runLadders(const LadderPair& p, float in, const LadderCoefficients& k)
{
    const float uA = static_cast<float>(kArithmetic == LadderArithmetic::Literal
                                            ? in - k.feedbackTrim * (*p.feedbackA * k.R * k.K)
                                            : in - *p.feedbackA * k.feedbackGainA);
    const double a1 = poleStep<kArithmetic>(p.a[0], uA, k);
    const double a2 = poleStep<kArithmetic>(p.a[1], saturatedStage<kArithmetic>(a1), k);
    const double a3 = poleStep<kArithmetic>(p.a[2], saturatedStage<kArithmetic>(a2), k);
    const double a4 = poleStep<kArithmetic>(p.a[3], static_cast<float>(a3), k);
    const float a4f = static_cast<float>(a4);
    *p.feedbackA = a4f;

    const double uB = kArithmetic == LadderArithmetic::Literal ? in - k.K * (*p.feedbackB * k.R)
                                                               : in - *p.feedbackB * k.feedbackGainB;
    const double b1 = poleStep<kArithmetic>(p.b[0], static_cast<float>(uB), k);
    const double b2 = poleStep<kArithmetic>(p.b[1], static_cast<float>(b1), k);
    const double b3 = poleStep<kArithmetic>(p.b[2], static_cast<float>(b2), k);
    const double b4 = poleStep<kArithmetic>(p.b[3], static_cast<float>(b3), k);
    *p.feedbackB = static_cast<float>(b4);

    return ladderOutput(*p.gainSmoother, LadderOutputMix::of(k), a4, a3, a4f, b3);
}

inline LadderPair ladderPairOf(Synth303& s)
{
    return {s.ladderA, s.ladderB, &s.ladderAFeedback, &s.ladderBFeedback, &s.filterGainSmoother};
}
} // namespace oxn3
