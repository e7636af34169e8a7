#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "patterns/PatternTestHelpers.h"
#include "patterns/ScratchFolder.h"
#include "patterns/Vst303Pattern.h"
#include "patterns/Vst303PatternMetaData.h"

namespace
{
constexpr uint8_t kLowFlags = 0x1F;  // gate, up, down, slide, accent: what a .pat line carries
constexpr uint8_t kHighFlags = 0xE0; // tie and the spare bits: kept from the slot

Vst303Pattern loadText(const ScratchFolder& folder, const std::string& text, Vst303PatternMetaData* meta = nullptr,
                       const Vst303Pattern& start = Vst303Pattern())
{
    Vst303Pattern p = start;
    const std::string file = folder.write("in.pat", text);
    EXPECT_EQ(1, p.Load(file.c_str(), nullptr, meta));
    return p;
}
} // namespace

TEST(PatternFileRoundTrip, SaveThenLoadKeepsLengthTripletPitchesAndFlags)
{
    ScratchFolder folder;
    Vst303Pattern source = numberedPattern(13);
    source.setTriplet(1);
    setFlags(source, {0x01, 0x03, 0x05, 0x07, 0x09, 0x11, 0x1F, 0x00, 0x21, 0xE1});
    source.steps[2].pitch = -12;
    source.steps[3].pitch = 127;
    source.steps[4].pitch = -128;
    const std::string file = folder.path("round.pat");
    ASSERT_EQ(1, source.Save(file.c_str(), nullptr, nullptr));

    Vst303Pattern target = numberedPattern(40, step_t::kTie | 0x40);
    ASSERT_EQ(1, target.Load(file.c_str(), nullptr, nullptr));
    EXPECT_EQ(source.header, target.header);
    EXPECT_EQ(13, target.getLength());
    EXPECT_EQ(1, target.getTriplet());
    for (int i = 0; i < 13; ++i)
    {
        EXPECT_EQ(source.steps[i].pitch, target.steps[i].pitch) << i;
        EXPECT_EQ(source.steps[i].flags & kLowFlags, target.steps[i].flags & kLowFlags) << i;
        EXPECT_EQ(step_t::kTie | 0x40, target.steps[i].flags & kHighFlags) << "tie comes from the slot " << i;
    }
    EXPECT_EQ(20, target.steps[20].pitch) << "steps after the length stay";
}

TEST(PatternFileRoundTrip, WritesTagLineAndOneLinePerStep)
{
    ScratchFolder folder;
    Vst303Pattern p = numberedPattern(16);
    p.setTriplet(1);
    p.steps[0].pitch = -3;
    p.steps[0].flags = step_t::kDown | step_t::kAccent | step_t::kGate | step_t::kTie;
    p.steps[1].flags = step_t::kUp | step_t::kSlide;
    const std::string file = folder.path("out.pat");
    ASSERT_EQ(1, p.Save(file.c_str(), nullptr, nullptr));
    const std::string text = ScratchFolder::read(file);
    EXPECT_EQ(0u, text.find("; OXN3 Meta tag: 2147483664\n-3 1 0 1 0 1\n1 0 1 0 1 0\n2 0 0 0 0 1\n"));
    EXPECT_EQ("15 0 0 0 0 1\n", text.substr(text.size() - 13));
    EXPECT_EQ(17, std::count(text.begin(), text.end(), '\n'));
}

TEST(PatternFileRoundTrip, MetaLineIsWrittenAndReadBack)
{
    ScratchFolder folder;
    Vst303PatternMetaData meta;
    meta.setValue("Tune:", 0.5f);
    meta.setValue("Cutoff:", 0.25f);
    Vst303Pattern p = numberedPattern(2);
    const std::string file = folder.path("meta.pat");
    ASSERT_EQ(1, p.Save(file.c_str(), nullptr, &meta));
    EXPECT_EQ("; OXN3 Meta tag: 2\n; Tune: 0.500000 Cutoff: 0.250000 \n0 0 0 0 0 1\n1 0 0 0 0 1\n",
              ScratchFolder::read(file));

    Vst303PatternMetaData loaded;
    loaded.setValue("Drive:", 0.9f); // a reset must drop it
    Vst303Pattern q;
    ASSERT_EQ(1, q.Load(file.c_str(), nullptr, &loaded));
    float v = 0.0f;
    EXPECT_EQ(1, loaded.getValue("Tune:", &v));
    EXPECT_FLOAT_EQ(0.5f, v);
    EXPECT_EQ(1, loaded.getValue("Cutoff:", &v));
    EXPECT_FLOAT_EQ(0.25f, v);
    EXPECT_EQ(0, loaded.getValue("Drive:", &v));
    EXPECT_EQ(2, q.getLength());
}

TEST(PatternFileRoundTrip, FileWithoutMetaLineLeavesEveryTagAbsent)
{
    ScratchFolder folder;
    Vst303PatternMetaData meta;
    meta.setValue("Tune:", 0.1f);
    loadText(folder, "; OXN3 Meta tag: 1\n0 0 0 0 0 1\n", &meta);
    for (int i = 0; i < Vst303PatternMetaData::kTagCount; ++i)
        EXPECT_EQ(0, meta.present[i]) << Vst303PatternMetaData::meta_tag_table[i];
}

TEST(PatternFileRoundTrip, StreamIsUsedWithoutPath)
{
    FILE* stream = std::tmpfile();
    ASSERT_NE(nullptr, stream);
    Vst303Pattern source = numberedPattern(5, step_t::kGate | step_t::kSlide);
    ASSERT_EQ(1, source.Save(nullptr, stream, nullptr));
    std::rewind(stream);
    Vst303Pattern target;
    EXPECT_EQ(1, target.Load(nullptr, stream, nullptr));
    std::fclose(stream);
    EXPECT_EQ(5, target.getLength());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(source.steps[i].flags, target.steps[i].flags) << i;
}

TEST(PatternFileRoundTrip, UnopenableFilesReportZeroAndChangeNothing)
{
    ScratchFolder folder;
    Vst303Pattern p = numberedPattern(7);
    const Vst303Pattern before = p;
    EXPECT_EQ(0, p.Load(folder.path("missing.pat").c_str(), nullptr, nullptr));
    EXPECT_EQ(0, p.Load(nullptr, nullptr, nullptr));
    EXPECT_TRUE(sameRecord(before, p));
    EXPECT_EQ(0, p.Save(folder.path("no/such/folder.pat").c_str(), nullptr, nullptr));
    EXPECT_EQ(0, p.Save(nullptr, nullptr, nullptr));
}

TEST(PatternFileLoad, TagLengthLimitsTheStepsRead)
{
    ScratchFolder folder;
    std::string text = "; OXN3 Meta tag: 8\n";
    for (int i = 0; i < 12; ++i)
        text += std::to_string(i + 1) + " 0 0 0 0 1\n";
    const Vst303Pattern p = loadText(folder, text, nullptr, numberedPattern(16, 0));
    EXPECT_EQ(8, p.getLength());
    EXPECT_EQ(8, p.steps[7].pitch);
    EXPECT_EQ(8, p.steps[8].pitch) << "lines after the tagged length are not read";
    EXPECT_EQ(0, p.steps[8].flags);
}

TEST(PatternFileLoad, SeventyOldLinesLoadSixtyFourSteps)
{
    ScratchFolder folder;
    std::string text;
    for (int i = 0; i < 70; ++i)
        text += (i % 2 ? "d-3 1 0 0\n" : "e-4 0 0 1\n");
    const Vst303Pattern p = loadText(folder, text);
    EXPECT_EQ(64, p.getLength());
    EXPECT_EQ(4, p.steps[0].pitch);
    EXPECT_EQ(step_t::kUp | step_t::kAccent, p.steps[0].flags);
    EXPECT_EQ(2, p.steps[63].pitch);
    EXPECT_EQ(step_t::kGate, p.steps[63].flags);
}

TEST(PatternFileLoad, OldLineSetsPitchOctaveAndSwitches)
{
    ScratchFolder folder;
    Vst303Pattern slot;
    slot.steps[0].flags = step_t::kTie; // the old generation replaces the whole flags byte
    const Vst303Pattern p = loadText(folder, "a#5 1 1 0\n", nullptr, slot);
    EXPECT_EQ(22, p.steps[0].pitch);
    EXPECT_EQ(step_t::kUp | step_t::kGate | step_t::kSlide, p.steps[0].flags);
    EXPECT_EQ(1, p.getLength());
}

TEST(PatternFileLoad, OctaveDigitsMapToFlagsAndPitch)
{
    ScratchFolder folder;
    const Vst303Pattern p =
        loadText(folder, "c-0 0 0 0\nc-2 0 0 0\nc-3 0 0 0\nc-4 0 0 0\nc-5 0 0 0\nc-6 0 0 0\nc-9 0 0 0\nc-/ 0 0 0\n"
                         "b-3 3 2 3\n");
    const uint8_t flags[] = {step_t::kDown, step_t::kDown, 0, step_t::kUp, step_t::kUp, step_t::kUp, step_t::kUp,
                             step_t::kUp};
    const int pitches[] = {0, 0, 0, 0, 12, 24, 0, 0};
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(flags[i], p.steps[i].flags) << i;
        EXPECT_EQ(pitches[i], p.steps[i].pitch) << i;
    }
    EXPECT_EQ(11, p.steps[8].pitch);
    EXPECT_EQ(step_t::kGate | step_t::kAccent, p.steps[8].flags) << "only the lowest bit of a switch counts";
    EXPECT_EQ(9, p.getLength());
}

TEST(PatternFileLoad, UpperCaseNoteNameTakesThePreviousNote)
{
    ScratchFolder folder;
    const Vst303Pattern p = loadText(folder, "A#5 1 1 0\nd-3 1 0 0\nE-4 0 0 0\n");
    EXPECT_EQ(12, p.steps[0].pitch) << "before any known name the note index is 0";
    EXPECT_EQ(2, p.steps[1].pitch);
    EXPECT_EQ(2, p.steps[2].pitch);
    EXPECT_EQ(step_t::kUp, p.steps[2].flags);
}

TEST(PatternFileLoad, OlderTagSetsHeaderAndLimit)
{
    ScratchFolder folder;
    const Vst303Pattern p =
        loadText(folder, "; OXN2 Meta tag: 2147483650\nc#3 1 0 0\nd-3 1 0 0\ne-3 1 0 0\n", nullptr,
                 numberedPattern(16, 0));
    EXPECT_EQ(2, p.getLength());
    EXPECT_EQ(1, p.getTriplet());
    EXPECT_EQ(1, p.steps[0].pitch);
    EXPECT_EQ(2, p.steps[1].pitch);
    EXPECT_EQ(2, p.steps[2].pitch);
}

TEST(PatternFileLoad, CarriageReturnsAndBlankLinesAreWhiteSpace)
{
    ScratchFolder folder;
    const Vst303Pattern p =
        loadText(folder, "; OXN3 Meta tag: 3\r\n\r\n  5 0 1 0 0 1\r\n\t6 1 0 0 1 1\r7 0 0 1 0 0\r\n");
    EXPECT_EQ(3, p.getLength());
    EXPECT_EQ(5, p.steps[0].pitch);
    EXPECT_EQ(step_t::kUp | step_t::kGate, p.steps[0].flags);
    EXPECT_EQ(step_t::kDown | step_t::kSlide | step_t::kGate, p.steps[1].flags);
    EXPECT_EQ(step_t::kAccent, p.steps[2].flags);
}

TEST(PatternFileLoad, MalformedAndEmptyFilesKeepWhatWasRead)
{
    ScratchFolder folder;
    EXPECT_EQ(1, loadText(folder, "").getLength());
    EXPECT_EQ(1, loadText(folder, "; just a comment\n").getLength());
    const Vst303Pattern p = loadText(folder, "; OXN3 Meta tag: 16\n9 0 0 0 0 1\n4 0 0\n3 0 0 0 0 1\n");
    EXPECT_EQ(1, p.getLength());
    EXPECT_EQ(9, p.steps[0].pitch);
    EXPECT_EQ(1, loadText(folder, "; OXN3 Meta tag: 16\nx-3 1\n").getLength());
}

TEST(PatternFileLoad, HugeNumbersAndLongLinesStayInBounds)
{
    ScratchFolder folder;
    std::string longComment = ";" + std::string(300, 'x') + " Tune: 0.5\n";
    Vst303PatternMetaData meta;
    const Vst303Pattern p =
        loadText(folder, longComment + "; OXN3 Meta tag: 99999999999999999999\n"
                                       "99999999999999999999 -99999999999 2 0 0 7\n",
                 &meta);
    EXPECT_EQ(0, meta.present[0]) << "the tag lies past the 255 characters kept";
    EXPECT_EQ(1, p.getLength());
    EXPECT_EQ(step_t::kDown | step_t::kUp | step_t::kGate, p.steps[0].flags);
}
