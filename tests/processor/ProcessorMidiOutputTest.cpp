// What leaves OXN3 as MIDI against what it plays: the notes its MIDI output sends when the
// sequencer stops, and the exported MIDI file against the notes the sequencer sends to MIDI out.
#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "../patterns/PatternTestHelpers.h"
#include "../patterns/ScratchFolder.h"

using namespace oxn3test;

namespace
{
constexpr int kGate = step_t::kGate, kSlide = step_t::kSlide, kAccent = step_t::kAccent, kTie = step_t::kTie;

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

// Pairs note-ons with the note-offs of their keys into notes "<key>@<on tick>-<off tick>:<velocity>".
struct NotePairer
{
    std::vector<std::string> notes;
    std::map<int, std::pair<int, int>> open; // key -> (on tick, velocity)
    int overlaps = 0;                        // a note-on for a key that is on

    void on(int key, int tick, int velocity)
    {
        overlaps += open.count(key) != 0 ? 1 : 0;
        open[key] = {tick, velocity};
    }
    void off(int key, int tick)
    {
        const auto it = open.find(key);
        if (it == open.end())
            return;
        const auto [on, velocity] = it->second;
        notes.push_back(std::to_string(key) + "@" + std::to_string(on) + "-" + std::to_string(tick) + ":" +
                        std::to_string(velocity));
        open.erase(it);
    }
};

// A small Standard MIDI File reader of our own: format 0, note events without running status,
// End of Track. Returns the notes and sets `end` to the End of Track's tick (-1 if malformed).
NotePairer readMidiFile(const std::vector<uint8_t>& file, int& end)
{
    NotePairer pairer;
    end = -1;
    if (file.size() < 22 || std::string(file.begin(), file.begin() + 4) != "MThd" ||
        std::string(file.begin() + 14, file.begin() + 18) != "MTrk")
        return pairer;
    const size_t trackLength = size_t{file[18]} << 24 | size_t{file[19]} << 16 | size_t{file[20]} << 8 | file[21];
    const size_t trackEnd = 22 + trackLength;
    if (trackEnd != file.size())
        return pairer;
    int tick = 0;
    for (size_t i = 22; i + 4 <= trackEnd;)
    {
        int delta = 0;
        while (i + 4 < trackEnd && (file[i] & 0x80))
            delta = (delta << 7) | (file[i++] & 0x7F);
        tick += (delta << 7) | file[i++];
        const uint8_t status = file[i];
        if (status == 0xFF && file[i + 1] == 0x2F)
        {
            end = i + 3 == trackEnd ? tick : -1;
            break;
        }
        if (status == 0x90)
            pairer.on(file[i + 1], tick, file[i + 2]);
        else if (status == 0x80)
            pairer.off(file[i + 1], tick);
        i += 3;
    }
    return pairer;
}

void setPattern(Vst303Pattern& pattern, const std::vector<step_t>& steps, int triplet)
{
    pattern.Clear(0);
    pattern.setLength(static_cast<int>(steps.size()));
    pattern.setTriplet(triplet);
    std::copy(steps.begin(), steps.end(), pattern.steps);
}

// The sequencer playing one pass of pattern 0 in sync with a host at 120 BPM and 48 kHz (250
// samples a tick, 6000 a step, 8000 a triplet step), then the host stopping: the MIDI-out notes
// in ticks, each message placed at the start of the block that sent it.
NotePairer playOnePass(const std::vector<step_t>& steps, int triplet)
{
    constexpr int kBlock = 40, kSamplesPerTick = 250;
    auto processor = makeProcessor(48000.0, kBlock);
    TestPlayHead head;
    processor->setPlayHead(&head);
    processor->MidiOutput = 1;
    setPattern(processor->synth->patterns[0], steps, triplet);

    NotePairer pairer;
    const int passTicks = static_cast<int>(steps.size()) * (triplet ? 32 : 24);
    head.playing = true;
    for (int sample = 0; sample <= passTicks * kSamplesPerTick; sample += kBlock)
    {
        head.ppq = sample / 24000.0;
        head.playing = sample < passTicks * kSamplesPerTick;
        juce::MidiBuffer midi;
        render(*processor, kBlock, midi);
        const int tick = (sample + kSamplesPerTick / 2) / kSamplesPerTick;
        for (const auto event : midi)
        {
            const juce::MidiMessage m = event.getMessage();
            if (m.isNoteOn())
                pairer.on(m.getNoteNumber(), tick, m.getVelocity());
            else if (m.isNoteOff())
                pairer.off(m.getNoteNumber(), tick);
        }
    }
    processor->setPlayHead(nullptr);
    return pairer;
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

// The file, read back by a reader of the test's own, holds the notes that the sequencer sends to
// MIDI out for the same pattern, note for note, and ends at the pattern's end.
TEST(MidiOutput, ExportedFileHoldsTheNotesTheSequencerSends)
{
    const int a = kAccent, s = kSlide;
    // {name, triplet, steps}; a rest is stepOf(0, 0) or carries only a slide or tie flag
    // clang-format off
    const std::tuple<const char*, int, std::vector<step_t>> cases[] = {
        {"rests end a slide and its accent", 0,
         {stepOf(0, kGate | s | a), stepOf(0, 0), stepOf(0, s), stepOf(0, kGate), stepOf(4, kGate | s | a),
          stepOf(0, s), stepOf(4, kGate), stepOf(0, 0)}},
        {"a slide chain back to a sounding key", 0,
         {stepOf(0, kGate | s), stepOf(2, kGate | s), stepOf(0, kGate | s | a), stepOf(0, kGate | s),
          stepOf(2, kGate), stepOf(7, kGate | a), stepOf(0, 0), stepOf(0, 0)}},
        {"ties, octaves and trailing rests", 0,
         {stepOf(0, kGate | a), stepOf(0, kTie), stepOf(5, kGate | step_t::kUp | s), stepOf(5, kGate | kTie),
          stepOf(3, kGate | step_t::kDown), stepOf(0, kTie | s), stepOf(0, 0), stepOf(0, 0)}},
        {"triplet with a slide over the end", 1,
         {stepOf(0, kGate | a | s), stepOf(3, kGate), stepOf(0, 0), stepOf(12, kGate | s),
          stepOf(10, kGate | s), stepOf(0, kGate | s)}},
    };
    // clang-format on
    ScratchFolder folder;
    const std::string path = folder.path("p.mid");
    for (const auto& [name, triplet, steps] : cases)
    {
        SCOPED_TRACE(name);
        const NotePairer played = playOnePass(steps, triplet);
        EXPECT_EQ(played.overlaps, 0);
        EXPECT_TRUE(played.open.empty());

        auto synth = std::make_unique<Synth303>();
        setPattern(synth->patterns[0], steps, triplet);
        ASSERT_TRUE(synth->exportMidiPattern(path.c_str()));
        int end = 0;
        const NotePairer exported = readMidiFile(ScratchFolder::readBytes(path), end);
        EXPECT_EQ(exported.overlaps, 0);
        EXPECT_TRUE(exported.open.empty());
        EXPECT_EQ(end, static_cast<int>(steps.size()) * (triplet ? 32 : 24));

        ASSERT_FALSE(played.notes.empty());
        std::vector<std::string> playedNotes = played.notes, exportedNotes = exported.notes;
        std::sort(playedNotes.begin(), playedNotes.end());
        std::sort(exportedNotes.begin(), exportedNotes.end());
        EXPECT_EQ(exportedNotes, playedNotes);
    }
}
