#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/AAWaveShaper.h"
#include "engine/StaticTables.h"
#include "engine/Synth303.h"

namespace
{
std::unique_ptr<Synth303> makeEngine()
{
    return std::make_unique<Synth303>();
}
} // namespace

TEST(Synth303Lifecycle, BankAfterConstruction)
{
    auto synth = makeEngine();
    for (int p = 0; p < oxn3::kUserPatterns; ++p)
    {
        const Vst303Pattern& pattern = synth->patterns[p];
        ASSERT_EQ(pattern.getLength(), 16);
        ASSERT_EQ(pattern.getTriplet(), 0);
        for (int s = 0; s < 16; ++s)
        {
            ASSERT_EQ(pattern.steps[s].pitch, 0);
            ASSERT_EQ(pattern.steps[s].flags, 0x01) << "pattern " << p << " step " << s;
        }
    }
    // The hidden slots keep their constructed state: no gate anywhere.
    for (int p = oxn3::kUserPatterns; p < oxn3::kNumPatterns; ++p)
    {
        EXPECT_EQ(synth->patterns[p].getLength(), 16);
        for (const step_t& step : synth->patterns[p].steps)
            EXPECT_EQ(step.flags, 0);
    }
}

TEST(Synth303Lifecycle, DefaultsAfterInitialize)
{
    auto synth = makeEngine();
    EXPECT_EQ(synth->currentPattern, 0);
    EXPECT_DOUBLE_EQ(synth->bpm, 120.0);
    EXPECT_DOUBLE_EQ(synth->samplesPerStep, 44100.0 / 8.0);
    EXPECT_EQ(synth->sleepLimit, 88200);
    EXPECT_EQ(synth->accentVelocityThreshold, 100);
    EXPECT_EQ(synth->stepSampleCounter, 100000000);
    EXPECT_EQ(synth->pitchBend, 8192);
    EXPECT_EQ(synth->VCOMode, 2);
    EXPECT_EQ(synth->ImprovedEmulation, 1);
    EXPECT_FLOAT_EQ(synth->cutoff, 0.5f);
    EXPECT_FLOAT_EQ(synth->volume, 0.75f);
    EXPECT_FLOAT_EQ(synth->smoothedResonance, 0.05f);
    EXPECT_DOUBLE_EQ(synth->cycleRatio[0], 1.0015);
    EXPECT_EQ(synth->onOffSound.armed, 1);
    EXPECT_FLOAT_EQ(synth->onOffSound.gain, 0.0f);
    EXPECT_EQ(synth->getEndPosition(), 3);
    for (int n : synth->midiOutNotes)
        EXPECT_EQ(n, 0);
}

TEST(Synth303Lifecycle, InitializeTwiceKeepsOneWaveTableSet)
{
    auto synth = makeEngine();
    WaveTable* saw = synth->wtSaw;
    WaveTable* xsquare = synth->wtXSquare;
    synth->patterns[3].steps[0].pitch = 7;
    synth->initialize();
    EXPECT_EQ(synth->wtSaw, saw);
    EXPECT_EQ(synth->wtXSquare, xsquare);
    EXPECT_EQ(synth->wtSaw->refCount, 1u);
    EXPECT_EQ(synth->patterns[3].steps[0].pitch, 0) << "initialize clears the user bank";
    EXPECT_EQ(synth->wtXSaw->mapSize, 22050u);
}

TEST(Synth303Lifecycle, FrequencyAndPitchBendTables)
{
    auto synth = makeEngine();
    EXPECT_DOUBLE_EQ(synth->noteFrequencyTable[0], 8.175798915636872);
    EXPECT_NEAR(synth->noteFrequencyTable[69], 440.0, 0.001);
    EXPECT_DOUBLE_EQ(synth->customTuningTable[0], 8.22218793583489);
    EXPECT_NEAR(synth->customTuningTable[1], 8.22218793583489 * 1.061463094359, 1e-12);

    EXPECT_DOUBLE_EQ(synth->pitchBendTable[8192], 1.0);
    EXPECT_DOUBLE_EQ(synth->pitchBendTable[0], 0.25);
    EXPECT_LT(synth->pitchBendTable[16383], 4.0);
    EXPECT_GT(synth->pitchBendTable[16383], 3.99);
}

TEST(Synth303Lifecycle, TuningTableReplacesOnlyCustomTable)
{
    auto synth = makeEngine();
    double table[128];
    for (int n = 0; n < 128; ++n)
        table[n] = 100.0 + n;
    const double equalBefore = synth->noteFrequencyTable[60];
    synth->setTuningTable(table);
    EXPECT_DOUBLE_EQ(synth->customTuningTable[0], 100.0);
    EXPECT_DOUBLE_EQ(synth->customTuningTable[127], 227.0);
    EXPECT_DOUBLE_EQ(synth->noteFrequencyTable[60], equalBefore);
    synth->setTuningTable(nullptr); // ignored, not a crash
    EXPECT_DOUBLE_EQ(synth->customTuningTable[5], 105.0);
}

TEST(Synth303Lifecycle, AntiClickFadeInRestartsVolumeAndBass)
{
    auto synth = makeEngine();
    synth->smoothedVolume = 0.9f;
    synth->smoothedBass = 0.4f;
    synth->bassBoostLP.value = 0.3;
    synth->setAntiClickFadeIn();
    EXPECT_EQ(synth->smoothedVolume, 0.0f);
    EXPECT_EQ(synth->smoothedBass, 0.0f);
    EXPECT_EQ(synth->bassBoostLP.value, 0.0);
}

TEST(Synth303Lifecycle, ActivePatternNeverLeavesTheBank)
{
    auto synth = makeEngine();
    synth->currentPattern = 5;
    EXPECT_EQ(&synth->activePattern(), &synth->patterns[5]);
    synth->currentPattern = 200;
    EXPECT_EQ(&synth->activePattern(), &synth->patterns[0]);
    synth->currentPattern = -5;
    EXPECT_EQ(&synth->activePattern(), &synth->patterns[0]);
}

TEST(WaveTableLookup, PeriodBoundsPickShortestAndLongestTables)
{
    auto synth = makeEngine();
    const WaveTable& saw = *synth->wtSaw;
    const int shortest = saw.map[0];
    const int longest = saw.map[saw.mapSize - 1];
    EXPECT_EQ(longest, 0);

    // At phase 0 the lookup returns the first sample of the chosen table.
    EXPECT_FLOAT_EQ(saw.lookup(0.0f, -10.0f), saw.data[saw.starts[shortest]]);
    EXPECT_FLOAT_EQ(saw.lookup(0.0f, 0.5f), saw.data[saw.starts[shortest]]);
    EXPECT_FLOAT_EQ(saw.lookup(0.0f, 22050.0f), saw.data[saw.starts[longest]]);
    EXPECT_FLOAT_EQ(saw.lookup(0.0f, 1e9f), saw.data[saw.starts[longest]]);
    EXPECT_TRUE(std::isfinite(saw.lookup(0.3f, NAN)));
    EXPECT_TRUE(std::isfinite(saw.lookup(1.0f, 100.0f))) << "phase 1.0 wraps to the first sample";
}

TEST(WaveTableLookup, InterpolatesBetweenNeighbours)
{
    auto synth = makeEngine();
    const WaveTable& square = *synth->wtSquare;
    const int t = square.map[500];
    const int n = square.lengths[t];
    const float* table = square.data + square.starts[t];
    const float phase = 2.5f / static_cast<float>(n);
    EXPECT_NEAR(square.lookup(phase, 500.0f), 0.5f * (table[2] + table[3]), 1e-5f);
    // The last sample interpolates toward the first: one cycle, no seam.
    const float lastPhase = (static_cast<float>(n) - 0.5f) / static_cast<float>(n);
    EXPECT_NEAR(square.lookup(lastPhase, 500.0f), 0.5f * (table[n - 1] + table[0]), 1e-4f);
}

TEST(AAWaveShaperObject, ConstructionMarksClassInitialised)
{
    AAWaveShaper shaper;
    EXPECT_EQ(AAWaveShaper::s_initialized, 1);
    EXPECT_FLOAT_EQ(shaper.values[1], 1.0f);
}

TEST(COnOffSoundClick, PulseRisesThenDecaysAndStaysFinite)
{
    COnOffSound click;
    click.trigger(500.0, 0.5f);
    float peak = 0.0f;
    for (int i = 0; i < 44100; ++i)
    {
        const float v = click.process();
        ASSERT_TRUE(std::isfinite(v));
        peak = std::max(peak, std::fabs(v));
    }
    EXPECT_GT(peak, 0.0f);
    EXPECT_EQ(click.counter, 44100.0);
}
