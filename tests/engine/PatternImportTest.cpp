#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/Synth303.h"
#include "patterns/PatternTestHelpers.h"
#include "patterns/ScratchFolder.h"

namespace
{
constexpr int kTbRecordBytes = 136;
const std::vector<uint32_t> kTwelveRecords(12, 8);

// A technoBox2 chunk, one record per header, flags 0x11: pattern p gets pitch 10 + p + step.
ByteBuilder tbChunk(ByteBuilder b, const char* id, const std::vector<uint32_t>& headers = kTwelveRecords,
                    uint32_t size = 0)
{
    b.text(id).le32(size != 0 ? size : static_cast<uint32_t>(headers.size() * kTbRecordBytes));
    int seed = id[0] == '0' ? 10 : 22;
    for (uint32_t header : headers)
    {
        b.le32(header);
        for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
            b.byte(seed + s).byte(0x11);
        b.fill(4, 0xAB);
        ++seed;
    }
    return b;
}

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
        text += "STEP " + std::to_string(n) + "\t= STATE=1 NOTE=" + std::to_string(35 + n) +
                " ACCENT=0 SLIDE=0\n";
    return text;
}

class PatternImport : public ::testing::Test
{
  protected:
    std::unique_ptr<Synth303> synth = std::make_unique<Synth303>();
    ScratchFolder folder;

    PatternImport() { refill(); }

    void refill()
    {
        for (int p = 0; p < oxn3::kUserPatterns; ++p)
            synth->patterns[p] = numberedPattern(16, 0x40);
    }

    bool untouched(int p) const { return sameRecord(numberedPattern(16, 0x40), synth->patterns[p]); }
};
} // namespace

TEST_F(PatternImport, TechnoboxChunksReplaceTheirTwelvePatterns)
{
    // {file, records taken into patterns 0..11 and into 12..23, headers to check}
    const ByteBuilder tb = ByteBuilder().text("9COT");
    // clang-format off
    const std::tuple<const char*, ByteBuilder, int, int, std::vector<std::pair<int, uint32_t>>> cases[] = {
        {"only 0303", tbChunk(tb, "0303"), 12, 0, {{0, 8u}, {11, 8u}}},
        {"both, among others", tbChunk(tbChunk(ByteBuilder(tb).text("INFO").le32(3).text("abc"), "1303",
                                               std::vector<uint32_t>(12, 0x80000010u)), "0303"),
         12, 12, {{12, 0x80000010u}}},
        {"lengths held to 1..64", tbChunk(tb, "0303", {0x80000000u, 100, 0x12345640u}), 3, 0,
         {{0, 0x80000001u}, {1, 64u}, {2, 0x12345640u}}},
        {"bad magic", tbChunk(ByteBuilder().text("9COX"), "0303"), 0, 0, {}},
        {"chunk cut short", tbChunk(tb, "0303", {5}, 12 * kTbRecordBytes).fill(70, 0), 1, 0, {{0, 5u}}},
        {"oversized chunk, cut header",
         tbChunk(tbChunk(tb, "0303", std::vector<uint32_t>(20, 9)), "1303").text("03"), 12, 12, {}},
    };
    // clang-format on
    for (const auto& [name, bytes, firstRecords, secondRecords, headers] : cases)
    {
        SCOPED_TRACE(name);
        refill();
        EXPECT_EQ(0, synth->importTechnobox2Patterns(folder.write("bank.tb", bytes.bytes).c_str()));
        for (int p = 0; p < 25; ++p)
        {
            const int records = p < 12 ? firstRecords : p < 24 ? secondRecords : 0;
            const step_t* steps = synth->patterns[p].steps;
            if (p % 12 >= records)
                EXPECT_TRUE(untouched(p)) << p;
            else
                EXPECT_TRUE(steps[0].pitch == 10 + p && steps[63].pitch == int8_t(73 + p) &&
                            steps[63].flags == 0x11)
                    << p;
        }
        for (const auto& [p, header] : headers)
            EXPECT_EQ(header, synth->patterns[p].header) << p;
    }
    EXPECT_EQ(0, synth->importTechnobox2Patterns(folder.path("missing.tb").c_str()));
}

TEST_F(PatternImport, PhoscyonBankEarlyEndsAndJunk)
{
    // Up and down together: an octave up, up kept. Lengths held to 1..64; steps 16..63 kept.
    std::string text = phBlock(12, "5 1 1 1 1 1 0 0 0") + phBlock(0, "7 1 0 0 0 0 0 0 0") +
                       phBlock(99, "-3 0 1 1 0 0 9 9 9");
    for (int p = 3; p < 128; ++p)
        text += phBlock(1 + p % 64, std::to_string(p % 24) + " 0 0 1 0 0 0 0 0");
    EXPECT_EQ(1, synth->importPhoscyonPatterns(folder.write("full.ph", text).c_str()));
    const Vst303Pattern* p = synth->patterns;
    EXPECT_EQ(std::vector<int>({p[0].getLength(), p[1].getLength(), p[2].getLength(), p[63].getLength()}),
              std::vector<int>({12, 1, 64, 64}));
    EXPECT_EQ(p[0].steps[0], stepOf(17, step_t::kGate | step_t::kUp | step_t::kSlide | step_t::kAccent));
    EXPECT_EQ(p[0].steps[16], stepOf(16, 0x40));
    EXPECT_EQ(p[1].steps[0], stepOf(7, step_t::kDown));
    EXPECT_EQ(p[2].steps[0], stepOf(-3, step_t::kGate | step_t::kUp));
    EXPECT_EQ(p[127].steps[15], stepOf(127 % 24, step_t::kGate));

    // A block that is not whole is not taken, nor the patterns after it.
    refill();
    const std::string cut = phBlock(3, "1 0 0 1 0 0 0 0 0") + "4 0 0\n1 0 0 1 0 0 0 0";
    synth->importPhoscyonPatterns(folder.write("cut.ph", cut).c_str());
    synth->importPhoscyonPatterns(folder.write("junk.ph", "hello 1 2 3").c_str());
    EXPECT_EQ(3, synth->patterns[0].getLength());
    EXPECT_TRUE(untouched(1) && untouched(2));
    EXPECT_EQ(0, synth->importPhoscyonPatterns(folder.path("missing.ph").c_str()));
}

TEST_F(PatternImport, TB03StepsIntoTheCurrentPattern)
{
    // Fields in any order, values taken raw; STEP items before END_STEP, numbered 0, negative or
    // beyond END_STEP + 1 are skipped; a step without STEP item is a rest on pitch 0.
    synth->currentPattern = 9;
    const std::string text =
        "BANK = 1\nSTEP 3 = STATE=1 NOTE=40 ACCENT=0 SLIDE=0\nEND_STEP\t= 15\nTRIPLET\t= 1\n"
        "STEP 1 = SLIDE=1 ACCENT=1 NOTE=24 STATE=1\nSTEP 2 = NOTE=291 STATE=33 SLIDE=0 ACCENT=0\n"
        "STEP 0 = STATE=1 NOTE=41 ACCENT=0 SLIDE=0\nSTEP 17 = STATE=1 NOTE=42 ACCENT=0 SLIDE=0\n"
        "STEP -1 = STATE=1 NOTE=43 ACCENT=0 SLIDE=0\n" +
        prmSteps(5, 16);
    EXPECT_EQ(1, synth->importTB03Pattern(folder.write("p.prm", text).c_str()));
    Vst303Pattern expected = numberedPattern(16, 0x40);
    expected.setTriplet(1);
    for (int i = 0; i < 16; ++i)
        expected.steps[i] = stepOf(i > 3 ? i : 0, i > 3 ? step_t::kGate : 0);
    expected.steps[0] = stepOf(-12, step_t::kGate | step_t::kSlide | step_t::kAccent);
    expected.steps[1] = stepOf(-1, step_t::kGate | step_t::kTie); // (291 - 36) as a byte
    EXPECT_TRUE(sameRecord(expected, synth->patterns[9]));          // beyond the length the old steps stay
    EXPECT_TRUE(untouched(0));
}

TEST_F(PatternImport, TB03LengthBoundsAndFilesWithoutEndStep)
{
    synth->importTB03Pattern(folder.write("p.prm", "END_STEP = 2147483647\n" + prmSteps(60, 70)).c_str());
    EXPECT_EQ(64, synth->patterns[0].getLength());
    EXPECT_EQ(step_t::kGate, synth->patterns[0].steps[63].flags) << "steps up to the 64th are read";
    EXPECT_EQ(0, synth->patterns[0].steps[58].flags) << "a step without STEP item is a rest";

    // {text, length after; 0 = the pattern stays untouched}
    const std::pair<std::string, int> cases[] = {
        {"END_STEP = -7\n" + prmSteps(1, 2), 1},
        {std::string(1000, 'K') + " = 5\n" + prmSteps(1, 4), 0},
    };
    for (const auto& [text, length] : cases)
    {
        SCOPED_TRACE(text.substr(0, 20));
        refill();
        EXPECT_EQ(1, synth->importTB03Pattern(folder.write("p.prm", text).c_str()));
        if (length == 0)
            EXPECT_TRUE(untouched(0));
        else
            EXPECT_EQ(length, synth->patterns[0].getLength());
    }
    EXPECT_EQ(0, synth->importTB03Pattern(folder.path("missing.prm").c_str()));
}
