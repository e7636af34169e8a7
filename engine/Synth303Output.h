#pragma once
// Output side of the voice: the two noise generators, the output filters, the VCA, highpass,
// distortion and output stage, the recorded noise sample, the click generator's bookkeeping,
// the parameter smoothers and the scope recorder.

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

// The next noise value before the VCA scales it.
inline double nextNoise(NoiseGenerator& n)
{
    n.seed = n.seed * kNoiseMultiplier + kNoiseIncrement;
    const float u = static_cast<float>(n.seed * kNoiseUnit);
    return ((n.g - 1.0) * -3.0 + 6.0 * n.g * u) * n.scale * kNoiseLevel;
}

// --- the recorded noise sample
constexpr int kDcNoisePlayed = 107100; // the last 12 values never play
constexpr double kDcNoiseFullScale = 32767.0;

// The next value of tb_dc_noise, in -1..1.
inline double nextDcNoise(int& position)
{
    if (position < 0 || position >= kDcNoisePlayed)
        position = 0;
    const double v = tb_dc_noise[position];
    position = position + 1 < kDcNoisePlayed ? position + 1 : 0;
    return v;
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

// --- resonance emphasis and output filters
inline double emphasisCoefficient(float q)
{
    return 1.0 - std::pow(0.5, static_cast<double>(q));
}

inline double emphasise(OnePoleState& lowPass, double o, double k, float smoothedResonance)
{
    return (o - lowPass.step(o, k)) * smoothedResonance + o;
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
inline float blockDc(OnePoleState& lowPass, float f, double k)
{
    return static_cast<float>(f - lowPass.step(f, k));
}

// The improved engine's output filters h1..h4: DC blocker, treble lift, a resonance-dependent
// bass cut and a bass shelf that the raw resonance knob takes away.
inline float outputFiltersRE(Synth303& s, float f, const OutputRates& r)
{
    const float h1 = blockDc(s.outLP1, f, r.lowPass[0]);
    const float h2 = static_cast<float>(2.0 * h1 - s.outLP2.step(h1, r.lowPass[1]));
    const float h3 = static_cast<float>(h2 - s.outLP3.step(h2, r.lowPass[2]) * s.smoothedResonance * s.ResoTrim);
    const double res = s.resonance;
    return static_cast<float>(h3 + (1.0 - res * res) * 0.2 * s.outLP4.step(h3, r.lowPass[3]));
}

// --- VCA and what follows it
inline double applyVcaRE(Synth303& s, float h4)
{
    const double gain = s.vcaGainSmoothed.step(s.vcaGain.value * s.volumeEnvelope.value, 0.1);
    return 2.0 * h4 * gain;
}

// A high cutoff darkens the level slightly.
inline double cutoffColour(double y, float smoothedCutoff)
{
    const double sc = smoothedCutoff;
    return (0.8 * sc * y + (1.0 - sc) * y) * 0.7;
}

// Base of the highpass coefficient; 1 - base^q is the one-pole step.
inline double highpassBase(float hp)
{
    const double hp2 = static_cast<double>(hp) * hp;
    return 1.0 - (0.5 * (hp2 * hp2) + 0.0001);
}

inline double highpassStep(OnePoleState& lowPass, double y, double k)
{
    return y - lowPass.step(y, k);
}

inline double distortion(double y, float distort)
{
    if (distort > 0.0f)
        return std::sin(y) * distort + (1.0 - distort) * y;
    return y;
}

constexpr double kOutputLevel = 0.35;
constexpr double kClipLow = -0.5;
constexpr double kClipHigh = 0.8;
constexpr double kDcNoiseLevel = 0.2;
constexpr double kOutputGain = 1.5;
constexpr double kSilenceFloor = 1e-30; // -600 dB: below it the output is 0, never a denormal

inline double applyVolume(double y, float smoothedVolume)
{
    const double sv = smoothedVolume;
    return y * (sv * sv);
}

// The output sample; below -600 dB it is 0, never a denormal.
inline float toOutputSample(double y)
{
    return std::fabs(y) < kSilenceFloor ? 0.0f : static_cast<float>(y);
}

// Volume, noise, optional clipping and the noise sample; the returned value goes to out[i].
inline float outputStageRE(Synth303& s, double y, float vca)
{
    const double sv = s.smoothedVolume;
    y = applyVolume(y, s.smoothedVolume);
    if (s.VCANoise)
        y += nextNoise(s.outputNoise) * vca;
    y *= kOutputLevel;
    if (s.OutputClipping)
        y = std::clamp(y, kClipLow, kClipHigh);
    if (s.VCANoise)
    {
        y += nextDcNoise(s.noisePosition) * (kDcNoiseLevel * sv) / kDcNoiseFullScale;
        rearmClick(s.onOffSound, s.smoothedVolume, s.sampleRate);
    }
    y *= kOutputGain;
    return toOutputSample(y);
}

// --- parameter smoothers: 0.0005 of the distance per sample at any rate
constexpr double kSmoothing = 0.0005;

inline float unitRange(float x)
{
    if (!(x > 0.0f))
        return 0.0f;
    return x > 1.0f ? 1.0f : x;
}

// Targets read once per block.
struct SmootherTargets
{
    double tuning = 0.0;
    double cutoff = 0.0;
    double resonance = 0.0;
    double envmod = 0.0;
    double decay = 0.0;
    double accent = 0.0;
    double waveform = 0.0;
    double volume = 0.0;
    double highpass = 0.0;
    double bass = 0.0;

    // Targets are clamped to 0..1 (NaN to 0): a damaged parameter must not poison the voice.
    static SmootherTargets read(const Synth303& s)
    {
        SmootherTargets t;
        t.tuning = unitRange(s.tuning);
        t.cutoff = unitRange(s.cutoff);
        t.resonance = unitRange(s.resonance) + 0.0001;
        t.envmod = unitRange(s.envmod);
        t.decay = std::sqrt(static_cast<double>(unitRange(s.decay)));
        t.accent = unitRange(s.accent);
        t.waveform = unitRange(s.waveform);
        t.volume = unitRange(s.volume);
        t.highpass = unitRange(s.highpass);
        t.bass = unitRange(s.bass);
        return t;
    }
};

inline void smoothToward(float& value, double target, double offset)
{
    value = static_cast<float>(value + (target + offset - value) * kSmoothing);
}

// The eight smoothers both engines run.
inline void runVoiceSmoothers(Synth303& s, const SmootherTargets& t)
{
    const double offset = s.smootherOffset;
    smoothToward(s.smoothedTuning, t.tuning, offset);
    smoothToward(s.smoothedCutoff, t.cutoff, offset);
    smoothToward(s.smoothedResonance, t.resonance, offset);
    smoothToward(s.smoothedEnvmod, t.envmod, offset);
    smoothToward(s.smoothedDecay, t.decay, offset);
    smoothToward(s.smoothedAccent, t.accent, offset);
    smoothToward(s.smoothedWaveform, t.waveform, offset);
    smoothToward(s.smoothedVolume, t.volume, offset);
}

inline void runSmoothersRE(Synth303& s, const SmootherTargets& t)
{
    runVoiceSmoothers(s, t);
    smoothToward(s.smoothedHighpass, t.highpass, s.smootherOffset);
    smoothToward(s.smoothedBass, t.bass, s.smootherOffset);
}

// --- scope recorder
inline constexpr const char* kScopeNames[kScopeChannels] = {
    "audio", "gate", "bSlide", "bAccent", "bTrigger", "Env", "accent", "s_accent",
    "env_accent", "vca_accent", "s_vca_accent2", "d24", "N/A 12", "N/A 13", "N/A 14", "N/A 15"};

// Signals of the current sample that are not fields of the engine.
struct ScopeSignals
{
    float audio = 0.0f;
    float vca = 0.0f;
    double accent = 0.0;    // A
    double envAccent = 0.0; // Ea
    double vcaAccent = 0.0; // Av
};

inline void writeScope(Synth303& s, const ScopeSignals& sig)
{
    const int i = ((s.scopeWriteIndex % kScopeLength) + kScopeLength) % kScopeLength;
    const float values[kScopeChannels] = {sig.audio,
                                          sig.vca,
                                          static_cast<float>(s.stepSlide),
                                          static_cast<float>(s.latchedAccent),
                                          static_cast<float>(s.trigger),
                                          static_cast<float>(s.mainEnvelope.value),
                                          static_cast<float>(sig.accent),
                                          static_cast<float>(s.accentCap.value),
                                          static_cast<float>(sig.envAccent),
                                          static_cast<float>(sig.vcaAccent),
                                          static_cast<float>(s.vcaAccentLevel2.value),
                                          static_cast<float>(s.d24.value),
                                          0.0f,
                                          0.0f,
                                          0.0f,
                                          0.0f};
    for (int ch = 0; ch < kScopeChannels; ++ch)
        s.scopeBuffers[ch][i] = values[ch];
    if (s.scopeNames[0] != kScopeNames[0]) // the names never change once set
        for (int ch = 0; ch < kScopeChannels; ++ch)
            s.scopeNames[ch] = kScopeNames[ch];
    ++s.scopeWriteIndex;
}
} // namespace oxn3
