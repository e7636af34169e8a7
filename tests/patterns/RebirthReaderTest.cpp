#include <gtest/gtest.h>

#include "patterns/RebirthReader.h"
#include "patterns/ScratchFolder.h"

namespace
{
// A "303 " chunk whose bytes count up from `first`, padded to even length.
ByteBuilder& unitChunk(ByteBuilder& b, uint32_t size, int first)
{
    b.text("303 ").be32(size);
    for (uint32_t i = 0; i < size; ++i)
        b.byte(static_cast<int>((first + i) & 0xFF));
    return size & 1 ? b.byte(0) : b;
}

int importUnits(const ByteBuilder& b, rbs303_t* out, int capacity = kRbsUnits)
{
    ScratchFolder folder;
    return import_rbs(folder.write("song.rbs", b.bytes).c_str(), out, capacity);
}
} // namespace

TEST(RebirthReader, UnitsInsideACatChunkUpToTheRoomGiven)
{
    ByteBuilder b;
    b.text("CAT ").be32(4 + 8 + 6 + 3 * (8 + 1098)).text("RB40").text("HEAD").be32(6).fill(6, 0xEE);
    unitChunk(unitChunk(unitChunk(b, 1097, 1), 1097, 100), 1097, 200);
    rbs303_t units[kRbsUnits + 1];
    units[2].bytes[0] = 0x55;
    ASSERT_EQ(importUnits(b, units), 2); // the third unit finds no room
    EXPECT_EQ(units[0].bytes[0], 1);
    EXPECT_EQ(units[0].bytes[1096], (1 + 1096) & 0xFF);
    EXPECT_EQ(units[1].bytes[0], 100);
    EXPECT_EQ(units[2].bytes[0], 0x55);
    EXPECT_EQ(importUnits(b, units, 1), 1);

    ByteBuilder odd; // longer: its first 1097 bytes; shorter and odd: padded, the rest zero
    unitChunk(unitChunk(odd, 1200, 7), 3, 9);
    units[1].bytes[5] = 0x77;
    ASSERT_EQ(importUnits(odd, units), 2);
    EXPECT_EQ(units[0].bytes[1096], (7 + 1096) & 0xFF);
    EXPECT_EQ(units[1].bytes[2], 11);
    EXPECT_EQ(units[1].bytes[5], 0);
}

TEST(RebirthReader, DamagedSongsStayInBounds)
{
    rbs303_t units[kRbsUnits];
    EXPECT_EQ(import_rbs("/nonexistent/missing.rbs", units), 0);
    ByteBuilder truncated; // the unit's data runs past the end of the file
    truncated.text("CAT ").be32(2000).text("RB40").text("303 ").be32(1097).fill(500, 1);
    EXPECT_EQ(importUnits(truncated, units), 0);
    ByteBuilder nested; // CATs nested far deeper than any song
    for (int i = 0; i < 5000; ++i)
        nested.text("CAT ").be32(0xFFFFFFF0u).text("RB40");
    EXPECT_EQ(importUnits(nested, units), 0);
}
