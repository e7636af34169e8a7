#include <cmath>

#include <gtest/gtest.h>

#include "engine/Synth303Classic.h"
#include "engine/VoiceTestHelpers.h"

namespace
{
constexpr int kQuarterSecond = 11025; // at 44.1 kHz
constexpr int kFadeIn = 2450;         // 1/18 s

// A held note with the VCA noise on, as the click needs.
std::unique_ptr<Synth303> noisyNote(float volume)
{
    auto synth = makeVoice();
    synth->VCANoise = 1;
    synth->volume = volume;
    settleKnobs(*synth);
    holdNote(*synth, 110.0f);
    return synth;
}

// What the output must be while the voice is muted: the click alone.
float clickOnly(COnOffSound& click)
{
    return oxn3::toOutputSample(oxn3::kClickLevel * click.process());
}

// Renders one sample at a time until the click generator's armed flag becomes `armed`; returns
// the click state before that sample, triggered as the render must have triggered it, and checks
// that sample was the click alone.
COnOffSound renderUntilArmed(Synth303& s, int armed, double length, float gain)
{
    COnOffSound before = s.onOffSound;
    float sample = 0.0f;
    for (int i = 0; i < 4 * 44100 && s.onOffSound.armed != armed; ++i)
    {
        before = s.onOffSound;
        s.blockProcess311(&sample, 1, false);
    }
    EXPECT_EQ(s.onOffSound.armed, armed);
    EXPECT_EQ(s.onOffSound.length, length);
    EXPECT_EQ(s.onOffSound.gain, gain);
    before.armed = armed;
    before.trigger(length, gain);
    EXPECT_EQ(sample, clickOnly(before));
    return before;
}
} // namespace

TEST(ClassicClick, VolumeRisingFromSilenceMutesThenFadesInBehindTheOnClick)
{
    // Two identical voices; the twin's click generator is moved past its mute, so it shows the
    // voice that the first one fades in.
    auto synth = noisyNote(0.0f);
    auto twin = noisyNote(0.0f);
    COnOffSound expected, twinClick;
    for (Synth303* s : {synth.get(), twin.get()})
    {
        render311(*s, 2 * 44100); // the start-up off-click rings out
        ASSERT_EQ(s->onOffSound.armed, 0);
        s->volume = 0.8f;
        s->trigger = 1; // a fresh note behind the click
        expected = renderUntilArmed(*s, 1, 500.0, 0.5f);
    }
    twin->onOffSound.counter = 1e9;
    twinClick = twin->onOffSound;
    const std::vector<float> out = render311(*synth, 22050);
    const std::vector<float> unmuted = render311(*twin, 22050);

    // For a quarter second the output is the click and nothing else...
    for (int i = 0; i < kQuarterSecond; ++i, twinClick.process())
        ASSERT_EQ(out[i], clickOnly(expected)) << "sample " << i;
    EXPECT_GT(peakOf(out, 0, kQuarterSecond), 1e-3);

    // ...then the voice comes in as the square of a ramp over 1/18 s.
    for (int i = kQuarterSecond; i < 22050; ++i)
    {
        const double voice = out[i] - oxn3::kClickLevel * expected.process();
        const double fullVoice = unmuted[i] - oxn3::kClickLevel * twinClick.process();
        const double g = std::min(1.0, (i + 1 - kQuarterSecond) / static_cast<double>(kFadeIn));
        ASSERT_NEAR(voice, g * g * fullVoice, 1e-6) << "sample " << i;
    }
    EXPECT_GT(peakOf(unmuted, kQuarterSecond, kQuarterSecond + kFadeIn), 0.05);
}

TEST(ClassicClick, VolumeToZeroGivesTheOffClick)
{
    auto synth = noisyNote(0.8f);
    render311(*synth, 44100); // past the start-up mute
    ASSERT_EQ(synth->onOffSound.armed, 1);
    synth->volume = 0.0f;
    COnOffSound expected = renderUntilArmed(*synth, 0, 50.0, 1.0f);
    EXPECT_LT(synth->smoothedVolume, 1e-8f);
    const std::vector<float> out = render311(*synth, kQuarterSecond);
    for (int i = 0; i < kQuarterSecond; ++i)
        ASSERT_EQ(out[i], clickOnly(expected)) << "sample " << i;
    EXPECT_GT(peakOf(out), 1e-4);
}

// The processor calls setAntiClickFadeIn when the engine changes at a block boundary.
TEST(ClassicSwitch, ChangingEnginesFadesInWithoutAClick)
{
    // At 22.05 kHz the classic voice is unfiltered and far louder than the improved one.
    for (const auto& [rate, toClassic] : {std::pair<double, bool>{22050.0, true}, {44100.0, false}})
        for (bool fade : {true, false})
        {
            SCOPED_TRACE(testing::Message() << rate << " Hz, to classic " << toClassic << ", fade " << fade);
            auto synth = busyVoice(rate, 2, true);
            settleKnobs(*synth);
            const int switchAt = static_cast<int>(rate * 1.3) / 256 * 256;
            const int total = switchAt + static_cast<int>(rate * 2.0);
            std::vector<float> out(static_cast<size_t>(total));
            for (int done = 0; done < total; done += 256)
            {
                if (done == switchAt && fade)
                    synth->setAntiClickFadeIn();
                renderBlock(*synth, (done >= switchAt) == toClassic, out.data() + done, std::min(256, total - done));
            }
            const size_t at = static_cast<size_t>(switchAt);
            const size_t second = static_cast<size_t>(rate);
            const size_t window = static_cast<size_t>(rate * 0.005);
            // Steady levels: a second before the switch and the last second.
            const double steadyPeak = std::max(peakOf(out, at - second, at), peakOf(out, out.size() - second));
            const double step = std::fabs(out[at] - out[at - 1]);
            double steepest = 0.0;
            for (size_t i = at; i < at + window; ++i)
                steepest = std::max(steepest, static_cast<double>(std::fabs(out[i] - out[i - 1])));
            if (fade)
            {
                // The old voice's last sample drops to silence, no further; the new one rises from it,
                EXPECT_LE(step, std::fabs(out[at - 1]) + 0.01 * steadyPeak);
                EXPECT_LT(steepest, 0.05 * steadyPeak);
                EXPECT_LT(peakOf(out, at, at + window), 0.02 * steadyPeak);
                // and is back to full level within a second.
                EXPECT_GT(peakOf(out, at + second / 2, at + second), 0.5 * steadyPeak);
            }
            else if (rate == 22050.0)
            {
                EXPECT_GT(step, 0.05 * steadyPeak); // the click the fade-in exists for
            }
        }
}
