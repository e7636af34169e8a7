#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "engine/AAWaveShaper.h"
#include "engine/Synth303.h"

TEST(Synth303Lifecycle, ConstructedAndInitializedAgain)
{
    // The processor initializes once more after construction: defaults come back, the user's
    // patterns are cleared again with gate value 1, the hidden slots keep their constructed state
    // (no gate) and the engine keeps exactly one set of wavetables.
    auto synth = std::make_unique<Synth303>();
    WaveTable* const before[] = {synth->wtSaw, synth->wtSquare, synth->wtXSaw, synth->wtXSquare};
    synth->patterns[3].steps[0].pitch = 7;
    synth->bpm = 90.0;
    synth->midiOutNotes[40] = 99;
    synth->onOffSound.armed = 0;
    synth->initialize();
    WaveTable* const after[] = {synth->wtSaw, synth->wtSquare, synth->wtXSaw, synth->wtXSquare};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(after[i] == before[i] && after[i]->refCount == 1 && after[i]->mapSize == 22050u) << i;
    for (int p = 0; p < oxn3::kNumPatterns; ++p)
    {
        ASSERT_EQ(synth->patterns[p].header, 16u) << p;
        for (int s = 0; s < 16; ++s)
        {
            const step_t step = synth->patterns[p].steps[s];
            ASSERT_TRUE(step.pitch == 0 && step.flags == (p < oxn3::kUserPatterns ? 1 : 0)) << p << " " << s;
        }
    }
    // The click generator's initialize values differ from its constructor's.
    EXPECT_EQ(
        (std::vector<double>{double(synth->midiOutNotes[40]), synth->bpm, synth->samplesPerStep,
                             double(synth->onOffSound.armed), synth->onOffSound.gain,
                             double(synth->stepSampleCounter), double(synth->pitchBend),
                             double(synth->VCOMode), synth->cycleRatio[0], double(synth->getEndPosition())}),
        (std::vector<double>{0, 120.0, 5512.5, 1, 0.0, 100000000, 8192, 2, 1.0015, 3}));
    AAWaveShaper shaper;
    EXPECT_EQ(AAWaveShaper::s_initialized, 1);

    synth->smoothedVolume = 0.9f;
    synth->smoothedBass = 0.4f;
    synth->bassBoostLP.value = 0.3;
    synth->setAntiClickFadeIn();
    EXPECT_EQ(synth->smoothedVolume + synth->smoothedBass + synth->bassBoostLP.value, 0.0);

    for (auto [current, played] : {std::pair{5, 5}, std::pair{200, 0}, std::pair{-5, 0}})
    {
        synth->currentPattern = current;
        EXPECT_EQ(&synth->activePattern(), &synth->patterns[played]) << current;
    }
}

TEST(Synth303Lifecycle, FrequencyPitchBendAndTuningTables)
{
    auto synth = std::make_unique<Synth303>();
    EXPECT_DOUBLE_EQ(synth->noteFrequencyTable[0], 8.175798915636872);
    EXPECT_NEAR(synth->noteFrequencyTable[69], 440.0, 0.001);
    EXPECT_DOUBLE_EQ(synth->customTuningTable[0], 8.22218793583489);
    EXPECT_NEAR(synth->customTuningTable[1], 8.22218793583489 * 1.061463094359, 1e-12);
    EXPECT_TRUE(synth->pitchBendTable[8192] == 1.0 && synth->pitchBendTable[0] == 0.25);
    EXPECT_TRUE(synth->pitchBendTable[16383] > 3.99 && synth->pitchBendTable[16383] < 4.0);

    // setTuningTable replaces the custom table whole and nothing else; null is ignored.
    double table[128];
    for (int n = 0; n < 128; ++n)
        table[n] = 100.0 + n;
    const double equal60 = synth->noteFrequencyTable[60];
    synth->setTuningTable(table);
    synth->setTuningTable(nullptr);
    EXPECT_TRUE(synth->customTuningTable[0] == 100.0 && synth->customTuningTable[127] == 227.0);
    EXPECT_EQ(synth->noteFrequencyTable[60], equal60);
}

TEST(WaveTableLookup, PeriodBoundsAndInterpolation)
{
    auto synth = std::make_unique<Synth303>();
    const WaveTable& saw = *synth->wtSaw;
    ASSERT_EQ(saw.map[saw.mapSize - 1], 0);
    // A negative period uses map entry 0 (the shortest table, silent), 22050 samples or more the
    // last entry, table 0 (the longest).
    for (float phase : {0.1f, 0.3f})
    {
        EXPECT_EQ(saw.lookup(phase, -10.0f), saw.lookup(phase, 0.0f)) << phase;
        EXPECT_EQ(saw.lookup(phase, 22050.0f), saw.lookup(phase, 22049.0f)) << phase;
        EXPECT_EQ(saw.lookup(phase, 1e9f), saw.lookup(phase, 22049.0f)) << phase;
        EXPECT_NE(saw.lookup(phase, -10.0f), saw.lookup(phase, 22049.0f)) << phase;
    }
    EXPECT_TRUE(std::isfinite(saw.lookup(0.3f, NAN)));
    EXPECT_TRUE(std::isfinite(saw.lookup(1.0f, 100.0f))) << "phase 1.0 wraps to the first sample";

    // Between neighbours, and from the last sample across the seam to the first.
    const WaveTable& square = *synth->wtSquare;
    const int n = square.lengths[square.map[500]];
    const float* cycle = square.data + square.starts[square.map[500]];
    EXPECT_NEAR(square.lookup(2.5f / float(n), 500.0f), 0.5f * (cycle[2] + cycle[3]), 1e-5f);
    EXPECT_NEAR(square.lookup((float(n) - 0.5f) / float(n), 500.0f), 0.5f * (cycle[n - 1] + cycle[0]), 1e-4f);
}
