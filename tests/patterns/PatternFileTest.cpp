#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "patterns/PatternTestHelpers.h"
#include "patterns/ScratchFolder.h"
#include "patterns/Vst303PatternMetaData.h"

namespace
{
constexpr int G = step_t::kGate, U = step_t::kUp, D = step_t::kDown, S = step_t::kSlide;
constexpr int A = step_t::kAccent, T = step_t::kTie;
constexpr int kLineFlags = 0x1F; // what a step line carries; the tie is cleared, spare bits stay in the slot

std::string saved(const ScratchFolder& folder, const Vst303Pattern& p, const Vst303PatternMetaData* meta)
{
    const std::string file = folder.path("out.pat");
    EXPECT_EQ(p.Save(file.c_str(), nullptr, meta), 1);
    return ScratchFolder::read(file);
}
} // namespace

TEST(PatternFile, SaveThenLoadKeepsLengthTripletPitchesAndFlagsAndClearsTheTie)
{
    Vst303Pattern source = numberedPattern(32);
    source.setTriplet(1);
    for (int i = 0; i < 32; ++i) // every combination of the five line flags, with spare bits
        source.steps[i] = stepOf(i * 8 - 128, i * 9);
    source.steps[31].pitch = 127;
    FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(source.Save(nullptr, stream, nullptr), 1);
    std::rewind(stream);
    Vst303Pattern target = numberedPattern(40, T | 0x40);
    ASSERT_EQ(target.Load(nullptr, stream, nullptr), 1);
    std::fclose(stream);
    EXPECT_EQ(target.header, source.header);
    for (int i = 0; i < 40; ++i)
    {
        const step_t s = i < 32 ? stepOf(source.steps[i].pitch, source.steps[i].flags & kLineFlags)
                                : stepOf(i, T); // beyond the length: the target's own
        EXPECT_EQ(target.steps[i], stepOf(s.pitch, s.flags | 0x40)) << i;
    }
}

TEST(PatternFile, SaveWritesTagLineMetaLineAndOneLinePerStep)
{
    ScratchFolder folder;
    Vst303Pattern p = numberedPattern(16);
    p.setTriplet(1);
    p.steps[0] = stepOf(-3, D | A | G | T);
    p.steps[1].flags = U | S;
    std::string expected = "; OXN3 Meta tag: 2147483664\n-3 1 0 1 0 1\n1 0 1 0 1 0\n";
    for (int i = 2; i < 16; ++i)
        expected += std::to_string(i) + " 0 0 0 0 1\n";
    EXPECT_EQ(saved(folder, p, nullptr), expected);
    EXPECT_EQ(p.Save(folder.path("no/such/folder.pat").c_str(), nullptr, nullptr), 0);

    Vst303PatternMetaData meta;
    EXPECT_EQ(saved(folder, numberedPattern(1, 0), &meta), "; OXN3 Meta tag: 1\n; \n0 0 0 0 0 0\n");
    meta.setValue("Cutoff:", 0.25f);
    meta.setValue("Tune:", 0.5f);
    EXPECT_EQ(saved(folder, numberedPattern(2), &meta),
              "; OXN3 Meta tag: 2\n; Tune: 0.500000 Cutoff: 0.250000 \n0 0 0 0 0 1\n1 0 0 0 0 1\n");

    Vst303PatternMetaData loaded;
    loaded.setValue("Drive:", 0.9f); // loading starts from no tag present
    ASSERT_EQ(p.Load(folder.path("out.pat").c_str(), nullptr, &loaded), 1);
    EXPECT_EQ(p.getLength(), 2);
    float tune = 0, cutoff = 0, drive = 0;
    EXPECT_TRUE(loaded.getValue("Tune:", &tune) && loaded.getValue("Cutoff:", &cutoff));
    EXPECT_EQ(loaded.getValue("Drive:", &drive), 0);
    EXPECT_EQ(std::make_pair(tune, cutoff), std::make_pair(0.5f, 0.25f));
}

// Files of all three generations and damaged ones, loaded into a slot whose step i has pitch i and
// the tie: no step the file sets keeps a tie; steps it does not reach keep theirs.
TEST(PatternFile, LoadReadsAllGenerationsAndStopsSafelyOnDamage)
{
    std::string twelveLines = "; OXN3 Meta tag: 8\n", seventyOldLines;
    for (int i = 1; i <= 12; ++i)
        twelveLines += std::to_string(i) + " 0 0 0 0 1\n";
    for (int i = 0; i < 70; ++i)
        seventyOldLines += i % 2 ? "d-3 1 0 0\n" : "e-4 0 0 1\n";
    // text -> length, triplet, {step, pitch, flags}
    const std::tuple<std::string, int, int, std::vector<std::tuple<int, int, int>>> cases[] = {
        {twelveLines, 8, 0, {{7, 8, G}, {8, 8, T}}}, // the tag's length limits the lines read
        {seventyOldLines, 64, 0, {{0, 4, U | A}, {1, 2, G}, {63, 2, G}}},
        {"a#5 1 1 0\n", 1, 0, {{0, 22, U | G | S}, {1, 1, T}}},
        {"c-2 0 0 0\nc-3 0 0 0\nc-5 0 0 0\nb-3 2 3 1\n", // only the lowest bit of a switch counts
         4, 0, {{0, 0, D}, {1, 0, 0}, {2, 12, U}, {3, 11, S | A}}},
        // An upper-case name takes the previous note index (0 before the first).
        {"A#5 1 1 0\nd-3 1 0 0\nE-4 0 0 0\n", 3, 0, {{0, 12, U | G | S}, {1, 2, G}, {2, 2, U}}},
        {"; OXN2 Meta tag: 2147483650\nc#3 1 0 0\nd-3 1 0 0\ne-3 1 0 0\n", 2, 1,
         {{0, 1, G}, {1, 2, G}, {2, 2, T}}},
        {"; OXN3 Meta tag: 16\n9 0 0 0 0 1\n4 0 0\n3 0 0 0 0 1\n", 1, 0, {{0, 9, G}, {1, 1, T}}},
        // The comment's meta pair lies past the 255 characters kept.
        {";" + std::string(300, 'x') + " Tune: 0.5\n; OXN3 Meta tag: 4294967295\n"
                                       "3 99999999999999999999 -99999999999 0 0 7\n",
         1, 1, {{0, 3, D | U | G}}},
    };
    ScratchFolder folder;
    Vst303Pattern untouched = numberedPattern(16, T);
    untouched.setTriplet(1);
    const Vst303Pattern original = untouched;
    EXPECT_EQ(untouched.Load(folder.path("missing.pat").c_str(), nullptr, nullptr), 0);
    // Without a single step line (empty, only a tag line, binary) the load fails and the slot stays.
    for (const std::string& text : {std::string(), std::string("; OXN3 Meta tag: 7\n"),
                                    std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)})
        EXPECT_EQ(untouched.Load(folder.write("in.pat", text).c_str(), nullptr, nullptr), 0) << text.size();
    EXPECT_TRUE(sameRecord(untouched, original));
    for (const auto& [text, length, triplet, steps] : cases)
    {
        SCOPED_TRACE(text.substr(0, 40));
        GuardedPattern g;
        Vst303Pattern& p = g.pattern = numberedPattern(16, T);
        Vst303PatternMetaData meta;
        meta.setValue("Tune:", 0.1f);
        ASSERT_EQ(p.Load(folder.write("in.pat", text).c_str(), nullptr, &meta), 1);
        EXPECT_TRUE(g.intact());
        EXPECT_EQ(p.getLength(), length);
        EXPECT_EQ(p.getTriplet(), triplet);
        for (const auto& [index, pitch, flags] : steps)
            EXPECT_EQ(p.steps[index], stepOf(pitch, flags)) << "step " << index;
        for (int i = 0; i < Vst303PatternMetaData::kTagCount; ++i)
            EXPECT_EQ(meta.present[i], 0) << Vst303PatternMetaData::meta_tag_table[i];
    }
}
