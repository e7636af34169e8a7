#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

#include "engine/Synth303Pitch.h"
#include "engine/VoiceTestHelpers.h"

namespace
{
// Frequency of a held note after its glide and filter have settled.
double heldNoteFrequency(int mode, float waveform, float hz, int pitchBend = oxn3::kPitchBendCentre)
{
    auto synth = makeVoice();
    synth->VCOMode = mode;
    synth->waveform = waveform;
    synth->resonance = synth->envmod = 0.0f;
    synth->cutoff = 0.6f;
    synth->pitchBend = pitchBend;
    settleKnobs(*synth);
    holdNote(*synth, hz);
    return measureFrequency(render(*synth, 88200), 22050, 44100.0);
}

double heldNotePeak(int mode, bool classic)
{
    auto synth = makeVoice();
    synth->VCOMode = mode;
    settleKnobs(*synth);
    holdNote(*synth, 110.0f);
    return peakOf(render(*synth, 22050, 256, classic));
}
} // namespace

TEST(VoicePitch, SequencedPitch33IsConcertA)
{
    // Every step slides so the gate stays open.
    auto synth = makeVoice();
    synth->VCOMode = 1;
    synth->cutoff = 0.6f;
    settleKnobs(*synth);
    setPatternSteps(*synth, std::vector<step_t>(16, voiceStep(33, step_t::kGate | step_t::kSlide)));
    synth->setRunStop(1);
    EXPECT_NEAR(measureFrequency(render(*synth, 88200), 22050, 44100.0), 440.0, 440.0 * 0.005);
}

TEST(VoicePitch, ModelsWaveformsTableModesAndThePitchWheel)
{
    // {mode, waveform, note, wheel, frequency}: every model plays in tune with saw and square; the
    // outer table modes are sharp of the middle one; the wheel spans two octaves either way.
    const std::tuple<int, float, float, int, double> cases[] = {
        {1, 0.0f, 220.0f, oxn3::kPitchBendCentre, 220.0}, {0, 0.0f, 220.0f, oxn3::kPitchBendCentre, 220.0 * 1.0015},
        {2, 0.0f, 220.0f, oxn3::kPitchBendCentre, 220.0 * 1.0015}, {1, 0.0f, 440.0f, 0, 110.0},
        {1, 0.0f, 440.0f, oxn3::kPitchBendSize - 1, 440.0 * std::pow(2.0, 8191.0 / 4096.0)}};
    for (const auto& [mode, waveform, hz, wheel, expected] : cases)
        EXPECT_NEAR(heldNoteFrequency(mode, waveform, hz, wheel), expected, expected * 0.0002) << mode << " " << wheel;
    for (int mode : {0, 1, 2, 3, 4, 1000})
        for (float waveform : {0.0f, 1.0f})
            EXPECT_NEAR(heldNoteFrequency(mode, waveform, 440.0f), 440.0, 440.0 * 0.005) << mode << " " << waveform;
}

// Improved engine: 5 and unknown numbers are silent. Classic: 3, 4 and unknown numbers are.
TEST(VoicePitch, ModesWithoutAModelAreSilent)
{
    for (bool classic : {false, true})
    {
        for (int mode : {5, -1})
            EXPECT_LT(heldNotePeak(mode, classic), 1e-4) << "mode " << mode << " classic " << classic;
        for (int mode : {3, 4})
            EXPECT_EQ(heldNotePeak(mode, classic) < 1e-4, classic) << "mode " << mode;
    }
}

TEST(VoicePitch, SlideFallsToATenthIn55Milliseconds)
{
    for (double rate : {44100.0, 96000.0})
    {
        auto synth = makeVoice(rate);
        settleKnobs(*synth);
        holdNote(*synth, 100.0f);
        render(*synth, 2000); // plain glide: 0.1 per sample, long settled
        ASSERT_NEAR(synth->glide.value, 100.0, 0.01);
        synth->slideActive = 1;
        synth->vcoFrequency = 200.0f;
        render(*synth, static_cast<int>(std::lround(rate * oxn3::kSlideTime)), 1);
        EXPECT_NEAR((200.0 - synth->glide.value) / 100.0, 0.1, 0.002) << rate;
    }
}

TEST(VoicePitch, VibratoFadesInAfterATrigger)
{
    for (double rate : {44100.0, 96000.0})
    {
        auto synth = makeVoice(rate);
        synth->VCOVibrato = 1;
        constexpr int flags = step_t::kGate | step_t::kSlide | step_t::kUp | step_t::kDown;
        setPatternSteps(*synth, std::vector<step_t>(16, voiceStep(12, flags)));
        synth->setRunStop(1);
        render(*synth, static_cast<int>(rate * 0.45));
        EXPECT_NEAR(synth->vibrato.amplitude, 1.0 - std::exp(-1.0), 0.02) << rate;
    }
}
