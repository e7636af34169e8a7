#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
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
    s.gate = s.stepGate = s.trigger = 1;
}

inline void renderBlock(Synth303& s, bool classic, float* out, int n)
{
    if (classic)
        s.blockProcess311(out, n, false);
    else
        s.blockProcessRE(out, n, false);
}

inline std::vector<float> render(Synth303& s, int samples, int blockSize = 256, bool classic = false)
{
    std::vector<float> out(static_cast<size_t>(samples), 0.0f);
    for (int done = 0; done < samples; done += blockSize)
        renderBlock(s, classic, out.data() + done, std::min(blockSize, samples - done));
    return out;
}

inline std::vector<float> render311(Synth303& s, int samples, int blockSize = 256)
{
    return render(s, samples, blockSize, true);
}

inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Fundamental frequency from rising crossings of the mean with hysteresis (one per cycle for
// the voice's saw and square shapes), interpolated between samples; from sample `from` on.
inline double measureFrequency(const std::vector<float>& x, size_t from, double sampleRate)
{
    const double n = static_cast<double>(x.size() - from);
    double mean = 0.0, power = 0.0;
    for (size_t i = from; i < x.size(); ++i)
        mean += x[i] / n;
    for (size_t i = from; i < x.size(); ++i)
        power += (x[i] - mean) * (x[i] - mean);
    const double hysteresis = 0.5 * std::sqrt(power / n);
    bool armed = false;
    int crossings = 0;
    double first = 0.0, last = 0.0;
    for (size_t i = from + 1; i < x.size(); ++i)
    {
        armed = armed || x[i] < mean - hysteresis;
        if (armed && x[i - 1] < mean && x[i] >= mean)
        {
            last = static_cast<double>(i - 1) + (mean - x[i - 1]) / (x[i] - x[i - 1]);
            first = crossings++ == 0 ? last : first;
            armed = false;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}

inline double peakOf(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX)
{
    double peak = 0.0;
    for (size_t i = from; i < std::min(to, x.size()); ++i)
        peak = std::max(peak, static_cast<double>(std::fabs(x[i])));
    return peak;
}

// Sets the steps of pattern 0 and its length.
inline void setPatternSteps(Synth303& s, const std::vector<step_t>& steps)
{
    s.patterns[0].setLength(static_cast<int>(steps.size()));
    for (size_t i = 0; i < steps.size(); ++i)
        s.patterns[0].steps[i] = steps[i];
}

inline step_t voiceStep(int pitch, int flags)
{
    return step_t{static_cast<int8_t>(pitch), static_cast<uint8_t>(flags)};
}

// A busy 16-step line: accents, slides, octave flags and a rest.
inline std::vector<step_t> busyPattern()
{
    constexpr int g = step_t::kGate, a = step_t::kAccent, sl = step_t::kSlide;
    constexpr int up = step_t::kUp, down = step_t::kDown;
    return {voiceStep(0, g | a),  voiceStep(12, g),     voiceStep(3, g | sl), voiceStep(15, g | a),
            voiceStep(7, g),      voiceStep(0, 0),      voiceStep(10, g | up), voiceStep(5, g | sl | a),
            voiceStep(8, g | sl), voiceStep(0, g),      voiceStep(12, g | a), voiceStep(3, g | down),
            voiceStep(7, g | sl), voiceStep(10, g | a), voiceStep(0, g | up | down), voiceStep(5, g)};
}

// A voice playing the busy line at 133 BPM with resonant, accented settings.
inline std::unique_ptr<Synth303> busyVoice(double sampleRate, int mode, bool classic = false, int triplet = 0)
{
    auto synth = makeVoice(sampleRate);
    synth->ImprovedEmulation = classic ? 0 : 1;
    synth->VCOMode = mode;
    synth->cutoff = 0.35f;
    synth->resonance = 0.75f;
    synth->envmod = 0.6f;
    synth->decay = 0.4f;
    synth->accent = 0.8f;
    setPatternSteps(*synth, busyPattern());
    synth->patterns[0].setTriplet(triplet);
    synth->setTempo(133.0);
    synth->setRunStop(1);
    return synth;
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

template <class T>
bool usableValue(T x)
{
    return std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL;
}

template <class Array>
bool allUsable(const Array& values)
{
    return std::all_of(std::begin(values), std::end(values), [](auto v) { return usableValue(v); });
}

// The first recursive state or smoothed value of either engine that is NaN, infinite or
// denormal; "" if none.
inline std::string firstUnusableState(const Synth303& s)
{
    const std::pair<const char*, double> states[] = {
        {"glide", s.glide.value}, {"emphasisLP", s.emphasisLP.value}, {"mainEnvelope", s.mainEnvelope.value},
        {"volumeEnvelope", s.volumeEnvelope.value}, {"gateFollower", s.gateFollower.value},
        {"accentCap", s.accentCap.value}, {"d24", s.d24.value}, {"vcaAccentLevel", s.vcaAccentLevel.value},
        {"vcaAccentLevel2", s.vcaAccentLevel2.value}, {"vcaLevel", s.vcaLevel.value}, {"vcaGain", s.vcaGain.value},
        {"vcaGainSmoothed", s.vcaGainSmoothed.value}, {"outLP1", s.outLP1.value}, {"outLP2", s.outLP2.value},
        {"outLP3", s.outLP3.value}, {"outLP4", s.outLP4.value}, {"highpassLP", s.highpassLP.value},
        {"cutoffSmoother", s.cutoffSmoother.value}, {"bassBoostLP", s.bassBoostLP.value},
        {"filterGain", s.filterGainSmoother.value}, {"naiveSquareLP", s.naiveSquareLP.value},
        {"analogSaw", s.analogSawDcBlocker.value}, {"analogL1", s.analogSquareL1.value},
        {"analogL2", s.analogSquareL2.value}, {"analogL3", s.analogSquareL3.value}, {"gateEnvelope", s.gateEnvelope},
        {"accentSnapshot", s.accentSnapshot}, {"ramp0", s.triggerRamps[0]}, {"ramp1", s.triggerRamps[1]},
        {"vcoPhase", s.vcoPhase}, {"ladderAFeedback", s.ladderAFeedback}, {"ladderBFeedback", s.ladderBFeedback},
        {"lfoAmplitude", s.vibrato.amplitude}, {"lfoPhase", s.vibrato.phase}, {"svfLow", s.svfLow},
        {"svfBand", s.svfBand}, {"svfHigh", s.svfHigh}};
    for (const auto& st : states)
        if (!usableValue(st.second))
            return st.first;
    for (int i = 0; i < 4; ++i)
        if (!usableValue(s.ladderA[i].value) || !usableValue(s.ladderB[i].value))
            return "ladder pole " + std::to_string(i);
    if (!allUsable(s.decimator.firstResults) || !allUsable(s.decimator.secondResults))
        return "decimator";
    if (!allUsable(s.onOffSound.stage))
        return "click stage";
    const float smoothed[] = {s.smoothedTuning, s.smoothedCutoff,   s.smoothedResonance, s.smoothedEnvmod,
                              s.smoothedDecay,  s.smoothedAccent,   s.smoothedWaveform,  s.smoothedVolume,
                              s.smoothedHighpass, s.smoothedBass};
    return allUsable(smoothed) ? "" : "smoothed parameter";
}
