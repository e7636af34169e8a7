#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "engine/Synth303.h"
#include "patterns/PatternTestHelpers.h"
#include "patterns/ScratchFolder.h"

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int kGate = step_t::kGate, kUp = step_t::kUp, kDown = step_t::kDown, kSlide = step_t::kSlide;

// Header chunk, "MTrk" with the given track length, the events, End of Track at the pattern's
// end, `endDelta` ticks after the last event.
Bytes midiFile(uint8_t trackLength, Bytes events, Bytes endDelta)
{
    const Bytes head = {'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
                        1,   0,   96,  'M', 'T', 'r', 'k', 0, 0, 0, trackLength};
    const Bytes endOfTrack = {0xFF, 0x2F, 0x00};
    events.insert(events.begin(), head.begin(), head.end());
    events.insert(events.end(), endDelta.begin(), endDelta.end());
    events.insert(events.end(), endOfTrack.begin(), endOfTrack.end());
    return events;
}
} // namespace

TEST(MidiExport, PatternsGiveTheExpectedFileBytes)
{
    Bytes sixteen = {0x00, 0x90, 36, 99, 0x0C, 0x80, 36, 99};
    for (int i = 1; i < 16; ++i)
        sixteen.insert(sixteen.end(), {0x0C, 0x90, 36, 99, 0x0C, 0x80, 36, 99});
    // {name, clear gate value, length, triplet, first steps, file}
    // clang-format off
    const std::tuple<const char*, int, int, int, std::vector<step_t>, Bytes> cases[] = {
        {"sixteen plain steps: half-step notes", 1, 16, 0, {}, midiFile(0x84, sixteen, {0x0C})},
        {"all rests: End of Track at tick 384", 0, 16, 0, {}, midiFile(5, {}, {0x83, 0x00})},
        {"ending on a slide: released at the end", 1, 2, 0, {stepOf(0, kGate), stepOf(2, kGate | kSlide)},
         midiFile(20, {0x00, 0x90, 36, 99, 0x0C, 0x80, 36, 99, 0x0C, 0x90, 38, 99, 0x18, 0x80, 38, 99}, {0x00})},
        {"triplet of three: 32-tick steps", 1, 3, 1, {},
         midiFile(28, {0x00, 0x90, 36, 99, 0x10, 0x80, 36, 99, 0x10, 0x90, 36, 99,
                       0x10, 0x80, 36, 99, 0x10, 0x90, 36, 99, 0x10, 0x80, 36, 99}, {0x10})},
        // 36 on at 0, 48 on at 24 with the accent carried, the same 48 tied on, both off at 60.
        {"slide chain", 1, 4, 0,
         {stepOf(0, kGate | kSlide | step_t::kAccent), stepOf(0, kGate | kSlide | kUp),
          stepOf(0, kGate | kUp), stepOf(0, 0)},
         midiFile(20, {0x00, 0x90, 36, 127, 0x18, 0x90, 48, 127, 0x24, 0x80, 36, 127, 0x00, 0x80, 48, 127}, {0x24})},
        {"an accent without slide stays on its own step", 1, 2, 0,
         {stepOf(0, kGate | step_t::kAccent), stepOf(2, kGate)},
         midiFile(20, {0x00, 0x90, 36, 127, 0x0C, 0x80, 36, 127, 0x0C, 0x90, 38, 99, 0x0C, 0x80, 38, 99}, {0x0C})},
        {"octave flags and clamped notes", 1, 3, 0,
         {stepOf(100, kGate), stepOf(-40, kGate | kDown), stepOf(0, kGate | kUp | kDown)},
         midiFile(28, {0x00, 0x90, 127, 99, 0x0C, 0x80, 127, 99, 0x0C, 0x90, 0, 99,
                       0x0C, 0x80, 0, 99, 0x0C, 0x90, 36, 99, 0x0C, 0x80, 36, 99}, {0x0C})},
        {"a rest ends a slide half a step in: C 0-36, C 72-84", 0, 4, 0,
         {stepOf(0, kGate | kSlide), stepOf(0, 0), stepOf(0, 0), stepOf(0, kGate)},
         midiFile(20, {0x00, 0x90, 36, 99, 0x24, 0x80, 36, 99, 0x24, 0x90, 36, 99, 0x0C, 0x80, 36, 99}, {0x0C})},
        {"no accent carried past a rest, even one with a slide flag", 0, 3, 0,
         {stepOf(0, kGate | kSlide | step_t::kAccent), stepOf(0, kSlide), stepOf(4, kGate)},
         midiFile(20, {0x00, 0x90, 36, 127, 0x24, 0x80, 36, 127, 0x0C, 0x90, 40, 99, 0x0C, 0x80, 40, 99}, {0x0C})},
        {"a slide chain back to a sounding key ends its earlier note first", 0, 3, 0,
         {stepOf(0, kGate | kSlide), stepOf(2, kGate | kSlide), stepOf(0, kGate)},
         midiFile(28, {0x00, 0x90, 36, 99, 0x18, 0x90, 38, 99, 0x18, 0x80, 36, 99, 0x00, 0x90, 36, 99,
                       0x0C, 0x80, 36, 99, 0x00, 0x80, 38, 99}, {0x0C})},
    };
    // clang-format on
    ScratchFolder folder;
    const std::string path = folder.path("p.mid");
    for (const auto& [name, clearGate, length, triplet, steps, expected] : cases)
    {
        SCOPED_TRACE(name);
        auto synth = std::make_unique<Synth303>();
        synth->currentPattern = 5; // the current pattern is exported, not pattern 0
        Vst303Pattern& p = synth->patterns[5];
        p.Clear(clearGate);
        p.setLength(length);
        p.setTriplet(triplet);
        std::copy(steps.begin(), steps.end(), p.steps);
        ASSERT_TRUE(synth->exportMidiPattern(path.c_str()));
        EXPECT_EQ(expected, ScratchFolder::readBytes(path));
    }
    EXPECT_FALSE(std::make_unique<Synth303>()->exportMidiPattern(folder.path("missing/p.mid").c_str()));
}
