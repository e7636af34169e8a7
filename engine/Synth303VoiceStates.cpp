// The voice's running states as a whole: back to rest for a host's prepareToPlay and reset, and
// the render's check after every block that none of them has left the range of numbers.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "engine/Synth303.h"
#include "engine/Synth303Smoothers.h"

namespace
{
// Beyond it a state no longer fits the float roundings the voice makes: as lost as infinity.
constexpr double kLargestUsable = std::numeric_limits<float>::max();

// Every recursive state on the voice's road from the oscillator to the output.
std::array<OnePoleState*, 33> voicePoles(Synth303& s)
{
    return {&s.glide,          &s.naiveSquareLP,  &s.analogSawDcBlocker, &s.analogSquareL1,  &s.analogSquareL2,
            &s.analogSquareL3, &s.ladderA[0],     &s.ladderA[1],         &s.ladderA[2],      &s.ladderA[3],
            &s.ladderB[0],     &s.ladderB[1],     &s.ladderB[2],         &s.ladderB[3],      &s.filterGainSmoother,
            &s.cutoffSmoother, &s.bassBoostLP,    &s.mainEnvelope,       &s.volumeEnvelope,  &s.gateFollower,
            &s.accentCap,      &s.d24,            &s.vcaAccentLevel,     &s.vcaAccentLevel2, &s.vcaLevel,
            &s.vcaGain,        &s.vcaGainSmoothed, &s.emphasisLP,        &s.outLP1,          &s.outLP2,
            &s.outLP3,         &s.outLP4,         &s.highpassLP};
}

// The same road's plain recursive values.
template <class Visit>
void forEachPlainState(Synth303& s, Visit visit)
{
    for (double* value : {&s.gateEnvelope, &s.triggerRamps[0], &s.triggerRamps[1], &s.vibrato.phase,
                          &s.vibrato.amplitude, &s.onOffSound.stage[0], &s.onOffSound.stage[1],
                          &s.onOffSound.stage[2], &s.onOffSound.stage[3]})
        visit(*value);
    for (float* value : {&s.vcoPhase, &s.accentSnapshot, &s.ladderAFeedback, &s.ladderBFeedback, &s.svfLow,
                         &s.svfBand, &s.svfHigh})
        visit(*value);
}

std::array<float*, 10> smoothedKnobs(Synth303& s)
{
    return {&s.smoothedTuning, &s.smoothedCutoff,   &s.smoothedResonance, &s.smoothedEnvmod,   &s.smoothedDecay,
            &s.smoothedAccent, &s.smoothedWaveform, &s.smoothedVolume,    &s.smoothedHighpass, &s.smoothedBass};
}

// One sum of magnitudes: NaN or too large when any state is. (The decimator's history holds no
// feedback: whatever it takes in leaves it within 16 samples.)
bool voiceStatesUsable(Synth303& s)
{
    double magnitude = 0.0;
    for (OnePoleState* pole : voicePoles(s))
        magnitude += std::fabs(pole->value);
    forEachPlainState(s, [&](auto value) { magnitude += std::fabs(static_cast<double>(value)); });
    for (float* knob : smoothedKnobs(s))
        magnitude += std::fabs(*knob);
    return magnitude < kLargestUsable;
}

// A smoothed knob that is no number any more starts again at its target.
void restoreSmoothedKnobs(Synth303& s)
{
    const oxn3::SmootherTargets t = oxn3::SmootherTargets::read(s);
    const double targets[] = {t.tuning, t.cutoff,   t.resonance, t.envmod,   t.decay,
                              t.accent, t.waveform, t.volume,    t.highpass, t.bass};
    const std::array<float*, 10> knobs = smoothedKnobs(s);
    for (size_t i = 0; i < knobs.size(); ++i)
        if (!std::isfinite(*knobs[i]))
            *knobs[i] = static_cast<float>(targets[i]);
}
} // namespace

void Synth303::clearVoiceStates()
{
    for (OnePoleState* pole : voicePoles(*this))
        pole->reset();
    forEachPlainState(*this, [](auto& value) { value = 0; });
    decimator.reset();
    firFilters[1].clear();
    setAntiClickFadeIn();
}

// Once per block: a voice whose state has become infinite or NaN (a value that slipped in, or a
// filter pushed past its range) would stay so for good. It starts again from rest and fades in,
// and the block it spoiled is silenced, scope and all.
void Synth303::recoverUnusableVoice(float* out, int numSamples)
{
    if (voiceStatesUsable(*this))
        return;
    restoreSmoothedKnobs(*this);
    clearVoiceStates();
    std::fill(out, out + numSamples, 0.0f);
    const int recorded = std::min(numSamples, oxn3::kScopeLength);
    for (float* channel : scopeBuffers)
        std::fill(channel, channel + recorded, 0.0f);
}
