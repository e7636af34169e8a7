#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/Synth303.h"
#include "patterns/ScratchFolder.h"

namespace
{
using Bytes = std::vector<uint8_t>;

// Header chunk, then "MTrk" with the given track length.
Bytes fileStart(uint8_t trackLength)
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, trackLength};
}

const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class MidiExport : public ::testing::Test
{
protected:
    std::unique_ptr<Synth303> synth = std::make_unique<Synth303>();
    ScratchFolder folder;

    // The pattern the export reads: not pattern 0, to show the current one is used.
    Vst303Pattern& pattern()
    {
        synth->currentPattern = 5;
        return synth->patterns[5];
    }

    Bytes exported()
    {
        const std::string file = folder.path("p.mid");
        EXPECT_TRUE(synth->exportMidiPattern(file.c_str()));
        return ScratchFolder::readBytes(file);
    }
};
} // namespace

TEST_F(MidiExport, SixteenPlainStepsGiveHalfStepNotes)
{
    Vst303Pattern& p = pattern();
    p.Clear(1);
    Bytes events = {0x00, 0x90, 36, 99, 0x0C, 0x80, 36, 99};
    for (int i = 1; i < 16; ++i)
        events = events + Bytes{0x0C, 0x90, 36, 99, 0x0C, 0x80, 36, 99};
    EXPECT_EQ(fileStart(0x84) + events + kEndOfTrack, exported());
}

TEST_F(MidiExport, AllRestsGiveOnlyEndOfTrack)
{
    pattern().Clear(0);
    EXPECT_EQ(fileStart(4) + kEndOfTrack, exported());
}

TEST_F(MidiExport, PatternEndingOnASlideReleasesAtItsEnd)
{
    Vst303Pattern& p = pattern();
    p.Clear(1);
    p.setLength(2);
    p.steps[1].pitch = 2;
    p.steps[1].flags = step_t::kGate | step_t::kSlide;
    const Bytes events = {0x00, 0x90, 36, 99, 0x0C, 0x80, 36, 99, 0x0C, 0x90, 38, 99, 0x18, 0x80, 38, 99};
    EXPECT_EQ(fileStart(20) + events + kEndOfTrack, exported());
}

TEST_F(MidiExport, TripletOfThreeStepsUsesThirtyTwoTickSteps)
{
    Vst303Pattern& p = pattern();
    p.Clear(1);
    p.setLength(3);
    p.setTriplet(1);
    const Bytes events = {0x00, 0x90, 36, 99, 0x10, 0x80, 36, 99, 0x10, 0x90, 36, 99,
                          0x10, 0x80, 36, 99, 0x10, 0x90, 36, 99, 0x10, 0x80, 36, 99};
    EXPECT_EQ(fileStart(28) + events + kEndOfTrack, exported());
}

TEST_F(MidiExport, SlideChainsCarryAccentAndTieSameNotes)
{
    Vst303Pattern& p = pattern();
    p.Clear(1);
    p.setLength(4);
    p.steps[0].flags = step_t::kGate | step_t::kSlide | step_t::kAccent; // accented, held into step 1
    p.steps[1].flags = step_t::kGate | step_t::kSlide | step_t::kUp;     // new note, accent carried
    p.steps[2].flags = step_t::kGate | step_t::kUp;                      // same note: no new note-on
    p.steps[3].flags = 0;                                                // rest
    // 36 on at 0, 48 on at 24 (36 still held), both off at 48 + 12 = 60.
    const Bytes events = {0x00, 0x90, 36, 127, 0x18, 0x90, 48, 127, 0x24, 0x80, 36, 127, 0x00, 0x80, 48, 127};
    EXPECT_EQ(fileStart(20) + events + kEndOfTrack, exported());
}

TEST_F(MidiExport, OctaveFlagsAndClampedNotes)
{
    Vst303Pattern& p = pattern();
    p.Clear(1);
    p.setLength(3);
    p.steps[0].pitch = 100; // 136: clamped to 127
    p.steps[1].pitch = -40;
    p.steps[1].flags = step_t::kGate | step_t::kDown; // -16: clamped to 0
    p.steps[2].flags = step_t::kGate | step_t::kUp | step_t::kDown;
    const Bytes events = {0x00, 0x90, 127, 99, 0x0C, 0x80, 127, 99, 0x0C, 0x90, 0, 99,
                          0x0C, 0x80, 0,   99, 0x0C, 0x90, 36,  99, 0x0C, 0x80, 36, 99};
    EXPECT_EQ(fileStart(28) + events + kEndOfTrack, exported());
}

TEST_F(MidiExport, UnwritablePathGivesFalse)
{
    EXPECT_FALSE(synth->exportMidiPattern(folder.path("missing/p.mid").c_str()));
}
