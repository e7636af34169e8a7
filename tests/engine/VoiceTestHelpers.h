#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Synth303.h"

// A voice at `sampleRate` as the processor sets it up, with the VCA noise off so that
// measurements see only the voice.
inline std::unique_ptr<Synth303> makeVoice(double sampleRate = 44100.0)
{
    auto synth = std::make_unique<Synth303>();
    synth->sampleRate = sampleRate;
    synth->fsRatio = static_cast<float>(44100.0 / sampleRate);
    synth->VCANoise = 0;
    synth->setTempo(120.0);
    return synth;
}

// Puts every smoothed parameter at its target, as a long render would.
inline void settleKnobs(Synth303& s)
{
    s.smoothedTuning = s.tuning;
    s.smoothedCutoff = s.cutoff;
    s.smoothedResonance = static_cast<float>(s.resonance + 0.0001);
    s.smoothedEnvmod = s.envmod;
    s.smoothedDecay = static_cast<float>(std::sqrt(static_cast<double>(s.decay)));
    s.smoothedAccent = s.accent;
    s.smoothedWaveform = s.waveform;
    s.smoothedVolume = s.volume;
    s.smoothedHighpass = s.highpass;
    s.smoothedBass = s.bass;
}

// Opens the gate on a note with the sequencer stopped: the render keeps it open.
inline void holdNote(Synth303& s, float hz)
{
    s.vcoFrequency = hz;
    s.gate = 1;
    s.stepGate = 1;
    s.trigger = 1;
}

inline std::vector<float> render(Synth303& s, int samples, int blockSize = 256)
{
    std::vector<float> out(static_cast<size_t>(samples), 0.0f);
    for (int done = 0; done < samples; done += blockSize)
    {
        const int n = std::min(blockSize, samples - done);
        s.blockProcessRE(out.data() + done, n, false);
    }
    return out;
}

// Fundamental frequency from rising crossings of the mean with hysteresis (one per cycle for
// the voice's saw and square shapes), interpolated between samples; from sample `from` on.
inline double measureFrequency(const std::vector<float>& x, size_t from, double sampleRate)
{
    double mean = 0.0;
    double power = 0.0;
    for (size_t i = from; i < x.size(); ++i)
        mean += x[i];
    mean /= static_cast<double>(x.size() - from);
    for (size_t i = from; i < x.size(); ++i)
        power += (x[i] - mean) * (x[i] - mean);
    const double hysteresis = 0.5 * std::sqrt(power / static_cast<double>(x.size() - from));

    bool armed = false;
    int crossings = 0;
    double first = 0.0;
    double last = 0.0;
    for (size_t i = from + 1; i < x.size(); ++i)
    {
        if (x[i] < mean - hysteresis)
            armed = true;
        if (armed && x[i - 1] < mean && x[i] >= mean)
        {
            const double t = static_cast<double>(i - 1) + (mean - x[i - 1]) / (x[i] - x[i - 1]);
            if (crossings == 0)
                first = t;
            last = t;
            ++crossings;
            armed = false;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * sampleRate / (last - first);
}

inline double peakOf(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX)
{
    double peak = 0.0;
    for (size_t i = from; i < std::min(to, x.size()); ++i)
        peak = std::max(peak, static_cast<double>(std::fabs(x[i])));
    return peak;
}

inline double rmsOf(const std::vector<float>& x, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Sets step i of pattern 0 and the pattern length.
inline void setPatternSteps(Synth303& s, const std::vector<step_t>& steps)
{
    Vst303Pattern& p = s.patterns[0];
    p.setLength(static_cast<int>(steps.size()));
    for (size_t i = 0; i < steps.size(); ++i)
        p.steps[i] = steps[i];
}

inline step_t voiceStep(int pitch, uint8_t flags)
{
    step_t s;
    s.pitch = static_cast<int8_t>(pitch);
    s.flags = flags;
    return s;
}

// A busy 16-step line: accents, slides, octave flags and a rest.
inline std::vector<step_t> busyPattern()
{
    constexpr uint8_t g = step_t::kGate;
    constexpr uint8_t a = step_t::kAccent;
    constexpr uint8_t sl = step_t::kSlide;
    return {voiceStep(0, g | a),       voiceStep(12, g),     voiceStep(3, g | sl),  voiceStep(15, g | a),
            voiceStep(7, g),           voiceStep(0, 0),      voiceStep(10, g | step_t::kUp), voiceStep(5, g | sl | a),
            voiceStep(8, g | sl),      voiceStep(0, g),      voiceStep(12, g | a),  voiceStep(3, g | step_t::kDown),
            voiceStep(7, g | sl),      voiceStep(10, g | a), voiceStep(0, g | step_t::kUp | step_t::kDown),
            voiceStep(5, g)};
}

// Small deterministic generator for test inputs.
struct TestRandom
{
    std::uint32_t state = 12345u;
    double next() // 0..1
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
};
