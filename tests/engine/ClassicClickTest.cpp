#include <cmath>

#include <gtest/gtest.h>

#include "engine/ClassicTestHelpers.h"
#include "engine/Synth303Classic.h"

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
// the click state just before that sample and stores the sample in `sample`.
COnOffSound renderUntilArmed(Synth303& s, int armed, float& sample)
{
    COnOffSound before = s.onOffSound;
    for (int i = 0; i < 4 * 44100 && s.onOffSound.armed != armed; ++i)
    {
        before = s.onOffSound;
        s.blockProcess311(&sample, 1, false);
    }
    return before;
}

// Sample-to-sample steps of x in [from, to).
double steepestStep(const std::vector<float>& x, size_t from, size_t to)
{
    double step = 0.0;
    for (size_t i = from + 1; i < to; ++i)
        step = std::max(step, static_cast<double>(std::fabs(x[i] - x[i - 1])));
    return step;
}
} // namespace

TEST(ClassicClick, VolumeRisingFromSilenceMutesThenFadesInBehindTheOnClick)
{
    // Two identical voices; the twin's click generator is moved past its mute, so it shows the
    // voice that the first one fades in.
    auto synth = noisyNote(0.0f);
    auto twin = noisyNote(0.0f);
    float sample = 0.0f;
    float twinSample = 0.0f;
    for (Synth303* s : {synth.get(), twin.get()})
    {
        render311(*s, 2 * 44100); // the start-up off-click rings out
        ASSERT_EQ(s->onOffSound.armed, 0);
        s->volume = 0.8f;
        s->trigger = 1; // a fresh note behind the click
    }
    COnOffSound expected = renderUntilArmed(*synth, 1, sample);
    renderUntilArmed(*twin, 1, twinSample);
    EXPECT_EQ(synth->onOffSound.length, 500.0);
    EXPECT_EQ(synth->onOffSound.gain, 0.5f);
    expected.armed = 1;
    expected.trigger(500.0, 0.5f);
    ASSERT_EQ(sample, clickOnly(expected));

    twin->onOffSound.counter = 1e9;
    COnOffSound twinClick = twin->onOffSound;
    const std::vector<float> out = render311(*synth, 22050);
    const std::vector<float> unmuted = render311(*twin, 22050);

    // For a quarter second the output is the click and nothing else...
    for (int i = 0; i < kQuarterSecond; ++i)
    {
        ASSERT_EQ(out[i], clickOnly(expected)) << "sample " << i;
        twinClick.process();
    }
    EXPECT_GT(peakOf(out, 0, kQuarterSecond), 1e-3);

    // ...then the voice comes in as the square of a ramp over 1/18 s.
    for (int i = kQuarterSecond; i < 22050; ++i)
    {
        const double voice = out[i] - oxn3::kClickLevel * expected.process();
        const double fullVoice = unmuted[i] - oxn3::kClickLevel * twinClick.process();
        const double g = std::min(1.0, (i + 1 - kQuarterSecond) / static_cast<double>(kFadeIn));
        ASSERT_NEAR(voice, g * g * fullVoice, 1e-6) << "sample " << i;
    }
    EXPECT_GT(rmsOf(unmuted, kQuarterSecond, kQuarterSecond + kFadeIn), 0.05);
}

TEST(ClassicClick, VolumeToZeroGivesTheOffClick)
{
    auto synth = noisyNote(0.8f);
    render311(*synth, 44100); // past the start-up mute
    ASSERT_EQ(synth->onOffSound.armed, 1);

    synth->volume = 0.0f;
    float sample = 0.0f;
    COnOffSound expected = renderUntilArmed(*synth, 0, sample);
    ASSERT_EQ(synth->onOffSound.armed, 0);
    EXPECT_LT(synth->smoothedVolume, 1e-8f);
    EXPECT_EQ(synth->onOffSound.length, 50.0);
    EXPECT_EQ(synth->onOffSound.gain, 1.0f);
    expected.armed = 0;
    expected.trigger(50.0, 1.0f);
    ASSERT_EQ(sample, clickOnly(expected));

    const std::vector<float> out = render311(*synth, kQuarterSecond);
    for (int i = 0; i < kQuarterSecond; ++i)
        ASSERT_EQ(out[i], clickOnly(expected)) << "sample " << i;
    EXPECT_GT(peakOf(out), 1e-4);
}

TEST(ClassicClick, WithoutVcaNoiseThereIsNoClickAndNoMute)
{
    auto quiet = makeVoice();
    quiet->volume = 0.8f;
    quiet->smoothedVolume = 0.0f;
    holdNote(*quiet, 110.0f);
    const std::vector<float> out = render311(*quiet, kQuarterSecond);
    EXPECT_GT(rmsOf(out, kQuarterSecond / 2, kQuarterSecond), 0.02);
    EXPECT_EQ(quiet->onOffSound.counter, 0.0); // never ran
}

// The processor calls setAntiClickFadeIn when the engine changes at a block boundary.
TEST(ClassicSwitch, ChangingEnginesFadesInWithoutAClick)
{
    struct Case
    {
        double rate;
        bool toClassic;
    };
    // At 22.05 kHz the classic voice is unfiltered and far louder than the improved one.
    for (const Case& c : {Case{22050.0, true}, Case{44100.0, true}, Case{44100.0, false}})
        for (bool fade : {true, false})
        {
            SCOPED_TRACE(testing::Message() << c.rate << " Hz, to classic " << c.toClassic << ", fade " << fade);
            auto synth = busyClassicVoice(c.rate, 2);
            settleKnobs(*synth);
            const int switchAt = static_cast<int>(c.rate * 1.3) / 256 * 256;
            const int total = switchAt + static_cast<int>(c.rate * 2.0);
            std::vector<float> out(static_cast<size_t>(total));
            for (int done = 0; done < total; done += 256)
            {
                const int n = std::min(256, total - done);
                const bool classic = (done >= switchAt) == c.toClassic;
                if (done == switchAt && fade)
                    synth->setAntiClickFadeIn();
                if (classic)
                    synth->blockProcess311(out.data() + done, n, false);
                else
                    synth->blockProcessRE(out.data() + done, n, false);
            }
            const size_t at = static_cast<size_t>(switchAt);
            const size_t window = static_cast<size_t>(c.rate * 0.005);
            // Steady levels: a second before the switch and the last second.
            const double steadyPeak = std::max(peakOf(out, at - static_cast<size_t>(c.rate), at),
                                               peakOf(out, out.size() - static_cast<size_t>(c.rate), out.size()));
            const double step = std::fabs(out[at] - out[at - 1]);
            if (fade)
            {
                // The old voice's last sample drops to silence, no further; the new one rises from it.
                EXPECT_LE(step, std::fabs(out[at - 1]) + 0.01 * steadyPeak);
                EXPECT_LT(steepestStep(out, at - 1, at + window), 0.05 * steadyPeak);
                EXPECT_LT(peakOf(out, at, at + window), 0.02 * steadyPeak);
                // and is back to full level within a second
                EXPECT_GT(peakOf(out, at + static_cast<size_t>(c.rate / 2), at + static_cast<size_t>(c.rate)),
                          0.5 * steadyPeak);
            }
            else if (c.rate == 22050.0)
            {
                EXPECT_GT(step, 0.05 * steadyPeak); // the click the fade-in exists for
            }
        }
}
