#pragma once

#include <memory>

#include "engine/Synth303.h"
#include "fuzz/FuzzInput.h"

// One engine for the whole run (it is about 6 MB); its bank is reset before every input.
inline Synth303& freshEngine()
{
    static const std::unique_ptr<Synth303> synth = std::make_unique<Synth303>();
    for (Vst303Pattern& p : synth->patterns)
        p = Vst303Pattern();
    synth->currentPattern = 0;
    return *synth;
}

// Every pattern a reader leaves behind must hold a length the sequencer can play.
inline void requirePlayableBank(const Synth303& synth)
{
    for (const Vst303Pattern& p : synth.patterns)
        require(p.getLength() >= 1 && p.getLength() <= Vst303Pattern::kMaxSteps);
}
