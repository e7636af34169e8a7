#pragma once
// Output side of the voice: the two noise generators, the output filters, the VCA, highpass,
// distortion and output stage, the recorded noise sample and the click generator's bookkeeping.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/OnePoleState.h"
#include "engine/StaticTables.h"
#include "engine/Synth303.h"

namespace oxn3
{
// --- noise generators: a 32-bit linear congruential sequence scaled to about +-1e-4
constexpr std::uint32_t kNoiseMultiplier = 196314165u;
constexpr std::uint32_t kNoiseIncrement = 907633515u;
constexpr double kNoiseUnit = 2.3283064e-10; // 2^-32
constexpr double kNoiseLevel = 0.0001;

// The terms of a generator's value that its fixed fields give, ((g - 1) -3 + 6 g u) scale,
// taken once per block.
struct NoiseShape
{
    double offset = 0.0; // (g - 1) -3
    double slope = 0.0;  // 6 g
    double scale = 0.0;

    static NoiseShape of(const NoiseGenerator& n)
    {
        return {(n.g - 1.0) * -3.0, 6.0 * n.g, n.scale};
    }
};

// The next noise value before the VCA scales it.
inline double nextNoise(NoiseGenerator& n, const NoiseShape& shape)
{
    n.seed = n.seed * kNoiseMultiplier + kNoiseIncrement;
    const float u = static_cast<float>(n.seed * kNoiseUnit);
    return (shape.offset + shape.slope * u) * shape.scale * kNoiseLevel;
}

// --- the recorded noise sample
constexpr int kDcNoisePlayed = 107100; // the last 12 values never play
constexpr double kDcNoiseFullScale = 32767.0;

// The next value of tb_dc_noise (full scale kDcNoiseFullScale). `position` may stand at
// kDcNoisePlayed after the last value played: the next read wraps it to the start (as it does
// any value out of range), which saves a second test per sample.
inline double nextDcNoise(int& position)
{
    const int p = static_cast<unsigned>(position) < static_cast<unsigned>(kDcNoisePlayed) ? position : 0;
    position = p + 1;
    return tb_dc_noise[p];
}

// --- click generator bookkeeping: the off-click when the volume falls silent, the on-click
// when it returns. Only the classic engine sounds it.
constexpr float kClickVolumeThreshold = 1e-8f;
constexpr double kOffClickLength = 50.0;
constexpr float kOffClickGain = 1.0f;
constexpr double kOnClickLength = 500.0;
constexpr float kOnClickGain = 0.5f;

inline void rearmClick(COnOffSound& click, float smoothedVolume, double sampleRate)
{
    if (smoothedVolume < kClickVolumeThreshold)
    {
        if (click.armed == 1)
        {
            click.armed = 0;
            click.trigger(kOffClickLength, kOffClickGain);
        }
    }
    else if (click.armed == 0)
    {
        click.armed = 1;
        click.trigger(kOnClickLength, kOnClickGain);
    }
    click.sampleRate = sampleRate;
}

// Rearming twice with the same volume changes nothing, so while the volume knob rests over a
// block only the block's first awake sample needs to rearm; after it, nothing triggers the
// click for the rest of the block.
struct ClickRearm
{
    bool volumeMoves = true;
    bool done = false;
    bool fadedIn = false; // classic engine: the voice's fade-in behind the click is complete

    void run(COnOffSound& click, float smoothedVolume, double sampleRate)
    {
        if (done)
            return;
        rearmClick(click, smoothedVolume, sampleRate);
        done = !volumeMoves;
    }
};

// --- what the output side of one sample reads of the knobs
// A high cutoff darkens the level slightly: y (0.8 sc + (1 - sc)) 0.7, term by term.
struct CutoffColour
{
    double high = 0.0; // 0.8 sc
    double low = 1.0;  // 1 - sc

    static CutoffColour of(float smoothedCutoff)
    {
        const double sc = smoothedCutoff;
        return {0.8 * sc, 1.0 - sc};
    }
};

// The smoothed knobs and their shapes as the output side of one sample sees them (KnobShapes
// computes them; each sample gets its own copy, taken before the smoothers move on).
struct AudioKnobs
{
    float resonance = 0.0f;
    float waveform = 0.0f;
    float volume = 0.0f;
    double oneMinusResonance = 1.0;
    CutoffColour colour;
    double highpassK = 0.0;   // improved engine
    double volumeSquared = 0.0;
    double dcNoiseGain = 0.0;
    double shelfGain = 0.0;   // improved engine, from the raw resonance knob
};

// --- resonance emphasis and output filters
inline double emphasisCoefficient(float q)
{
    return 1.0 - std::pow(0.5, static_cast<double>(q));
}

template <class Steps = OwnOffsetFlips>
inline double emphasise(OnePoleState& lowPass, double o, double k, float smoothedResonance, const Steps& steps = {})
{
    return (o - steps.step(lowPass, o, k)) * smoothedResonance + o;
}

struct OutputRates
{
    double emphasis = 0.0;
    double lowPass[4] = {0.0, 0.0, 0.0, 0.0};

    static OutputRates compute(float q)
    {
        OutputRates r;
        r.emphasis = emphasisCoefficient(q);
        r.lowPass[0] = 1.0 - std::exp(-0.012072581339844266 * q);
        r.lowPass[1] = 1.0 - std::exp(-0.5447271528330139 * q);
        r.lowPass[2] = 1.0 - std::exp(-0.020202706861361452 * q);
        r.lowPass[3] = 1.0 - std::exp(-0.05129329517182218 * q);
        return r;
    }
};

// DC blocker of the filtered sample (h1).
// `steps` as the control part's (OnePoleState.h): the improved render's output part keeps a
// BlockOffsetSign of its own for its six states, which step once per awake output sample.
template <class Steps = OwnOffsetFlips>
inline float blockDc(OnePoleState& lowPass, float f, double k, const Steps& steps = {})
{
    return static_cast<float>(f - steps.step(lowPass, f, k));
}

// Gain of the bass shelf of the output filters, (1 - resonance^2) 0.2 of the raw knob.
inline double bassShelfGain(float resonanceKnob)
{
    const double res = resonanceKnob;
    return (1.0 - res * res) * 0.2;
}

// The improved engine's output filters h1..h4: DC blocker, treble lift, a resonance-dependent
// bass cut and a bass shelf (bassShelfGain) that the raw resonance knob takes away.
template <class Steps>
inline float outputFiltersRE(Synth303& s, float f, const OutputRates& r, const AudioKnobs& k, const Steps& steps)
{
    const float h1 = blockDc(s.outLP1, f, r.lowPass[0], steps);
    const float h2 = static_cast<float>(2.0 * h1 - steps.step(s.outLP2, h1, r.lowPass[1]));
    const double lp3 = steps.step(s.outLP3, h2, r.lowPass[2]);
    const float h3 = static_cast<float>(h2 - lp3 * k.resonance * s.ResoTrim);
    return static_cast<float>(h3 + k.shelfGain * steps.step(s.outLP4, h3, r.lowPass[3]));
}

// --- VCA and what follows it
// `vcaGain` and `volumeEnvelope` as the sample's control left them.
template <class Steps>
inline double applyVcaRE(Synth303& s, float h4, double vcaGain, double volumeEnvelope, const Steps& steps)
{
    const double gain = steps.step(s.vcaGainSmoothed, vcaGain * volumeEnvelope, 0.1);
    return 2.0 * h4 * gain;
}

inline double cutoffColour(double y, const CutoffColour& colour)
{
    return (colour.high * y + colour.low * y) * 0.7;
}

// Base of the highpass coefficient; 1 - base^q is the one-pole step.
inline double highpassBase(float hp)
{
    const double hp2 = static_cast<double>(hp) * hp;
    return 1.0 - (0.5 * (hp2 * hp2) + 0.0001);
}

template <class Steps = OwnOffsetFlips>
inline double highpassStep(OnePoleState& lowPass, double y, double k, const Steps& steps = {})
{
    return y - steps.step(lowPass, y, k);
}

// The engine's switches as the output part reads them, once per block (no sample changes them),
// and the click's rearming over the block.
struct OutputRun
{
    bool vcaNoise = false;
    bool clipping = false;
    bool distorted = false;
    float distort = 0.0f;
    ClickRearm click;

    static OutputRun of(const Synth303& s, bool volumeMoves)
    {
        OutputRun run;
        run.vcaNoise = s.VCANoise != 0;
        run.clipping = s.OutputClipping != 0;
        run.distorted = s.distort > 0.0f;
        run.distort = s.distort;
        run.click.volumeMoves = volumeMoves;
        return run;
    }

    void rearmClick(COnOffSound& onOff, float smoothedVolume, double sampleRate)
    {
        click.run(onOff, smoothedVolume, sampleRate);
    }

    static double dcNoise(int& position)
    {
        return nextDcNoise(position);
    }

    static float clickSample(COnOffSound& onOff)
    {
        return onOff.process();
    }
};

// The switches of the common case, fixed: VCA noise on, no clipping, no distortion, the click
// rearmed for the rest of the block (in the classic engine also faded in, its pulse over), and
// the noise sample not wrapping before the block ends.
struct SettledOutput
{
    static constexpr bool vcaNoise = true;
    static constexpr bool clipping = false;
    static constexpr bool distorted = false;
    static constexpr float distort = 0.0f;

    static void rearmClick(COnOffSound&, float, double)
    {
    }

    static double dcNoise(int& position)
    {
        return tb_dc_noise[position++];
    }

    static float clickSample(COnOffSound& onOff)
    {
        return onOff.processAfterPulse();
    }
};

// Whether the noise sample can play `samples` values from `position` without wrapping.
inline bool dcNoiseRunsOn(int position, int samples)
{
    return position >= 0 && position <= kDcNoisePlayed - samples;
}

// Whether a block's awake samples may take SettledOutput's switches once the click is rearmed.
inline bool outputSettles(const Synth303& s, const OutputRun& run, int numSamples)
{
    return run.vcaNoise && !run.clipping && !run.distorted && dcNoiseRunsOn(s.noisePosition, numSamples);
}

template <class Run>
inline double distortion(double y, const Run& run)
{
    if (run.distorted)
        return std::sin(y) * run.distort + (1.0 - run.distort) * y;
    return y;
}

constexpr double kOutputLevel = 0.35;
constexpr double kClipLow = -0.5;
constexpr double kClipHigh = 0.8;
constexpr double kDcNoiseLevel = 0.2;
constexpr double kOutputGain = 1.5;
constexpr double kSilenceFloor = 1e-30; // -600 dB: below it the output is 0, never a denormal

inline double volumeSquared(float smoothedVolume)
{
    const double sv = smoothedVolume;
    return sv * sv;
}

inline double applyVolume(double y, double smoothedVolumeSquared)
{
    return y * smoothedVolumeSquared;
}

// The gain of the noise sample in the improved engine's output, 0.2 times the smoothed volume.
inline double dcNoiseGainRE(float smoothedVolume)
{
    return kDcNoiseLevel * smoothedVolume;
}

// The output sample; below -600 dB it is 0, never a denormal. That is rare: the hint keeps the
// common case in line.
inline float toOutputSample(double y)
{
    if (__builtin_expect(std::fabs(y) < kSilenceFloor, 0))
        return 0.0f;
    return static_cast<float>(y);
}

// Volume, noise, optional clipping and the noise sample; the returned value goes to out[i].
template <class Run>
inline float outputStageRE(Synth303& s, double y, float vca, const AudioKnobs& k, const NoiseShape& noise, Run& run)
{
    y = applyVolume(y, k.volumeSquared);
    if (run.vcaNoise)
        y += nextNoise(s.outputNoise, noise) * vca;
    y *= kOutputLevel;
    if (run.clipping)
        y = std::clamp(y, kClipLow, kClipHigh);
    if (run.vcaNoise)
    {
        y += run.dcNoise(s.noisePosition) * k.dcNoiseGain / kDcNoiseFullScale;
        run.rearmClick(s.onOffSound, k.volume, s.sampleRate);
    }
    y *= kOutputGain;
    return toOutputSample(y);
}
} // namespace oxn3
