#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/framework/PanelRules.h"
#include "ui/window/PatchMenu.h"
#include "ui/window/PatchPath.h"
#include "ui/window/RebirthConversion.h"

using namespace oxn3;

namespace
{
constexpr int kG = step_t::kGate, kU = step_t::kUp, kD = step_t::kDown, kS = step_t::kSlide, kA = step_t::kAccent;

// A unit whose record r has length byte lengths[r] (0 past the list) and whose step s of any
// record carries pitch 3s + 1 + unit and flag byte flagOf(s).
rbs303_t unitWith(const std::vector<int>& lengths, int unit)
{
    rbs303_t u;
    for (int r = 0; r < rebirth::kRecordsPerUnit; ++r)
    {
        uint8_t* rec = u.bytes + rebirth::kFirstRecordByte + rebirth::kRecordBytes * r;
        rec[0] = static_cast<uint8_t>(r < static_cast<int>(lengths.size()) ? lengths[static_cast<size_t>(r)] : 0);
        for (int s = 0; s < 16; ++s)
            rec[1 + 2 * s] = static_cast<uint8_t>(3 * s + 1 + unit), rec[2 + 2 * s] = static_cast<uint8_t>(1 << (s % 5));
    }
    return u;
}
} // namespace

TEST(RebirthImportTable, EachSourceFlagBitOnItsOwn)
{
    // {ReBirth flag byte, flags of the converted step}: bit 4 is the rest bit, bits 5-7 (tie and
    // unused) are dropped.
    const std::pair<int, int> rows[] = {
        {0x00, kG},      {0x01, kG | kS}, {0x02, kG | kA}, {0x04, kG | kU}, {0x08, kG | kD},
        {0x10, 0},       {0x20, kG},      {0x40, kG},      {0x80, kG},      {0x1F, kS | kA | kU | kD},
    };
    for (const auto& [source, flags] : rows)
        EXPECT_EQ(rebirth::convertFlags(static_cast<uint8_t>(source)), flags) << "source bit pattern " << source;
}

TEST(RebirthImportTable, RecordsLandInTheirPatternsWithPitchAndFlagBytesInPlace)
{
    std::vector<int> secondUnit(32, 0);
    secondUnit[0] = 5, secondUnit[31] = 12;
    rbs303_t units[2] = {unitWith({0, 1, 16, 17}, 0), unitWith(secondUnit, 1)};
    std::vector<Vst303Pattern> bank(64);
    for (Vst303Pattern& p : bank)
        p.steps[0].pitch = 99, p.steps[16].pitch = 98, p.setTriplet(1);
    rebirth::convertUnits(units, 2, bank.data());
    // {pattern, length, last step written (-1 none), pitch offset of the unit}
    const std::tuple<int, int, int, int> rows[] = {
        {0, 1, -1, 0}, {1, 1, 0, 0}, {2, 16, 15, 0}, {3, 16, 15, 0}, {32, 5, 4, 1}, {63, 12, 11, 1},
    };
    for (const auto& [pattern, length, last, unit] : rows)
    {
        const Vst303Pattern& p = bank[static_cast<size_t>(pattern)];
        EXPECT_EQ(p.getLength(), length) << pattern;
        EXPECT_EQ(p.getTriplet(), 1) << pattern;
        EXPECT_EQ(p.steps[0].pitch, last >= 0 ? 1 + unit : 99) << pattern;
        if (last >= 0)
        {
            EXPECT_EQ(p.steps[last].pitch * 100 + p.steps[last].flags,
                      (3 * last + 1 + unit) * 100 + rebirth::convertFlags(static_cast<uint8_t>(1 << (last % 5))))
                << pattern;
        }
        EXPECT_EQ(p.steps[16].pitch, 98) << pattern; // a record never reaches past its 16 steps
    }
}

class ImportLimits : public oxn3test::EditorTest
{
  protected:
    juce::Array<juce::File> answer;
    ImportLimits()
    {
        patchMenuSeams().chooseFiles = [this](const PatchFileDialog&) { return answer; };
    }
    ~ImportLimits() override { patchMenuSeams() = {}; }
};

TEST_F(ImportLimits, EachKnobByteOfASongSetsItsOwnParameter)
{
    rbs303_t unit = unitWith({1}, 0);
    // {source byte, parameter, byte value, parameter value}
    const std::tuple<int, int, int, float> rows[] = {
        {2, 0, 127, 1.0f}, {3, 1, 0, 0.0f}, {4, 2, 32, 32 / 127.0f}, {5, 3, 64, 64 / 127.0f},
        {6, 4, 96, 96 / 127.0f}, {7, 5, 10, 10 / 127.0f}, {8, 8, 1, 1.0f},
    };
    for (const auto& [byte, parameter, value, expected] : rows)
        unit.bytes[byte] = static_cast<uint8_t>(value);
    processor->setParameter(1, 0.5f);
    processor->setParameter(8, 0.0f);
    ByteBuilder b;
    b.text("303 ").be32(rbs303_t::kBytes);
    b.bytes.insert(b.bytes.end(), unit.bytes, unit.bytes + rbs303_t::kBytes);
    b.byte(0);
    answer.add(juce::File(folder.write("knobs.rbs", std::string(b.bytes.begin(), b.bytes.end()))));
    editor->menuItemSelected(kMenuImport, editor.get());
    for (const auto& [byte, parameter, value, expected] : rows)
        EXPECT_NEAR(processor->getParameter(parameter), expected, 1e-6) << "byte " << byte;
}

TEST(PathLimitsTable, PatchPathsUpTo255BytesPassAndOneMoreIsRefused)
{
    const juce::String e = juce::String::fromUTF8("\xc3\xa9"); // two bytes
    // {path, fits}
    const std::pair<juce::String, bool> rows[] = {
        {"/" + juce::String::repeatedString("a", 254), true},
        {"/" + juce::String::repeatedString("a", 255), false},
        {"/" + juce::String::repeatedString(e, 127), true},
        {"/a" + juce::String::repeatedString(e, 127), false},
    };
    for (const auto& [path, fits] : rows)
    {
        PatchPath out;
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(toPatchPath(juce::File(path), out), fits) << path.getNumBytesAsUTF8();
        EXPECT_EQ(juce::String::fromUTF8(out), fits ? path : juce::String()) << path.getNumBytesAsUTF8();
    }
}

TEST(PathLimitsTable, PanelTextsKeepCapacityMinusOneBytesAndWholeCharacters)
{
    // {text, capacity, kept}
    const std::tuple<const char*, size_t, const char*> rows[] = {
        {"abcd", 5, "abcd"},       {"abcde", 5, "abcd"},           {"ab\xc3\xa9", 5, "ab\xc3\xa9"},
        {"abc\xc3\xa9", 5, "abc"}, {"a\xe2\x82\xac", 5, "a\xe2\x82\xac"}, {"ab\xe2\x82\xac", 5, "ab"},
    };
    for (const auto& [text, capacity, kept] : rows)
    {
        char out[8];
        std::memset(out, 'x', sizeof out);
        copyText(out, capacity, text);
        EXPECT_STREQ(out, kept) << text;
        EXPECT_EQ(out[capacity], 'x') << text;
    }
}

TEST(PathLimitsTable, SkinFilesAreReadUpTo255PathBytes)
{
    oxn3test::EditorRig rig(true);
    rig.open();
    const std::string base = rig.folder.path("");
    for (const auto& [total, readable] : {std::pair(255, true), {256, false}})
    {
        // The file name is cut to make the whole path exactly `total` bytes.
        const std::string name = std::string(static_cast<size_t>(total) - base.size() - 9, 'k') + ".oxn3skin";
        ASSERT_LT(name.size(), 256u);
        ASSERT_TRUE(juce::File(base + name).replaceWithText("TextColorR = 10\n"));
        EXPECT_EQ(rig.editor->ReadSkinConfig(name.c_str()) != 0, readable) << total;
    }
}
