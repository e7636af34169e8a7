#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/Synth303.h"
#include "patterns/PatternTestHelpers.h"
#include "patterns/ScratchFolder.h"

namespace
{
constexpr int kTbRecords = 12;
constexpr uint32_t kTbChunkSize = kTbRecords * 136;

// A technoBox2 record: header word, 64 steps with pitch = seed + step, flags 0x11, 4 spare bytes.
ByteBuilder& tbRecord(ByteBuilder& b, uint32_t header, int seed)
{
    b.le32(header);
    for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
        b.byte(seed + s).byte(0x11);
    return b.fill(4, 0xAB);
}

ByteBuilder& tbChunk(ByteBuilder& b, const char* id, int seed, uint32_t header = 8)
{
    b.text(id).le32(kTbChunkSize);
    for (int r = 0; r < kTbRecords; ++r)
        tbRecord(b, header, seed + r);
    return b;
}

class PatternImport : public ::testing::Test
{
protected:
    std::unique_ptr<Synth303> synth = std::make_unique<Synth303>();
    ScratchFolder folder;

    PatternImport()
    {
        for (int p = 0; p < oxn3::kUserPatterns; ++p)
            synth->patterns[p] = numberedPattern(16, 0x40);
    }

    bool untouched(int p) const { return sameRecord(numberedPattern(16, 0x40), synth->patterns[p]); }

    std::string file(const std::string& name, const ByteBuilder& b) const { return folder.write(name, b.bytes); }
    std::string file(const std::string& name, const std::string& text) const { return folder.write(name, text); }
};

// One Phoscyon block: length, two unused numbers, 16 lines of nine numbers.
std::string phBlock(int length, const std::string& stepLine)
{
    std::string block = std::to_string(length) + " 0 0\n";
    for (int s = 0; s < 16; ++s)
        block += stepLine + "\n";
    return block;
}

std::string prmSteps(int first, int last)
{
    std::string text;
    for (int n = first; n <= last; ++n)
        text += "STEP " + std::to_string(n) + "\t= STATE=1 NOTE=" + std::to_string(35 + n) + " ACCENT=0 SLIDE=0\n";
    return text;
}
} // namespace

TEST_F(PatternImport, TechnoboxFirstChunkReplacesPatternsZeroToEleven)
{
    ByteBuilder b;
    b.text("9COT");
    tbChunk(b, "0303", 10);
    EXPECT_EQ(0, synth->importTechnobox2Patterns(file("bank.tb", b).c_str()));
    for (int p = 0; p < 12; ++p)
    {
        EXPECT_EQ(8u, synth->patterns[p].header) << p;
        EXPECT_EQ(10 + p, synth->patterns[p].steps[0].pitch);
        EXPECT_EQ(10 + p + 63, synth->patterns[p].steps[63].pitch);
        EXPECT_EQ(0x11, synth->patterns[p].steps[63].flags);
    }
    for (int p = 12; p < 24; ++p)
        EXPECT_TRUE(untouched(p)) << p;
}

TEST_F(PatternImport, TechnoboxBothChunksAmongOthers)
{
    ByteBuilder b;
    b.text("9COT").text("INFO").le32(3).text("abc");
    tbChunk(b, "1303", 50, 0x80000010u);
    tbChunk(b, "0303", 20);
    synth->importTechnobox2Patterns(file("bank.tb", b).c_str());
    EXPECT_EQ(20, synth->patterns[0].steps[0].pitch);
    EXPECT_EQ(0x80000010u, synth->patterns[12].header);
    EXPECT_EQ(61, synth->patterns[23].steps[0].pitch);
    EXPECT_TRUE(untouched(24));
}

TEST_F(PatternImport, TechnoboxSecondChunkAloneLeavesTheFirstBank)
{
    ByteBuilder b;
    b.text("9COT");
    tbChunk(b, "1303", 50);
    synth->importTechnobox2Patterns(file("bank.tb", b).c_str());
    EXPECT_TRUE(untouched(0));
    EXPECT_TRUE(untouched(11));
    EXPECT_EQ(50, synth->patterns[12].steps[0].pitch);
}

TEST_F(PatternImport, TechnoboxLengthsAreKeptWithinTheBank)
{
    ByteBuilder b;
    b.text("9COT").text("0303").le32(3 * 136);
    tbRecord(b, 0x80000000u, 1);
    tbRecord(b, 100, 2);
    tbRecord(b, 0x12345640u, 3);
    synth->importTechnobox2Patterns(file("bank.tb", b).c_str());
    EXPECT_EQ(0x80000001u, synth->patterns[0].header);
    EXPECT_EQ(64, synth->patterns[1].getLength());
    EXPECT_EQ(0x12345640u, synth->patterns[2].header);
    EXPECT_TRUE(untouched(3)) << "records the chunk does not hold";
}

TEST_F(PatternImport, TechnoboxDamagedFiles)
{
    ByteBuilder badMagic;
    badMagic.text("9COX");
    tbChunk(badMagic, "0303", 1);
    synth->importTechnobox2Patterns(file("a.tb", badMagic).c_str());
    EXPECT_TRUE(untouched(0));

    ByteBuilder tooShort;
    tooShort.text("9COT");
    synth->importTechnobox2Patterns(file("b.tb", tooShort).c_str());
    EXPECT_TRUE(untouched(0));

    ByteBuilder truncated; // a chunk that says 12 records but holds one and a half
    truncated.text("9COT").text("0303").le32(kTbChunkSize);
    tbRecord(truncated, 5, 7).fill(70, 0);
    synth->importTechnobox2Patterns(file("c.tb", truncated).c_str());
    EXPECT_EQ(5u, synth->patterns[0].header);
    EXPECT_TRUE(untouched(1));

    ByteBuilder oversized; // 20 records: the first 12 are taken and the walk goes on after it
    oversized.text("9COT").text("0303").le32(20 * 136);
    for (int r = 0; r < 20; ++r)
        tbRecord(oversized, 9, 30 + r);
    tbChunk(oversized, "1303", 90);
    oversized.text("03"); // a header cut off by the end of the file
    synth->importTechnobox2Patterns(file("d.tb", oversized).c_str());
    EXPECT_EQ(41, synth->patterns[11].steps[0].pitch);
    EXPECT_EQ(90, synth->patterns[12].steps[0].pitch);

    EXPECT_EQ(0, synth->importTechnobox2Patterns(folder.path("missing.tb").c_str()));
}

TEST_F(PatternImport, PhoscyonUpAndDownTogetherMoveUpAnOctave)
{
    std::string text = phBlock(12, "5 1 1 1 1 1 0 0 0");
    text += phBlock(0, "7 1 0 0 0 0 0 0 0") + phBlock(99, "-3 0 1 1 0 0 9 9 9");
    EXPECT_EQ(1, synth->importPhoscyonPatterns(file("bank.ph", text).c_str()));
    EXPECT_EQ(12, synth->patterns[0].getLength());
    EXPECT_EQ(17, synth->patterns[0].steps[0].pitch);
    EXPECT_EQ(step_t::kGate | step_t::kUp | step_t::kSlide | step_t::kAccent, synth->patterns[0].steps[15].flags);
    EXPECT_EQ(16, synth->patterns[0].steps[16].pitch) << "steps 16..63 keep their contents";
    EXPECT_EQ(1, synth->patterns[1].getLength());
    EXPECT_EQ(step_t::kDown, synth->patterns[1].steps[0].flags);
    EXPECT_EQ(64, synth->patterns[2].getLength());
    EXPECT_EQ(-3, synth->patterns[2].steps[0].pitch);
    EXPECT_TRUE(untouched(3)) << "patterns the file does not reach";
}

TEST_F(PatternImport, PhoscyonWholeBankAndEarlyEnds)
{
    std::string text;
    for (int p = 0; p < 128; ++p)
        text += phBlock(1 + p % 64, std::to_string(p % 24) + " 0 0 1 0 0 0 0 0");
    EXPECT_EQ(1, synth->importPhoscyonPatterns(file("full.ph", text).c_str()));
    EXPECT_EQ(64, synth->patterns[63].getLength());
    EXPECT_EQ(127 % 24, synth->patterns[127].steps[15].pitch);

    for (int p = 0; p < oxn3::kUserPatterns; ++p)
        synth->patterns[p] = numberedPattern(16, 0x40);
    const std::string cut = phBlock(3, "1 0 0 1 0 0 0 0 0") + "4 0 0\n1 0 0 1 0 0 0 0";
    synth->importPhoscyonPatterns(file("cut.ph", cut).c_str());
    EXPECT_EQ(3, synth->patterns[0].getLength());
    EXPECT_TRUE(untouched(1)) << "a block that is not whole is not taken";

    synth->importPhoscyonPatterns(file("junk.ph", std::string("hello 1 2 3")).c_str());
    synth->importPhoscyonPatterns(file("big.ph", std::string(5000, '9')).c_str());
    EXPECT_EQ(3, synth->patterns[0].getLength());
    EXPECT_EQ(0, synth->importPhoscyonPatterns(folder.path("missing.ph").c_str()));
}

TEST_F(PatternImport, TB03SixteenStepsIntoTheCurrentPattern)
{
    synth->currentPattern = 9;
    const std::string text = "BANK = 1\nEND_STEP\t= 15\nTRIPLET\t= 1\n" + prmSteps(1, 16);
    EXPECT_EQ(1, synth->importTB03Pattern(file("p.prm", text).c_str()));
    const Vst303Pattern& p = synth->patterns[9];
    EXPECT_EQ(16, p.getLength());
    EXPECT_EQ(1, p.getTriplet());
    EXPECT_EQ(0, p.steps[0].pitch) << "NOTE=36";
    EXPECT_EQ(step_t::kGate, p.steps[0].flags);
    EXPECT_EQ(15, p.steps[15].pitch);
    EXPECT_EQ(16, p.steps[16].pitch) << "beyond the length the old steps stay";
    EXPECT_TRUE(untouched(0));
}

TEST_F(PatternImport, TB03FieldsInAnyOrderAndRawValues)
{
    const std::string text = "END_STEP = 2\n"
                             "STEP 1 = SLIDE=1 ACCENT=1 NOTE=24 STATE=1\n"
                             "STEP 2 = NOTE=291 STATE=33 SLIDE=0 ACCENT=0\n";
    synth->importTB03Pattern(file("p.prm", text).c_str());
    const Vst303Pattern& p = synth->patterns[0];
    EXPECT_EQ(3, p.getLength());
    EXPECT_EQ(0, p.getTriplet());
    EXPECT_EQ(-12, p.steps[0].pitch);
    EXPECT_EQ(step_t::kGate | step_t::kSlide | step_t::kAccent, p.steps[0].flags);
    EXPECT_EQ(-1, p.steps[1].pitch) << "(291 - 36) as a byte";
    EXPECT_EQ(step_t::kGate | step_t::kTie, p.steps[1].flags);
    EXPECT_EQ(0, p.steps[2].pitch) << "a step without STEP item is a rest on pitch 0";
    EXPECT_EQ(0, p.steps[2].flags);
}

TEST_F(PatternImport, TB03StepNumbersOutsideTheLengthAreSkipped)
{
    const std::string text = "STEP 2 = STATE=1 NOTE=40 ACCENT=0 SLIDE=0\n"
                             "END_STEP = 3\n"
                             "STEP 0 = STATE=1 NOTE=41 ACCENT=0 SLIDE=0\n"
                             "STEP 5 = STATE=1 NOTE=42 ACCENT=0 SLIDE=0\n"
                             "STEP -1 = STATE=1 NOTE=43 ACCENT=0 SLIDE=0\n"
                             "STEP 4 = STATE=1 NOTE=44 ACCENT=1 SLIDE=0\n";
    synth->importTB03Pattern(file("p.prm", text).c_str());
    const Vst303Pattern& p = synth->patterns[0];
    EXPECT_EQ(4, p.getLength());
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(0, p.steps[i].pitch) << i;
        EXPECT_EQ(0, p.steps[i].flags) << i;
    }
    EXPECT_EQ(8, p.steps[3].pitch);
    EXPECT_EQ(step_t::kGate | step_t::kAccent, p.steps[3].flags);
}

TEST_F(PatternImport, TB03LengthIsHeldToSixtyFour)
{
    synth->importTB03Pattern(file("p.prm", "END_STEP = 2147483647\n" + prmSteps(60, 70)).c_str());
    const Vst303Pattern& p = synth->patterns[0];
    EXPECT_EQ(64, p.getLength());
    EXPECT_EQ(63, p.steps[63].pitch);
    synth->importTB03Pattern(file("q.prm", std::string("END_STEP = -7\n") + prmSteps(1, 2)).c_str());
    EXPECT_EQ(1, synth->patterns[0].getLength());
}

TEST_F(PatternImport, TB03FilesWithoutEndStepChangeNothing)
{
    const std::string longWord(1000, 'K');
    EXPECT_EQ(1, synth->importTB03Pattern(file("a.prm", longWord + " = 5\n" + prmSteps(1, 4)).c_str()));
    EXPECT_EQ(1, synth->importTB03Pattern(file("b.prm", std::string("END_STEP = x\nEND_STEP")).c_str()));
    EXPECT_EQ(1, synth->importTB03Pattern(file("c.prm", std::string("")).c_str()));
    EXPECT_TRUE(untouched(0));
    EXPECT_EQ(0, synth->importTB03Pattern(folder.path("missing.prm").c_str()));
}
