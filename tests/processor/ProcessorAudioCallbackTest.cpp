// The engine switch between slices and MIDI output. Event positions, empty blocks, block sizes
// and rates are covered through the hosted bundles.
#include <cmath>
#include <string>
#include <vector>

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
    // Per block: output switch, the engine's note 48 velocity, whether the engine struck the key
    // (again), the messages expected. A velocity change alone is a slide into the sounding key.
    const struct
    {
        int output, velocity, struck;
        std::vector<std::string> sent;
    } blocks[] = {{0, 127, 1, {}},  {1, 127, 0, {"+48:127"}}, {1, 127, 0, {}},
                  {1, 99, 0, {}},   {1, 127, 1, {"-48:0", "+48:127"}}, {1, 0, 0, {"-48:0"}}};
    for (const auto& b : blocks)
    {
        processor->MidiOutput = b.output;
        processor->synth->midiOutNotes[48] = b.velocity;
        processor->synth->midiOutStrikes[48] += static_cast<std::uint32_t>(b.struck);
        juce::MidiBuffer midi; // the host hands in a fresh buffer each block
        render(*processor, 64, midi);
        std::vector<std::string> sent;
        for (const auto event : midi)
        {
            const auto m = event.getMessage();
            EXPECT_EQ(event.samplePosition, 0);
            EXPECT_EQ(m.getChannel(), 1);
            sent.push_back((m.isNoteOn() ? "+" : m.isNoteOff() ? "-" : "?") + std::to_string(m.getNoteNumber()) + ":" +
                           std::to_string(m.getVelocity()));
        }
        EXPECT_EQ(sent, b.sent);
    }
}
