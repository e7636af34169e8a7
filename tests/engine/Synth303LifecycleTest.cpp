#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/Synth303.h"

TEST(Synth303Lifecycle, ConstructedAndInitializedAgain)
{
    // Initializing again brings the defaults back, clears the user's patterns with gate value 1,
    // leaves the hidden slots without gate and keeps exactly one set of wavetables.
    auto synth = std::make_unique<Synth303>();
    WaveTable* const before[] = {synth->wtSaw, synth->wtSquare, synth->wtXSaw, synth->wtXSquare};
    synth->patterns[3].steps[0].pitch = 7;
    synth->bpm = 90.0;
    synth->midiOutNotes[40] = 99;
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
    EXPECT_EQ((std::vector<double>{double(synth->midiOutNotes[40]), synth->bpm, synth->samplesPerStep,
                                   double(synth->pitchBend), double(synth->VCOMode), synth->cycleRatio[0]}),
              (std::vector<double>{0, 120.0, 5512.5, 8192, 2, 1.0015}));
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

    // setTuningTable replaces the custom table whole; null is ignored.
    double table[128];
    for (int n = 0; n < 128; ++n)
        table[n] = 100.0 + n;
    synth->setTuningTable(table);
    synth->setTuningTable(nullptr);
    EXPECT_TRUE(synth->customTuningTable[0] == 100.0 && synth->customTuningTable[127] == 227.0);
}

TEST(WaveTableLookup, PeriodBoundsAndSeam)
{
    auto synth = std::make_unique<Synth303>();
    // A negative period uses map entry 0 (silent), 22050 samples or more the last entry.
    const WaveTable& saw = *synth->wtSaw;
    EXPECT_EQ(saw.lookup(0.3f, -10.0f), saw.lookup(0.3f, 0.0f));
    EXPECT_EQ(saw.lookup(0.3f, 1e9f), saw.lookup(0.3f, 22049.0f));
    EXPECT_NE(saw.lookup(0.3f, -10.0f), saw.lookup(0.3f, 22049.0f));
    EXPECT_TRUE(std::isfinite(saw.lookup(0.3f, NAN)));
    EXPECT_TRUE(std::isfinite(saw.lookup(1.0f, 100.0f)));

    // From the last sample across the seam to the first.
    const WaveTable& square = *synth->wtSquare;
    const int n = square.lengths[square.map[500]];
    const float* cycle = square.data + square.starts[square.map[500]];
    EXPECT_NEAR(square.lookup((float(n) - 0.5f) / float(n), 500.0f), 0.5f * (cycle[n - 1] + cycle[0]), 1e-4f);
}
