#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "engine/EngineTestHelpers.h"
#include "patterns/ScratchFolder.h"

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int kGate = step_t::kGate;
constexpr int kUp = step_t::kUp;
constexpr int kDown = step_t::kDown;
constexpr int kSlide = step_t::kSlide;

// Header chunk, "MTrk" with the given track length, the events, End of Track.
Bytes midiFile(uint8_t trackLength, Bytes events)
{
    const Bytes head = {'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
                        1,   0,   96,  'M', 'T', 'r', 'k', 0, 0, 0, trackLength};
    const Bytes endOfTrack = {0x00, 0xFF, 0x2F, 0x00};
    events.insert(events.begin(), head.begin(), head.end());
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
        {"sixteen plain steps: half-step notes", 1, 16, 0, {}, midiFile(0x84, sixteen)},
        {"all rests", 0, 16, 0, {}, midiFile(4, {})},
        {"ending on a slide: released at the end", 1, 2, 0, {makeStep(0, kGate), makeStep(2, kGate | kSlide)},
         midiFile(20, {0x00, 0x90, 36, 99, 0x0C, 0x80, 36, 99, 0x0C, 0x90, 38, 99, 0x18, 0x80, 38, 99})},
        {"triplet of three: 32-tick steps", 1, 3, 1, {},
         midiFile(28, {0x00, 0x90, 36, 99, 0x10, 0x80, 36, 99, 0x10, 0x90, 36, 99,
                       0x10, 0x80, 36, 99, 0x10, 0x90, 36, 99, 0x10, 0x80, 36, 99})},
        // 36 on at 0, 48 on at 24 with the accent carried, the same 48 tied on, both off at 60.
        {"slide chain", 1, 4, 0,
         {makeStep(0, kGate | kSlide | step_t::kAccent), makeStep(0, kGate | kSlide | kUp),
          makeStep(0, kGate | kUp), makeStep(0, 0)},
         midiFile(20, {0x00, 0x90, 36, 127, 0x18, 0x90, 48, 127, 0x24, 0x80, 36, 127, 0x00, 0x80, 48, 127})},
        {"an accent without slide stays on its own step", 1, 2, 0,
         {makeStep(0, kGate | step_t::kAccent), makeStep(2, kGate)},
         midiFile(20, {0x00, 0x90, 36, 127, 0x0C, 0x80, 36, 127, 0x0C, 0x90, 38, 99, 0x0C, 0x80, 38, 99})},
        {"octave flags and clamped notes", 1, 3, 0,
         {makeStep(100, kGate), makeStep(-40, kGate | kDown), makeStep(0, kGate | kUp | kDown)},
         midiFile(28, {0x00, 0x90, 127, 99, 0x0C, 0x80, 127, 99, 0x0C, 0x90, 0, 99,
                       0x0C, 0x80, 0, 99, 0x0C, 0x90, 36, 99, 0x0C, 0x80, 36, 99})},
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
