#include <gtest/gtest.h>

#include <vector>

#include "patterns/MidiTrack.h"
#include "patterns/ScratchFolder.h"

namespace
{
std::vector<uint8_t> varBytes(unsigned value)
{
    FILE* f = std::tmpfile();
    fputvar_m(value, f);
    std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(f)));
    std::rewind(f);
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    bytes.resize(got);
    return bytes;
}
} // namespace

TEST(MidiTrack, VariableLengthQuantities)
{
    EXPECT_EQ((std::vector<uint8_t>{0x00}), varBytes(0));
    EXPECT_EQ((std::vector<uint8_t>{0x7F}), varBytes(127));
    EXPECT_EQ((std::vector<uint8_t>{0x81, 0x00}), varBytes(128));
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0x7F}), varBytes(0x3FFF));
    EXPECT_EQ((std::vector<uint8_t>{0x81, 0x80, 0x00}), varBytes(0x4000));
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}), varBytes(0x0FFFFFFF));
    EXPECT_EQ((std::vector<uint8_t>{0x8F, 0xFF, 0xFF, 0xFF, 0x7F}), varBytes(0xFFFFFFFF));
}

TEST(MidiTrack, WritesHeaderEventsAndEndOfTrack)
{
    ScratchFolder folder;
    MidiTrack track;
    EXPECT_EQ(96u, track.division);
    track.addEvent(0, MidiTrack::kNoteOn, 60, 100);
    track.addEvent(200, MidiTrack::kNoteOff, 60, 100);
    const std::string file = folder.path("t.mid");
    ASSERT_EQ(1, track.writeTrack(file.c_str()));
    const std::vector<uint8_t> expected = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60,
                                           'M', 'T', 'r', 'k', 0, 0, 0, 13,
                                           0x00, 0x90, 60, 100,
                                           0x81, 0x48, 0x80, 60, 100,
                                           0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(expected, ScratchFolder::readBytes(file));
}

TEST(MidiTrack, RefusesEventsBeyondItsCapacityAndUnwritablePaths)
{
    ScratchFolder folder;
    MidiTrack track;
    for (uint32_t i = 0; i < MidiTrack::kCapacity; ++i)
        ASSERT_TRUE(track.addEvent(0, MidiTrack::kNoteOn, 1, 1));
    EXPECT_FALSE(track.addEvent(0, MidiTrack::kNoteOn, 1, 1));
    EXPECT_EQ(MidiTrack::kCapacity, track.count);
    EXPECT_EQ(0, track.writeTrack(folder.path("missing/t.mid").c_str()));
    EXPECT_EQ(0, track.writeTrack(nullptr));
}
