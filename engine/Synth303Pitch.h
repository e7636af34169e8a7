#pragma once
// Pitch path and oscillator models of the voice: glide, vibrato, tuning and one oscillator sample
// per output sample. Both render engines build on these pieces; only the improved engine's mode
// numbering lives in oscillatorRE.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <type_traits>

#include "engine/LFODelay.h"
#include "engine/OnePoleState.h"
#include "engine/Synth303.h"
#include "engine/WaveTable.h"

namespace oxn3
{
// --- glide
constexpr double kLn10 = 2.30258509299405;
constexpr double kSlideTime = 0.0553;     // seconds for the remaining distance to fall to a tenth
constexpr double kPlainGlideStep = 0.1;   // per sample when not sliding

inline double slideCoefficient(double sampleRate)
{
    return kLn10 / (sampleRate * kSlideTime);
}

// `steps` (OnePoleState.h) as the render steps its states.
template <class Steps = OwnOffsetFlips>
inline double glideStep(OnePoleState& glide, double target, int sliding, double slideK, const Steps& steps = {})
{
    return steps.step(glide, target, sliding ? slideK : kPlainGlideStep);
}

// --- vibrato
constexpr double kVibratoFrequency = 8.0;
constexpr double kVibratoFadeRate = 5e-5; // at 44.1 kHz
constexpr double kVibratoDepth = 5.0;     // Hz

// The render prepares it once per block, the per-sample reference every sample.
inline void prepareVibrato(LFODelay& lfo, double sampleRate, float fsRatio)
{
    lfo.setRate(sampleRate, kVibratoFrequency);
    lfo.fadeRate = fsRatio * kVibratoFadeRate;
}

// The LFO's update without its sine, for samples where the vibrato depth is 0; must match
// LFODelay::step apart from the returned value.
inline void advanceVibratoSilently(LFODelay& lfo)
{
    lfo.amplitude += (1.0 - lfo.amplitude) * lfo.fadeRate;
    lfo.phase += lfo.phaseStep;
    if (lfo.phase >= 1.0)
        lfo.phase -= 1.0;
}

// Vibrato offset in Hz. With depth 0 the product is a zero that adding to the glide frequency
// cannot change, so the sine is skipped unless the caller asks for the literal computation.
inline double vibratoOffset(LFODelay& lfo, double depth, bool literal)
{
    if (depth == 0.0 && !literal)
    {
        advanceVibratoSilently(lfo);
        return 0.0;
    }
    return lfo.step() * depth;
}

// --- phase
// Tuning spans one octave down (0) to one octave up (1).
inline double tuningExponent(float smoothedTuning)
{
    return 2.0 * smoothedTuning - 1.0;
}

inline double phaseIncrement(double vibrato, double frequency, double tuningFactor, double sampleRate)
{
    return (vibrato + frequency) * tuningFactor / sampleRate;
}

// Period in samples at 44.1 kHz, which picks the wavetable.
inline float periodAt44k(float fsRatio, double increment)
{
    return static_cast<float>(fsRatio / increment);
}

inline float keepInCycle(float phase)
{
    if (!std::isfinite(phase))
        return 0.0f;
    return phase - std::floor(phase);
}

// 0 <= phase <= 1 in one comparison: the bits of the floats 0 to 1 are the unsigned numbers 0
// to those of 1.0f. -0 and NaN fail it; advancePhase then takes its full test.
inline bool plainlyWithinCycle(float phase)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &phase, sizeof(bits));
    return bits <= 0x3f800000u;
}

// Advances the phase; true when it wrapped past 1. A note so far outside the audible range
// that it steps by more than a cycle (or backwards under deep vibrato) is kept within 0..1.
inline bool advancePhase(float& phase, double step)
{
    phase = static_cast<float>(phase + step);
    if (plainlyWithinCycle(phase)) // all but the wrap of each cycle
        return false;
    bool wrapped = false;
    if (phase > 1.0f)
    {
        phase -= 1.0f;
        wrapped = true;
    }
    if (!(phase >= 0.0f && phase <= 1.0f))
        phase = keepInCycle(phase);
    return wrapped;
}

// --- cycle ratios: alternate cycles run slightly long and short
constexpr double kCycleRatio0 = 1.0015;
constexpr double kCycleRatio1 = 1.0007;
constexpr double kCycleRatio2 = 1.0;
constexpr double kShortCycleRatio = 0.9985022466300548;

inline void resetCycleRatios(double* ratio)
{
    ratio[0] = kCycleRatio0;
    ratio[1] = kCycleRatio1;
    ratio[2] = kCycleRatio2;
}

inline void carryCycleRatios(double* ratio)
{
    ratio[0] = 1.0 / ratio[0];
    if (ratio[0] > 1.0)
    {
        ratio[1] = 1.0 / ratio[1];
        if (ratio[1] > 1.0)
            ratio[2] = 1.0 / ratio[2];
    }
}

inline double cycleRatioProduct(const double* ratio)
{
    return ratio[0] * ratio[1] * ratio[2];
}

// --- table oscillators
// Table reads of the per-sample reference: the period picks the table afresh every sample.
struct MapTableReads
{
    float operator()(const WaveTable& table, float phase, float period) const { return table.lookup(phase, period); }
};

// Table reads of the render: the same tables, kept while the period stays in their span.
struct KeptTableReads
{
    WaveTableReader reader;

    float operator()(const WaveTable& table, float phase, float period) { return reader.read(table, phase, period); }
};

// One band-limited table sample at the phase before the step; the table is chosen by the
// period scaled by `periodScale`.
template <class TableReads>
inline float tableSample(TableReads& reads, const WaveTable& table, float phase, float period, double periodScale)
{
    return reads(table, phase, static_cast<float>(period * periodScale));
}

// --- analog model: four sub-steps per sample, a quarter of the phase step each
constexpr int kAnalogSubSteps = 4;
constexpr double kAnalogSawLevel = 0.4;
constexpr double kAnalogSquareCeiling = 0.305;
constexpr float kAnalogSquareConstants[6] = {0.55f, 0.5604879856109619f, 0.4365040063858032f, 0.0f, 0.305f, 0.305f};

struct AnalogModelStates
{
    OnePoleState* sawDcBlocker;
    OnePoleState* squareL1;
    OnePoleState* squareL2;
    OnePoleState* squareL3;
};

// Coefficients of the analog model that depend only on the sample rate.
struct AnalogModelRates
{
    double sawDc = 0.0;
    double squareStage[3] = {0.0, 0.0, 0.0};
    double squareGain = 0.0; // E(0)

    // E(i) = 2^((constant - 0.5) * 8)
    static double stageScale(float constant)
    {
        return std::pow(2.0, (constant - 0.5) * 8.0);
    }

    static AnalogModelRates compute(float fsRatio)
    {
        AnalogModelRates r;
        const double h = fsRatio * 0.25;
        r.sawDc = 1.0 - std::exp(-0.002503130162099127 * fsRatio * 0.25);
        r.squareGain = stageScale(kAnalogSquareConstants[0]);
        r.squareStage[0] = 1.0 - std::pow(1.0 - 0.02 * stageScale(kAnalogSquareConstants[1]), h);
        r.squareStage[1] = 1.0 - std::pow(1.0 - 0.00035 * stageScale(kAnalogSquareConstants[2]), h);
        r.squareStage[2] = 1.0 - std::pow(1.0 - 0.001 * stageScale(kAnalogSquareConstants[3]), h);
        return r;
    }
};

inline double analogSawSubSample(float phase, OnePoleState& dcBlocker, double k)
{
    const double s = (2.0 * phase - 1.0) * kAnalogSawLevel;
    const double d = dcBlocker.step(s, k);
    return static_cast<float>(s - d);
}

inline double analogSquareSubSample(float phase, const AnalogModelStates& st, const AnalogModelRates& r)
{
    const double s = std::fmin(2.0 * phase - 1.0, kAnalogSquareCeiling);
    const double l1 = st.squareL1->step(s, r.squareStage[0]);
    const float v = static_cast<float>(r.squareGain * (l1 * 75.0));
    const double l2 = st.squareL2->step(v, r.squareStage[1]);
    const float w = static_cast<float>(std::tanh(v - l2));
    const double l3 = st.squareL3->step(w, r.squareStage[2]);
    return (w - l3) * 0.25;
}

// The analog model; each wrap inverts only the first cycle ratio.
inline double analogOscillator(bool square, float& phase, double increment, double* cycleRatio,
                               const AnalogModelStates& states, const AnalogModelRates& rates)
{
    double sum = 0.0;
    for (int sub = 0; sub < kAnalogSubSteps; ++sub)
    {
        sum += square ? analogSquareSubSample(phase, states, rates)
                      : analogSawSubSample(phase, *states.sawDcBlocker, rates.sawDc);
        if (advancePhase(phase, increment * cycleRatio[0] / kAnalogSubSteps))
            cycleRatio[0] = 1.0 / cycleRatio[0];
    }
    return square ? 0.25 * sum : sum / kAnalogSubSteps;
}

// --- naive model
inline double naiveSquareCoefficient(float fsRatio)
{
    return 1.0 - std::exp(-0.0003500612642953807 * fsRatio);
}

inline double naiveOscillator(bool square, float& phase, double increment, double* cycleRatio,
                              OnePoleState& squareLP, double squareK)
{
    const double s = 2.0 * phase - 1.0;
    double osc = 0.25 * s;
    if (square)
    {
        const double l = squareLP.step(s, squareK);
        const double b = increment * 100.0 + 1.4;
        osc = 0.25 * (std::tanh((55.0 - 1000.0 * increment) * (s - l) + b) - b);
    }
    if (advancePhase(phase, increment * cycleRatioProduct(cycleRatio)))
        carryCycleRatios(cycleRatio);
    return osc;
}

// --- pitch inputs read from the engine
// The pitch wheel's factor on the glide target (the improved engine only).
inline double pitchBendFactor(const Synth303& s)
{
    const int wheel = std::clamp(s.pitchBend, 0, kPitchBendSize - 1);
    return s.pitchBendTable[wheel];
}

// A step with both octave flags plays with vibrato while the option is on.
inline double vibratoDepth(Synth303& s)
{
    if (!s.VCOVibrato || s.playStep < 0 || s.playStep >= Vst303Pattern::kMaxSteps)
        return 0.0;
    const step_t& step = s.activePattern().steps[s.playStep];
    return (step.has(step_t::kUp) && step.has(step_t::kDown)) ? kVibratoDepth : 0.0;
}

// The oscillator's phase step of one sample and the period (at 44.1 kHz) that picks the table.
struct PhaseStep
{
    double increment = 0.0;
    float period = 0.0f;
};

// 2^(2 smoothedTuning - 1), the tuning's factor on the frequency; `pow` is pow or a remembering pow.
template <class Pow>
inline double tuningFactor(float smoothedTuning, Pow& pow)
{
    return pow(2.0, tuningExponent(smoothedTuning));
}

// Glide toward `glideTarget`, delayed vibrato and tuning (tuningFactor): the pitch path both
// engines share. `literalVibrato` as for vibratoOffset; without it the caller has prepared the
// vibrato for the block.
template <class Steps = OwnOffsetFlips>
inline PhaseStep pitchPath(Synth303& s, double glideTarget, double slideK, double tuningFactor, bool literalVibrato,
                           const Steps& steps = {})
{
    const double frequency = glideStep(s.glide, glideTarget, s.slideActive, slideK, steps);
    if (literalVibrato)
        prepareVibrato(s.vibrato, s.sampleRate, s.fsRatio);
    const double lfo = vibratoOffset(s.vibrato, vibratoDepth(s), literalVibrato);
    PhaseStep step;
    step.increment = phaseIncrement(lfo, frequency, tuningFactor, s.sampleRate);
    step.period = periodAt44k(s.fsRatio, step.increment);
    return step;
}

// --- the improved engine's oscillator modes
constexpr int kModeXTableLow = 0;   // soft tables read at 0.8 of the period, 0.15 % sharp
constexpr int kModeXTable = 1;      // soft tables at the period
constexpr int kModeXTableHigh = 2;  // soft tables read at 1.2 of the period, 0.15 % sharp
constexpr int kModePlainTable = 3;
constexpr int kModeAnalog = 4;
constexpr int kModeNaive = 1000;
constexpr double kSharpStep = 1.0015;
constexpr double kXSquareLevel = 1.5;
constexpr double kPlainTableLevel = 0.75;

inline bool squareSelected(float smoothedWaveform)
{
    return smoothedWaveform > 0.5f;
}

struct OscillatorRates
{
    AnalogModelRates analog;
    double naiveSquare = 0.0;

    static OscillatorRates compute(float fsRatio)
    {
        OscillatorRates r;
        r.analog = AnalogModelRates::compute(fsRatio);
        r.naiveSquare = naiveSquareCoefficient(fsRatio);
        return r;
    }
};

inline AnalogModelStates analogStates(Synth303& s)
{
    return {&s.analogSawDcBlocker, &s.analogSquareL1, &s.analogSquareL2, &s.analogSquareL3};
}

template <class TableReads>
inline double xTableOscillator(Synth303& s, TableReads& reads, bool square, double increment, float period,
                               double periodScale, double stepScale)
{
    resetCycleRatios(s.cycleRatio);
    const WaveTable& table = square ? *s.wtXSquare : *s.wtXSaw;
    const float v = tableSample(reads, table, s.vcoPhase, period, periodScale);
    const double osc = square ? -kXSquareLevel * v : -static_cast<double>(v);
    if (advancePhase(s.vcoPhase, increment * stepScale))
        s.cycleRatio[0] = kShortCycleRatio; // seen only by a following sample in another mode
    return osc;
}

template <class TableReads>
inline double plainTableOscillator(Synth303& s, TableReads& reads, bool square, double increment, float period)
{
    const WaveTable& table = square ? *s.wtSquare : *s.wtSaw;
    const double osc = kPlainTableLevel * tableSample(reads, table, s.vcoPhase, period, 1.0);
    if (advancePhase(s.vcoPhase, increment * (s.cycleRatio[0] * s.cycleRatio[0])))
        carryCycleRatios(s.cycleRatio);
    return osc;
}

// The analog model on the engine's states; the square sets its own circuit constants.
inline double analogModel(Synth303& s, bool square, double increment, const AnalogModelRates& rates)
{
    if (square)
        std::copy(std::begin(kAnalogSquareConstants), std::end(kAnalogSquareConstants), s.analogConstants);
    return analogOscillator(square, s.vcoPhase, increment, s.cycleRatio, analogStates(s), rates);
}

inline double naiveModel(Synth303& s, bool square, double increment, double squareK)
{
    return naiveOscillator(square, s.vcoPhase, increment, s.cycleRatio, s.naiveSquareLP, squareK);
}

// The oscillator models of both engines, which each engine numbers in its own way (VCOMode).
enum class OscillatorModel
{
    XTable,
    XTableHigh,
    XTableLow,
    ClassicXTable,
    PlainTable,
    Analog,
    Naive,
    Silent
};

inline OscillatorModel oscillatorModelRE(int vcoMode)
{
    switch (vcoMode)
    {
    case kModeXTableLow: return OscillatorModel::XTableLow;
    case kModeXTable: return OscillatorModel::XTable;
    case kModeXTableHigh: return OscillatorModel::XTableHigh;
    case kModePlainTable: return OscillatorModel::PlainTable;
    case kModeAnalog: return OscillatorModel::Analog;
    case kModeNaive: return OscillatorModel::Naive;
    default: return OscillatorModel::Silent;
    }
}

// What the oscillator takes from the voice that changes only between render calls: the model
// (from VCOMode) and the pitch wheel's factor, read once per block by the render (every sample
// by the per-sample reference); and the table reads.
template <bool kPerSampleReference>
struct OscillatorBlock
{
    OscillatorModel model = OscillatorModel::Silent;
    double bend = 1.0;
    std::conditional_t<kPerSampleReference, MapTableReads, KeptTableReads> reads;

    void take(OscillatorModel voiceModel, double voiceBend)
    {
        model = voiceModel;
        bend = voiceBend;
    }
};

inline bool softTableModel(OscillatorModel model)
{
    return model <= OscillatorModel::XTableLow;
}

// One oscillator sample of the improved engine; modes without a model are silent. The soft
// tables, the common models, are asked first.
template <class Block>
inline double oscillatorRE(Synth303& s, Block& block, double increment, float period, const OscillatorRates& rates)
{
    const bool square = squareSelected(s.smoothedWaveform);
    const OscillatorModel model = block.model;
    if (softTableModel(model))
    {
        if (model == OscillatorModel::XTable)
            return xTableOscillator(s, block.reads, square, increment, period, 1.0, 1.0);
        if (model == OscillatorModel::XTableHigh)
            return xTableOscillator(s, block.reads, square, increment, period, 1.2, kSharpStep);
        return xTableOscillator(s, block.reads, square, increment, period, 0.8, kSharpStep);
    }
    if (model == OscillatorModel::PlainTable)
        return plainTableOscillator(s, block.reads, square, increment, period);
    if (model == OscillatorModel::Analog)
        return analogModel(s, square, increment, rates.analog);
    if (model == OscillatorModel::Naive)
        return naiveModel(s, square, increment, rates.naiveSquare);
    return 0.0;
}
} // namespace oxn3
