#pragma once
// The parameter smoothers: each smoothed knob moves 0.0005 of the distance to its target per
// sample at any rate, with the alternating smoother offset. A block first finds which of them
// can move at all; a smoother at rest is left alone for the block, and whatever the render
// derives from it (KnobShapes) is computed once.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/Synth303.h"

namespace oxn3
{
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

// One bit per smoothed value, for the set of smoothers a block runs.
constexpr unsigned kSmoothTuning = 1u << 0;
constexpr unsigned kSmoothCutoff = 1u << 1;
constexpr unsigned kSmoothResonance = 1u << 2;
constexpr unsigned kSmoothEnvmod = 1u << 3;
constexpr unsigned kSmoothDecay = 1u << 4;
constexpr unsigned kSmoothAccent = 1u << 5;
constexpr unsigned kSmoothWaveform = 1u << 6;
constexpr unsigned kSmoothVolume = 1u << 7;
constexpr unsigned kSmoothHighpass = 1u << 8;
constexpr unsigned kSmoothBass = 1u << 9;
constexpr unsigned kVoiceSmoothers = kSmoothTuning | kSmoothCutoff | kSmoothResonance | kSmoothEnvmod |
                                     kSmoothDecay | kSmoothAccent | kSmoothWaveform | kSmoothVolume;
constexpr unsigned kAllSmoothers = kVoiceSmoothers | kSmoothHighpass | kSmoothBass;

inline bool sameBits(float a, float b)
{
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::memcpy(&x, &a, sizeof(x));
    std::memcpy(&y, &b, sizeof(y));
    return x == y;
}

// At rest: a step with either sign of the offset leaves the value exactly as it is, so it stays
// so for the whole block (the target changes only between blocks). A smoother that has settled
// near a target other than 0 comes to rest; one with target 0 keeps moving around 1e-18.
inline bool smootherAtRest(float value, double target, double offset)
{
    float up = value;
    float down = value;
    smoothToward(up, target, offset);
    smoothToward(down, target, -offset);
    return sameBits(up, value) && sameBits(down, value);
}

// Of the smoothers in `run`, those that are not at rest.
inline unsigned movingSmoothers(const Synth303& s, const SmootherTargets& t, unsigned run)
{
    const double o = s.smootherOffset;
    const struct
    {
        unsigned bit;
        float value;
        double target;
    } all[] = {{kSmoothTuning, s.smoothedTuning, t.tuning},       {kSmoothCutoff, s.smoothedCutoff, t.cutoff},
               {kSmoothResonance, s.smoothedResonance, t.resonance}, {kSmoothEnvmod, s.smoothedEnvmod, t.envmod},
               {kSmoothDecay, s.smoothedDecay, t.decay},           {kSmoothAccent, s.smoothedAccent, t.accent},
               {kSmoothWaveform, s.smoothedWaveform, t.waveform},  {kSmoothVolume, s.smoothedVolume, t.volume},
               {kSmoothHighpass, s.smoothedHighpass, t.highpass},  {kSmoothBass, s.smoothedBass, t.bass}};
    unsigned moving = 0;
    for (const auto& m : all)
        if ((run & m.bit) && !smootherAtRest(m.value, m.target, o))
            moving |= m.bit;
    return moving;
}

// One sample of the smoothers in `moving`.
inline void runSmoothers(Synth303& s, const SmootherTargets& t, unsigned moving)
{
    const double offset = s.smootherOffset;
    if (moving & kSmoothTuning)
        smoothToward(s.smoothedTuning, t.tuning, offset);
    if (moving & kSmoothCutoff)
        smoothToward(s.smoothedCutoff, t.cutoff, offset);
    if (moving & kSmoothResonance)
        smoothToward(s.smoothedResonance, t.resonance, offset);
    if (moving & kSmoothEnvmod)
        smoothToward(s.smoothedEnvmod, t.envmod, offset);
    if (moving & kSmoothDecay)
        smoothToward(s.smoothedDecay, t.decay, offset);
    if (moving & kSmoothAccent)
        smoothToward(s.smoothedAccent, t.accent, offset);
    if (moving & kSmoothWaveform)
        smoothToward(s.smoothedWaveform, t.waveform, offset);
    if (moving & kSmoothVolume)
        smoothToward(s.smoothedVolume, t.volume, offset);
    if (moving & kSmoothHighpass)
        smoothToward(s.smoothedHighpass, t.highpass, offset);
    if (moving & kSmoothBass)
        smoothToward(s.smoothedBass, t.bass, offset);
}
} // namespace oxn3
