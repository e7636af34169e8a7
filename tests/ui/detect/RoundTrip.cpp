#include "RoundTrip.h"

#include <memory>
#include <random>
#include <vector>

#include "engine/VoiceTestHelpers.h"
#include "ui/detect/WaveBuffer.h"

namespace
{
constexpr int kSteps = 16;

Vst303Pattern randomPattern(std::mt19937& rng, bool withSlides)
{
    std::uniform_real_distribution<float> chance(0.0f, 1.0f);
    std::uniform_int_distribution<int> pitch(0, 12);
    Vst303Pattern p;
    p.setLength(kSteps);
    for (int i = 0; i < kSteps; ++i)
    {
        step_t& s = p.steps[i];
        s = step_t();
        s.pitch = static_cast<int8_t>(pitch(rng));
        s.set(step_t::kGate, chance(rng) < 0.75f);
        s.set(step_t::kAccent, chance(rng) < 0.3f);
        s.set(step_t::kSlide, withSlides && chance(rng) < 0.25f);
        const float octave = chance(rng);
        s.set(octave < 0.15f ? step_t::kDown : step_t::kUp, octave < 0.3f);
    }
    p.tidy303Pattern();
    return p;
}

int midiNote(const step_t& s)
{
    return 36 + s.pitch + (s.has(step_t::kUp) ? 12 : 0) - (s.has(step_t::kDown) ? 12 : 0);
}

// One bar of the pattern from a settled voice at the help text's settings.
std::vector<float> renderBar(const Vst303Pattern& pattern, const RoundTripSettings& settings)
{
    auto synth = makeVoice(settings.sampleRate);
    synth->patterns[0] = pattern;
    synth->cutoff = 1.0f;
    synth->resonance = 0.0f;
    synth->envmod = 1.0f;
    synth->decay = 1.0f;
    synth->accent = 1.0f;
    synth->waveform = 0.0f;
    synth->tuning = 0.5f;
    synth->volume = 0.5f;
    synth->VCOMode = 1;
    settleKnobs(*synth);
    synth->setTempo(settings.bpm);
    synth->setRunStop(1);
    const double bar = synth->samplesPerStep * kSteps;
    return render(*synth, static_cast<int>(bar + 0.5));
}

void compare(const Vst303Pattern& sent, std::vector<float>& audio, RoundTripCounts& counts, int sampleRate)
{
    WaveBuffer wave;
    wave.data = audio.data();
    wave.size = static_cast<int32_t>(audio.size());
    wave.sampleRate = sampleRate;
    wave.normalize();
    int notes[kSteps], gates[kSteps], accents[kSteps], slides[kSteps];
    wave.audioAnalyze(notes, gates, accents, slides, kSteps);

    Vst303Pattern heard;
    heard.setFrom(kSteps, notes, gates, accents, slides, 1, 1, 1, 1);
    heard.tidy303Pattern();
    for (int i = 0; i < kSteps; ++i)
    {
        const step_t& a = sent.steps[i];
        const step_t& b = heard.steps[i];
        ++counts.steps;
        counts.gateRight += a.has(step_t::kGate) == b.has(step_t::kGate);
        if (!a.has(step_t::kGate) || !b.has(step_t::kGate))
            continue;
        ++counts.bothGated;
        counts.pitchRight += midiNote(a) == notes[i];
        if (!a.has(step_t::kAccent))
        {
            ++counts.plainGated;
            counts.plainPitchRight += midiNote(a) == notes[i];
        }
        counts.accentRight += a.has(step_t::kAccent) == b.has(step_t::kAccent);
        counts.slideRight += a.has(step_t::kSlide) == b.has(step_t::kSlide);
    }
}
} // namespace

RoundTripCounts measureRoundTrip(const RoundTripSettings& settings)
{
    std::mt19937 rng(settings.seed);
    RoundTripCounts counts;
    for (int n = 0; n < settings.patterns; ++n)
    {
        const Vst303Pattern pattern = randomPattern(rng, settings.withSlides);
        std::vector<float> audio = renderBar(pattern, settings);
        compare(pattern, audio, counts, settings.sampleRate);
    }
    return counts;
}
