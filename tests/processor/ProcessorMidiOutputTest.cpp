// What leaves OXN3 as MIDI against what it plays: the notes its MIDI output sends when the
// sequencer stops.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "../patterns/PatternTestHelpers.h"

using namespace oxn3test;

namespace
{
constexpr int kGate = step_t::kGate;

// The note messages of a MIDI buffer as "+36:99" (on) and "-36" (off), in buffer order.
std::vector<std::string> noteMessages(const juce::MidiBuffer& midi)
{
    std::vector<std::string> messages;
    for (const auto event : midi)
    {
        const juce::MidiMessage m = event.getMessage();
        if (m.isNoteOn())
            messages.push_back("+" + std::to_string(m.getNoteNumber()) + ":" +
                               std::to_string(m.getVelocity()));
        else if (m.isNoteOff())
            messages.push_back("-" + std::to_string(m.getNoteNumber()));
    }
    return messages;
}
} // namespace

// A stop in the first half of a step, while the note sounds, sends its note-off in the same block,
// however the sequencer is stopped.
TEST(MidiOutput, EveryWayOfStoppingSendsTheNoteOffInItsBlock)
{
    enum Stop { HostStops, PageStop, NoteModeFromMenu, AllNotesOff, LastKeyReleased };
    for (Stop stop : {HostStops, PageStop, NoteModeFromMenu, AllNotesOff, LastKeyReleased})
    {
        SCOPED_TRACE(stop);
        auto processor = makeProcessor();
        TestPlayHead head;
        processor->MidiOutput = 1;
        Synth303& synth = *processor->synth;
        synth.patterns[0].steps[0] = stepOf(0, kGate);
        juce::MidiBuffer midi;
        if (stop == HostStops)
        {
            processor->setPlayHead(&head);
            head.playing = true;
        }
        else
            midi = midiAt({on(0)}, 0); // selects pattern 0 and starts it
        render(*processor, 1000, midi);
        ASSERT_EQ(noteMessages(midi), std::vector<std::string>{"+36:99"});

        midi.clear();
        head.playing = false;
        if (stop == PageStop)
            synth.setRunStop(0);
        if (stop == NoteModeFromMenu) // as the menu switches: the engine's fields cleared in place
        {
            processor->MidiMode = oxn3::kNoteMode;
            synth.running = synth.keyHeld = synth.gate = synth.slideActive = synth.runRequest = 0;
        }
        if (stop == AllNotesOff)
            midi = midiAt({controller(123, 0)}, 10);
        if (stop == LastKeyReleased)
            midi = midiAt({off(0)}, 10);
        render(*processor, 64, midi);
        EXPECT_EQ(noteMessages(midi), std::vector<std::string>{"-36"});
        EXPECT_EQ(synth.running, 0);
        processor->setPlayHead(nullptr);
    }
}
