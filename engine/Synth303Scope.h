#pragma once
// The scope recorder: while the sequencer runs, sample i of a block goes to position i (wrapping
// at kScopeLength) of 16 channels. Channels 12 to 15 are always 0, and the names and the write
// index are the same for every sample of a block, so those are written once per block.
//
// Nothing in a render starts or stops the sequencer, so a block records all its samples or none.
// The per-sample reference records every channel of every sample as it goes (ScopeBySample); the
// render (ScopeByBlock) writes per sample only the channels that change per sample. The step's
// slide, accent and trigger change only when a step starts, so they are written a step at a time,
// and the output sample (channel 0) is copied from the block's output at its end.

#include <algorithm>
#include <type_traits>

#include "engine/Synth303.h"

namespace oxn3
{
inline constexpr const char* kScopeNames[kScopeChannels] = {
    "audio", "gate", "bSlide", "bAccent", "bTrigger", "Env", "accent", "s_accent",
    "env_accent", "vca_accent", "s_vca_accent2", "d24", "N/A 12", "N/A 13", "N/A 14", "N/A 15"};

constexpr int kFirstZeroScopeChannel = 12;

// Signals of the current sample that are not fields of the engine.
struct ScopeSignals
{
    float vca = 0.0f;
    float accent = 0.0f;    // A
    double envAccent = 0.0; // Ea
    double vcaAccent = 0.0; // Av
};

// The channels of one sample that change with every sample.
inline void recordSampleChannels(Synth303& s, int i, const ScopeSignals& sig)
{
    s.scopeBuffers[1][i] = sig.vca;
    s.scopeBuffers[5][i] = static_cast<float>(s.mainEnvelope.value);
    s.scopeBuffers[6][i] = sig.accent;
    s.scopeBuffers[7][i] = static_cast<float>(s.accentCap.value);
    s.scopeBuffers[8][i] = static_cast<float>(sig.envAccent);
    s.scopeBuffers[9][i] = static_cast<float>(sig.vcaAccent);
    s.scopeBuffers[10][i] = static_cast<float>(s.vcaAccentLevel2.value);
    s.scopeBuffers[11][i] = static_cast<float>(s.d24.value);
}

// After a block of `numSamples` (at least 1) samples: the zero channels, the names, and the
// write index, which each sample sets to its own index and a recorded sample advances by one.
inline void finishScopeBlock(Synth303& s, bool recorded, int numSamples)
{
    if (recorded)
    {
        const int positions = std::min(numSamples, kScopeLength);
        for (int ch = kFirstZeroScopeChannel; ch < kScopeChannels; ++ch)
            std::fill(s.scopeBuffers[ch], s.scopeBuffers[ch] + positions, 0.0f);
        std::copy(kScopeNames, kScopeNames + kScopeChannels, s.scopeNames);
    }
    s.scopeWriteIndex = numSamples - 1 + (recorded ? 1 : 0);
}

// The per-sample reference: channels 1 to 11 as each sample's control part leaves them, channel 0
// as its output part follows (a run of one sample: nothing comes between).
class ScopeBySample
{
public:
    explicit ScopeBySample(const Synth303& s) : recording(s.running != 0) {}

    void stepStarted(Synth303&) {}

    void record(Synth303& s, const ScopeSignals& sig)
    {
        if (!recording)
            return;
        const int i = position;
        recordSampleChannels(s, i, sig);
        s.scopeBuffers[2][i] = static_cast<float>(s.stepSlide);
        s.scopeBuffers[3][i] = static_cast<float>(s.latchedAccent);
        s.scopeBuffers[4][i] = static_cast<float>(s.trigger);
        audioPosition = i;
        if (++position == kScopeLength)
            position = 0;
    }

    void recordAudio(Synth303& s, float audio)
    {
        if (recording)
            s.scopeBuffers[0][audioPosition] = audio;
    }

    void finish(Synth303& s, const float*, int numSamples) { finishScopeBlock(s, recording, numSamples); }

private:
    bool recording;
    int position = 0;
    int audioPosition = 0;
};

// The render: see the top of this file. A sample is recorded at `position` while it is short of
// `stop`: the scope's end while recording, else 0 (nothing is). The scope wraps when the sample
// after its last position comes.
class ScopeByBlock
{
public:
    explicit ScopeByBlock(const Synth303& s) : recording(s.running != 0), stop(recording ? kScopeLength : 0)
    {
        beginStep(s, 0);
    }

    // Called by the clock right after a step started at the current sample.
    void stepStarted(Synth303& s)
    {
        if (position == kScopeLength)
            wrap(s);
        finishStep(s, position);
        beginStep(s, position);
    }

    void record(Synth303& s, const ScopeSignals& sig)
    {
        if (position == stop)
        {
            if (!recording)
                return;
            wrap(s);
        }
        recordSampleChannels(s, position, sig);
        ++position;
    }

    void recordAudio(Synth303&, float) {}

    void finish(Synth303& s, const float* out, int numSamples)
    {
        if (recording)
        {
            finishStep(s, position);
            copyAudio(s, out, numSamples);
        }
        finishScopeBlock(s, recording, numSamples);
    }

private:
    // The step's channels of positions step.start to `end`.
    struct StepChannels
    {
        int start = 0;
        float slide = 0.0f;
        float accent = 0.0f;
        float trigger = 0.0f; // of the first sample only: a trigger lasts one sample
    };

    void beginStep(const Synth303& s, int at)
    {
        step = {at, static_cast<float>(s.stepSlide), static_cast<float>(s.latchedAccent),
                static_cast<float>(s.trigger)};
    }

    void finishStep(Synth303& s, int end) const
    {
        if (!recording || step.start >= end)
            return;
        std::fill(s.scopeBuffers[2] + step.start, s.scopeBuffers[2] + end, step.slide);
        std::fill(s.scopeBuffers[3] + step.start, s.scopeBuffers[3] + end, step.accent);
        s.scopeBuffers[4][step.start] = step.trigger;
        std::fill(s.scopeBuffers[4] + step.start + 1, s.scopeBuffers[4] + end, 0.0f);
    }

    // The scope is full: the step goes on from position 0, past its trigger.
    void wrap(Synth303& s)
    {
        finishStep(s, kScopeLength);
        position = 0;
        step.start = 0;
        step.trigger = 0.0f;
    }

    // Sample i's output went to position i % kScopeLength; of a block longer than the scope, the
    // last kScopeLength samples stay.
    static void copyAudio(Synth303& s, const float* out, int numSamples)
    {
        const int first = std::max(0, numSamples - kScopeLength);
        for (int i = first; i < numSamples;)
        {
            const int at = i % kScopeLength;
            const int n = std::min(numSamples - i, kScopeLength - at);
            std::copy(out + i, out + i + n, s.scopeBuffers[0] + at);
            i += n;
        }
    }

    bool recording;
    int stop;
    int position = 0;
    StepChannels step;
};

template <bool kPerSampleReference>
using ScopeRecorder = std::conditional_t<kPerSampleReference, ScopeBySample, ScopeByBlock>;
} // namespace oxn3
