#pragma once

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/VoiceTestHelpers.h"

// Renders `samples` samples through the classic engine in blocks of `blockSize`.
inline std::vector<float> render311(Synth303& s, int samples, int blockSize = 256)
{
    std::vector<float> out(static_cast<size_t>(samples), 0.0f);
    for (int done = 0; done < samples; done += blockSize)
        s.blockProcess311(out.data() + done, std::min(blockSize, samples - done), false);
    return out;
}

// A classic voice playing the busy line with resonant, accented settings.
inline std::unique_ptr<Synth303> busyClassicVoice(double sampleRate, int mode)
{
    auto synth = makeVoice(sampleRate);
    synth->ImprovedEmulation = 0;
    synth->VCOMode = mode;
    synth->cutoff = 0.35f;
    synth->resonance = 0.75f;
    synth->envmod = 0.6f;
    synth->decay = 0.4f;
    synth->accent = 0.8f;
    setPatternSteps(*synth, busyPattern());
    synth->setTempo(133.0);
    synth->setRunStop(1);
    return synth;
}

inline bool usableValue(double x)
{
    return std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL;
}

inline bool usableValue(float x)
{
    return std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL;
}

// The first recursive state of the classic road that is NaN, infinite or denormal; "" if none.
inline const char* firstUnusableClassicState(const Synth303& s)
{
    const std::pair<const char*, double> states[] = {
        {"glide", s.glide.value},
        {"bassBoostLP", s.bassBoostLP.value},
        {"emphasisLP", s.emphasisLP.value},
        {"mainEnvelope", s.mainEnvelope.value},
        {"volumeEnvelope", s.volumeEnvelope.value},
        {"gateEnvelope", s.gateEnvelope},
        {"gateFollower", s.gateFollower.value},
        {"accentCap", s.accentCap.value},
        {"accentSnapshot", s.accentSnapshot},
        {"d24", s.d24.value},
        {"vcaAccentLevel", s.vcaAccentLevel.value},
        {"vcaAccentLevel2", s.vcaAccentLevel2.value},
        {"vcaGain", s.vcaGain.value},
        {"outLP1", s.outLP1.value},
        {"highpassLP", s.highpassLP.value},
        {"svfLow", s.svfLow},
        {"svfBand", s.svfBand},
        {"svfHigh", s.svfHigh},
        {"filterGain", s.filterGainSmoother.value},
        {"ladderAFeedback", s.ladderAFeedback},
        {"ladderBFeedback", s.ladderBFeedback},
        {"naiveSquareLP", s.naiveSquareLP.value},
        {"analogSaw", s.analogSawDcBlocker.value},
        {"analogL1", s.analogSquareL1.value},
        {"analogL2", s.analogSquareL2.value},
        {"analogL3", s.analogSquareL3.value},
        {"vcoPhase", s.vcoPhase},
        {"smoothedVolume", s.smoothedVolume},
        {"smoothedCutoff", s.smoothedCutoff}};
    for (const auto& st : states)
        if (!usableValue(st.second))
            return st.first;
    for (int i = 0; i < 4; ++i)
        if (!usableValue(s.ladderA[i].value) || !usableValue(s.ladderB[i].value))
            return "ladder pole";
    for (double v : s.decimator.secondResults)
        if (!usableValue(v))
            return "decimator";
    for (double v : s.onOffSound.stage)
        if (!usableValue(v))
            return "click stage";
    return "";
}
