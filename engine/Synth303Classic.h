#pragma once
// The stages in which the classic engine differs from the improved one. Everything else of its
// per-sample road (pitch path, envelopes, accent capacitor, ladders, noise, smoothers, scope)
// is shared from the other stage headers.

#include <algorithm>
#include <cmath>

#include "engine/Synth303.h"
#include "engine/ZeroFloor.h"
#include "engine/Synth303Envelopes.h"
#include "engine/Synth303Filter.h"
#include "engine/Synth303Output.h"
#include "engine/Synth303Pitch.h"
#include "engine/Synth303Smoothers.h"

namespace oxn3
{
// --- oscillator: the classic numbering of VCOMode
constexpr int kClassicModeAnalog = 0;
constexpr int kClassicModeXTable = 1;
constexpr int kClassicModePlainTable = 2;
// kModeNaive (1000) is the same in both engines.

// Soft tables at the period, one level for saw and square, cycle ratios carried at each wrap.
template <class TableReads>
inline double xTableOscillator311(Synth303& s, TableReads& reads, bool square, double increment, float period)
{
    const WaveTable& table = square ? *s.wtXSquare : *s.wtXSaw;
    const double osc = -static_cast<double>(tableSample(reads, table, s.vcoPhase, period, 1.0));
    if (advancePhase(s.vcoPhase, increment * cycleRatioProduct(s.cycleRatio)))
        carryCycleRatios(s.cycleRatio);
    return osc;
}

// Modes without a model (3 and 4 among them) are silent.
inline OscillatorModel oscillatorModel311(int vcoMode)
{
    switch (vcoMode)
    {
    case kClassicModeAnalog: return OscillatorModel::Analog;
    case kClassicModeXTable: return OscillatorModel::ClassicXTable;
    case kClassicModePlainTable: return OscillatorModel::PlainTable;
    case kModeNaive: return OscillatorModel::Naive;
    default: return OscillatorModel::Silent;
    }
}

// One oscillator sample of the classic engine; the table modes, the common ones, are asked first.
template <class Block>
inline double oscillator311(Synth303& s, Block& block, double increment, float period, const OscillatorRates& rates)
{
    const bool square = squareSelected(s.smoothedWaveform);
    const OscillatorModel model = block.model;
    if (model == OscillatorModel::ClassicXTable)
        return xTableOscillator311(s, block.reads, square, increment, period);
    if (model == OscillatorModel::PlainTable)
        return plainTableOscillator(s, block.reads, square, increment, period);
    if (model == OscillatorModel::Analog)
        return analogModel(s, square, increment, rates.analog);
    if (model == OscillatorModel::Naive)
        return naiveModel(s, square, increment, rates.naiveSquare);
    return 0.0;
}

// --- bass lift before the emphasis, on the bass-boost low-pass state; less with resonance
inline double bassLiftCoefficient(float q)
{
    return 1.0 - std::exp(-0.01005033562772627 * q);
}

// `oneMinusResonance` is 1 - smoothed resonance.
template <class Steps = OwnOffsetFlips>
inline double liftBass(OnePoleState& lowPass, double o, double k, double oneMinusResonance, const Steps& steps = {})
{
    return static_cast<float>(o + oneMinusResonance * steps.step(lowPass, o, k));
}

// --- envelopes
constexpr double kClassicDecayFloor = 1.7e-5;
constexpr double kClassicGateRiseClicks = 1.1;
constexpr double kClassicGateRise = 1.02;

// The gate envelope grows over a few milliseconds in both VCA modes.
inline double gateGrowth311(int clicks)
{
    return clicks ? kClassicGateRiseClicks : kClassicGateRise;
}

// A trigger while the VCA accent is low starts the ladders from rest (with the gate trim up).
constexpr double kQuietAccentLevel = 0.05;
constexpr double kPoleResetGateTrim = 0.1;

inline bool laddersRestOnTrigger(const Synth303& s)
{
    return s.vcaAccentLevel.value < kQuietAccentLevel && s.GateTrim > kPoleResetGateTrim;
}

// --- accent
constexpr double kClosedAccentExponent311 = 0.8;
constexpr double kOpenAccentExponent311 = 0.7;

// The snapshot decays by 0.999975 per sample at 44.1 kHz. At other rates the factor is
// 0.999975^q, so its time constant (about 0.9 s) holds at every rate; the factor is at most 1
// and rounding x * factor to float never rounds above x, so the snapshot never rises above the
// value taken at the trigger.
constexpr double kSnapshotDecay44k = 0.999975;

inline double snapshotDecayFactor(float q)
{
    return std::pow(kSnapshotDecay44k, q > 0.0f ? static_cast<double>(q) : 0.0);
}

inline void decayAccentSnapshot311(Synth303& s, double factor)
{
    s.accentSnapshot = static_cast<float>(atLeastZero(s.accentSnapshot * factor));
    s.accentCap.value = atLeastZero(s.accentCap.value);
}

// Accent part of the cutoff voltage (scope "env_accent"): the accent curve alone, without the
// capacitor, in the non-resonant share.
inline double envelopeAccent311(const CutoffShape& shape, double accentCap, double accentCurve)
{
    return kEnvelopeAccentLevel *
           (shape.capShareScale * accentCap + shape.oneMinusP14 * accentCurve * shape.curveScale);
}

// --- filter: three ranges of sample rate
enum class ClassicFilterRange
{
    Bypassed,    // 22.05 kHz and below: no filter at all
    Ladder,      // the improved engine's cutoff mapping, without trim, smoothing or bass boost
    VeryHighRate // 882 kHz and above: no knee, a steeper scale
};

constexpr double kClassicUnfilteredRate = 22050.0;
constexpr double kClassicVeryHighRate = 882000.0;
constexpr double kVeryHighRateCutoffScale = 1.4;
constexpr double kVeryHighRateCutoffTop = 2.8;
// The pole coefficient 1 - (1 - c)^q needs c below 1, but from 882 kHz the mapping reaches 2.8.
// c is held just under 1: the poles then sit far above the audio band (about 100 kHz at
// 882 kHz), and the ladders stay stable there even at full resonance.
constexpr float kVeryHighRateCutoffLimit = 0.999f;

inline ClassicFilterRange classicFilterRange(double sampleRate)
{
    if (sampleRate <= kClassicUnfilteredRate)
        return ClassicFilterRange::Bypassed;
    return sampleRate < kClassicVeryHighRate ? ClassicFilterRange::Ladder : ClassicFilterRange::VeryHighRate;
}

// Cutoff coefficient from cv0 (not for the bypassed range): classicCutoffOf the exp of
// classicCutoffExponent, so that the render can take the exps of a run of samples at once.
inline double classicCutoffExponent(float cv0, ClassicFilterRange range)
{
    const double cv = std::clamp(static_cast<double>(cv0), 0.0, kMaxCutoffVoltage);
    return range == ClassicFilterRange::Ladder ? cutoffTargetExponent(cv) : 5.0 * cv + 5.0;
}

inline float classicCutoffOf(double expOfExponent, ClassicFilterRange range)
{
    if (range == ClassicFilterRange::Ladder)
        return static_cast<float>(cutoffTargetOf(expOfExponent));
    float ex = static_cast<float>(expOfExponent / 22050.0 - 0.0105);
    if (ex < 0.0f)
        ex = 0.0f;
    const double c = ex > 2.0f ? kVeryHighRateCutoffTop : kVeryHighRateCutoffScale * ex;
    return std::min(static_cast<float>(c), kVeryHighRateCutoffLimit);
}

inline float classicCutoff(float cv0, ClassicFilterRange range)
{
    return classicCutoffOf(std::exp(classicCutoffExponent(cv0, range)), range);
}

// --- VCA
// The mix of the VCA accent (VcaAccentShape) in this engine.
inline double vcaAccentMix311(float smoothedCutoff, float smoothedEnvmod)
{
    const double sc = smoothedCutoff;
    const double se = smoothedEnvmod;
    return 1.92 * sc + (1.4 * se + 1.8 * (1.0 - se)) * 0.8 * (1.0 - sc);
}

// The capacitor also feeds the VCA accent.
template <class Steps = OwnOffsetFlips>
inline void followVcaAccent311(Synth303& s, double av, const Steps& steps = {})
{
    steps.step(s.vcaAccentLevel, 0.1 * s.accentCap.value + av, 0.0195);
    steps.step(s.vcaAccentLevel2, s.vcaAccentLevel.value, 0.1);
}

// No VCA-level smoother: the gain follows the VCA curve directly.
template <class Steps = OwnOffsetFlips>
inline void updateVcaGain311(Synth303& s, float vca, const Steps& steps = {})
{
    const float target =
        static_cast<float>(s.smoothedAccent * s.vcaAccentLevel2.value + (0.1 * s.accentSnapshot + 1.0) * vca);
    steps.step(s.vcaGain, target, 0.1);
}

// `vcaGain` and `volumeEnvelope` as the sample's control left them.
inline double applyVca311(double y, double vcaGain, double volumeEnvelope)
{
    return 2.0 * y * vcaGain * volumeEnvelope;
}

// --- output side
// Highpass from the raw knob, off at 0; the coefficient depends only on the knob and the rate.
inline double highpassCoefficient311(float highpassKnob, float q)
{
    const double hp = unitRange(highpassKnob);
    const double hp2 = hp * hp;
    return 1.0 - std::pow(1.0 - 0.5 * (hp2 * hp2), static_cast<double>(q));
}

constexpr double kSvfCoefficient44k = 0.02;
constexpr double kSvfDamping = 1.4;

inline float svfCoefficientFor(float q)
{
    return static_cast<float>(kSvfCoefficient44k * q);
}

// Two passes of a damped state-variable filter per sample; resonance blends back to the dry
// signal. The square wave's tone filter with output clipping on.
inline double stateVariableFilter(Synth303& s, double y, const AudioKnobs& k)
{
    const double f = s.svfCoefficient;
    const double b1 = s.svfBand + f * (y - kSvfDamping * s.svfBand - s.svfLow);
    const double l1 = s.svfLow + f * b1;
    const double h2 = y - kSvfDamping * b1 - l1;
    const double b2 = b1 + f * h2;
    const double l2 = l1 + f * b2;
    s.svfLow = static_cast<float>(l2);
    s.svfBand = static_cast<float>(b2);
    s.svfHigh = static_cast<float>(h2);
    const double r = k.resonance;
    return r * y + k.oneMinusResonance * (0.7 * b2 + l2 + h2);
}

constexpr double kClassicOutputLevel = 0.6;
constexpr double kClassicDcNoiseLevel = 0.3;
constexpr double kClickLevel = 33.0;
constexpr double kClickMuteFraction = 0.25; // of a second after each re-arm
constexpr double kClickFadeInRate = 18.0;   // then a fade-in over 1/18 s

// The voice's gain behind the click: 0 for a quarter second after a re-arm, then rising to 1.
inline double clickFadeIn(const COnOffSound& click)
{
    const double g = (click.counter - click.sampleRate * kClickMuteFraction) * kClickFadeInRate / click.sampleRate;
    return std::clamp(g, 0.0, 1.0);
}

// clickFadeIn squared. The fade-in only rises until the click is next triggered: once it has
// reached 1 with no trigger left in the block, it stays 1.
inline double clickFadeInSquared(const COnOffSound& click, OutputRun& run)
{
    ClickRearm& rearm = run.click;
    if (rearm.fadedIn)
        return 1.0;
    const double g = clickFadeIn(click);
    rearm.fadedIn = rearm.done && g >= 1.0;
    return g * g;
}

// The settled output part runs only once the fade-in is complete.
inline double clickFadeInSquared(const COnOffSound&, const SettledOutput&)
{
    return 1.0;
}

// The gain of the noise sample in this engine's output, 0.3 times the smoothed volume.
inline double dcNoiseGain311(float smoothedVolume)
{
    return kClassicDcNoiseLevel * smoothedVolume;
}

// With VCA noise the click generator sounds on volume changes and the voice waits behind it.
template <class Run>
inline float outputStage311(Synth303& s, double y, float vca, const AudioKnobs& k, const NoiseShape& noise, Run& run)
{
    if (!run.vcaNoise)
        return toOutputSample(kClassicOutputLevel * y);
    const double dcNoise = run.dcNoise(s.noisePosition);
    run.rearmClick(s.onOffSound, k.volume, s.sampleRate);
    const double fade = clickFadeInSquared(s.onOffSound, run);
    const double click = run.clickSample(s.onOffSound);
    const double voice = (y + nextNoise(s.outputNoise, noise) * vca) * kClassicOutputLevel +
                         dcNoise * k.dcNoiseGain / kDcNoiseFullScale;
    return toOutputSample(kClickLevel * click + voice * fade);
}
} // namespace oxn3
