#pragma once
// The scope recorder: while the sequencer runs, sample i of a block goes to position i (wrapping
// at kScopeLength) of 16 channels. Channels 12 to 15 are always 0, and the names and the write
// index are the same for every sample of a block, so those are written once per block.

#include <algorithm>

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

// Where the block's samples go: position of the current sample, and whether any (and the last)
// sample was recorded.
struct ScopeCursor
{
    int position = 0;
    bool recordedAny = false;
    bool recordedLast = false;

    void next()
    {
        if (++position == kScopeLength)
            position = 0;
    }
};

// Where a sample's output goes in the scope (channel 0), if it is recorded.
struct ScopeSlot
{
    bool recorded = false;
    int position = 0;
};

// Channels 1 to 11 of one sample, as its control part leaves them; recorded only while the
// sequencer runs. Channel 0 follows with the sample's output (recordScopeAudio).
inline ScopeSlot recordScope(Synth303& s, ScopeCursor& cursor, const ScopeSignals& sig)
{
    const ScopeSlot slot{s.running != 0, cursor.position};
    cursor.recordedLast = slot.recorded;
    cursor.next();
    if (!slot.recorded)
        return slot;
    const int i = slot.position;
    s.scopeBuffers[1][i] = sig.vca;
    s.scopeBuffers[2][i] = static_cast<float>(s.stepSlide);
    s.scopeBuffers[3][i] = static_cast<float>(s.latchedAccent);
    s.scopeBuffers[4][i] = static_cast<float>(s.trigger);
    s.scopeBuffers[5][i] = static_cast<float>(s.mainEnvelope.value);
    s.scopeBuffers[6][i] = sig.accent;
    s.scopeBuffers[7][i] = static_cast<float>(s.accentCap.value);
    s.scopeBuffers[8][i] = static_cast<float>(sig.envAccent);
    s.scopeBuffers[9][i] = static_cast<float>(sig.vcaAccent);
    s.scopeBuffers[10][i] = static_cast<float>(s.vcaAccentLevel2.value);
    s.scopeBuffers[11][i] = static_cast<float>(s.d24.value);
    cursor.recordedAny = true;
    return slot;
}

inline void recordScopeAudio(Synth303& s, const ScopeSlot& slot, float audio)
{
    if (slot.recorded)
        s.scopeBuffers[0][slot.position] = audio;
}

// After the block's `numSamples` (at least 1) samples: the zero channels, the names, and the
// write index, which each sample sets to its own index and a recorded sample advances by one.
inline void finishScopeBlock(Synth303& s, const ScopeCursor& cursor, int numSamples)
{
    if (cursor.recordedAny)
    {
        const int positions = std::min(numSamples, kScopeLength);
        for (int ch = kFirstZeroScopeChannel; ch < kScopeChannels; ++ch)
            std::fill(s.scopeBuffers[ch], s.scopeBuffers[ch] + positions, 0.0f);
        std::copy(kScopeNames, kScopeNames + kScopeChannels, s.scopeNames);
    }
    s.scopeWriteIndex = numSamples - 1 + (cursor.recordedLast ? 1 : 0);
}
} // namespace oxn3
