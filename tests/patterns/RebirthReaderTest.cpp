#include <gtest/gtest.h>

#include "patterns/RebirthReader.h"
#include "patterns/ScratchFolder.h"

namespace
{
// A "303 " chunk whose bytes count up from `first`.
ByteBuilder& unitChunk(ByteBuilder& b, uint32_t size, int first)
{
    b.text("303 ").be32(size);
    for (uint32_t i = 0; i < size; ++i)
        b.byte(static_cast<int>((first + i) & 0xFF));
    if (size & 1)
        b.byte(0);
    return b;
}

int importUnits(const ScratchFolder& folder, const ByteBuilder& b, rbs303_t* out, int capacity = kRbsUnits)
{
    return import_rbs(folder.write("song.rbs", b.bytes).c_str(), out, capacity);
}
} // namespace

TEST(RebirthReader, TwoUnitsInsideACatChunk)
{
    ScratchFolder folder;
    ByteBuilder b;
    const uint32_t unitChunkSize = 8 + 1097 + 1;
    b.text("CAT ").be32(4 + 8 + 6 + 2 * unitChunkSize).text("RB40");
    b.text("HEAD").be32(6).fill(6, 0xEE);
    unitChunk(b, 1097, 1);
    unitChunk(b, 1097, 100);
    rbs303_t units[kRbsUnits];
    ASSERT_EQ(2, importUnits(folder, b, units));
    EXPECT_EQ(1, units[0].bytes[0]);
    EXPECT_EQ((1 + 1096) & 0xFF, units[0].bytes[1096]);
    EXPECT_EQ(100, units[1].bytes[0]);
}

TEST(RebirthReader, MoreUnitsThanRoomAreSkipped)
{
    ScratchFolder folder;
    ByteBuilder b;
    b.text("CAT ").be32(4 + 3 * (8 + 1098)).text("RB40");
    unitChunk(b, 1097, 1);
    unitChunk(b, 1097, 2);
    unitChunk(b, 1097, 3);
    rbs303_t units[kRbsUnits + 1];
    units[2].bytes[0] = 0x55;
    EXPECT_EQ(2, importUnits(folder, b, units));
    EXPECT_EQ(0x55, units[2].bytes[0]);
    EXPECT_EQ(1, importUnits(folder, b, units, 1));
}

TEST(RebirthReader, LongShortAndOddChunks)
{
    ScratchFolder folder;
    ByteBuilder b;
    unitChunk(b, 1200, 7);  // longer: its first 1097 bytes
    unitChunk(b, 3, 9);     // shorter and odd: padded, the rest of the record zero
    rbs303_t units[kRbsUnits];
    units[1].bytes[5] = 0x77;
    ASSERT_EQ(2, importUnits(folder, b, units));
    EXPECT_EQ((7 + 1096) & 0xFF, units[0].bytes[1096]);
    EXPECT_EQ(11, units[1].bytes[2]);
    EXPECT_EQ(0, units[1].bytes[5]);
}

TEST(RebirthReader, DamagedSongsStayInBounds)
{
    ScratchFolder folder;
    rbs303_t units[kRbsUnits];
    EXPECT_EQ(0, import_rbs(folder.path("missing.rbs").c_str(), units));

    ByteBuilder truncated; // the unit's data runs past the end of the file
    truncated.text("CAT ").be32(2000).text("RB40").text("303 ").be32(1097).fill(500, 1);
    EXPECT_EQ(0, importUnits(folder, truncated, units));

    ByteBuilder catPastEnd; // a CAT larger than the file still yields the units inside
    catPastEnd.text("CAT ").be32(0xFFFFFFF0u).text("RB40");
    unitChunk(catPastEnd, 1097, 1);
    EXPECT_EQ(1, importUnits(folder, catPastEnd, units));

    ByteBuilder nested; // CATs nested far deeper than any song
    for (int i = 0; i < 5000; ++i)
        nested.text("CAT ").be32(0xFFFFFFF0u).text("RB40");
    EXPECT_EQ(0, importUnits(folder, nested, units));

    ByteBuilder tiny;
    tiny.text("303");
    EXPECT_EQ(0, importUnits(folder, tiny, units));
}

TEST(RebirthReader, FileLengthRewinds)
{
    ScratchFolder folder;
    FILE* f = std::fopen(folder.write("x.rbs", std::string(123, 'x')).c_str(), "rb");
    ASSERT_NE(nullptr, f);
    std::fgetc(f);
    EXPECT_EQ(123, GetFileLengthRBS(f));
    EXPECT_EQ(0, std::ftell(f));
    std::fclose(f);
}
