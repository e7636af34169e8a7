#include <gtest/gtest.h>

#include <vector>

#include "patterns/MidiTrack.h"
#include "patterns/ScratchFolder.h"

using Bytes = std::vector<uint8_t>;

TEST(MidiTrack, VariableLengthQuantities)
{
    const std::pair<unsigned, Bytes> cases[] = {
        {0, {0x00}},           {127, {0x7F}}, {128, {0x81, 0x00}}, {0x3FFF, {0xFF, 0x7F}},
        {0x4000, {0x81, 0x80, 0x00}}, {0xFFFFFFFF, {0x8F, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const auto& [value, expected] : cases)
    {
        FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        fputvar_m(value, f);
        std::rewind(f);
        Bytes bytes(8);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
        EXPECT_EQ(bytes, expected) << value;
    }
}

TEST(MidiTrack, WritesHeaderEventsAndEndOfTrackAndRefusesBadCalls)
{
    ScratchFolder folder;
    MidiTrack track;
    track.addEvent(0, MidiTrack::kNoteOn, 60, 100);
    track.addEvent(200, MidiTrack::kNoteOff, 60, 100);
    const std::string file = folder.path("t.mid");
    ASSERT_EQ(track.writeTrack(file.c_str()), 1);
    const Bytes expected = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,     // format 0, 1 track
                            'M', 'T', 'r', 'k', 0, 0, 0, 13, 0x00, 0x90, 60, 100, // length 13
                            0x81, 0x48, 0x80, 60, 100, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(ScratchFolder::readBytes(file), expected);
    EXPECT_EQ(track.writeTrack(folder.path("missing/t.mid").c_str()), 0);

    while (track.count < MidiTrack::kCapacity)
        ASSERT_TRUE(track.addEvent(0, MidiTrack::kNoteOn, 1, 1));
    EXPECT_FALSE(track.addEvent(0, MidiTrack::kNoteOn, 1, 1));
    EXPECT_EQ(track.count, MidiTrack::kCapacity);
}
