// The engine switch between slices and MIDI output. Event positions, empty blocks, block sizes
// and rates are covered through the hosted bundles.
#include <cmath>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using namespace oxn3test;

TEST(AudioCallback, EngineSwitchFadesInOnceFromTheNewEnginesFirstSample)
{
    auto processor = makeProcessor();
    processor->ImprovedEmulation = 0;
    processor->lastImprovedEmulation = 0;
    processor->setParameter(oxn3::kVolume, 0.75f);
    render(*processor, 64);

    // Two harmless events split the block into slices of 100, 200 and 212 samples.
    processor->ImprovedEmulation = 1;
    juce::MidiBuffer midi;
    midi.addEvent(juce::MidiMessage::pitchWheel(1, 8192), 100);
    midi.addEvent(juce::MidiMessage::pitchWheel(1, 8192), 300);
    render(*processor, 512, midi);

    // The volume smoother restarts from 0 once, before the first slice of the new engine, and
    // climbs by 0.0005 per sample over the whole block.
    const double expected = 0.75 * (1.0 - std::pow(1.0 - 0.0005, 512));
    EXPECT_NEAR(processor->synth->smoothedVolume, expected, 1e-3);
}

TEST(AudioCallback, MidiOutputSendsNoteChangesOnlyWhenOn)
{
    auto processor = makeProcessor();
    // Per block: output switch, engine's note 48 velocity, expected message (0 none, 1 on, -1 off).
    const struct
    {
        int output, velocity, sent;
    } blocks[] = {{0, 127, 0}, {1, 127, 1}, {1, 127, 0}, {1, 0, -1}};
    for (const auto& b : blocks)
    {
        processor->MidiOutput = b.output;
        processor->synth->midiOutNotes[48] = b.velocity;
        juce::MidiBuffer midi; // the host hands in a fresh buffer each block
        render(*processor, 64, midi);
        ASSERT_EQ(midi.getNumEvents(), b.sent == 0 ? 0 : 1);
        if (b.sent == 0)
            continue;
        const auto message = (*midi.cbegin()).getMessage();
        EXPECT_EQ(message.isNoteOn(), b.sent == 1);
        EXPECT_EQ(message.getNoteNumber(), 48);
        EXPECT_EQ(message.getVelocity(), b.velocity);
    }
}
