#pragma once
// One voice set up to play the busy pattern at 130 bpm, as the render benchmarks measure it.

#include <memory>

#include "BusyPattern.h"
#include "engine/Synth303.h"

namespace oxn3bench
{
inline std::unique_ptr<Synth303> makeBusyVoice(double sampleRate)
{
    auto synth = std::make_unique<Synth303>();
    synth->sampleRate = sampleRate;
    synth->fsRatio = static_cast<float>(44100.0 / sampleRate);
    synth->cutoff = 0.35f;
    synth->resonance = 0.75f;
    synth->envmod = 0.6f;
    synth->decay = 0.4f;
    synth->accent = 0.8f;
    synth->volume = 0.8f;
    writeBusyPattern(synth->patterns[0]);
    synth->setTempo(130.0);
    synth->setRunStop(1);
    return synth;
}
} // namespace oxn3bench
