#include <gtest/gtest.h>

#include <string>

#include "patterns/PatternTestHelpers.h"
#include "patterns/ScratchFolder.h"
#include "patterns/Vst303PatternMetaData.h"

namespace
{
const std::string kHeader = "<?xml version=\"1.0\"?>\n"
                            "<JukeboxPatch version=\"1.0\" >\n"
                            "    <DeviceNameInEnglish>\n"
                            "        OXN3 303 Emulator\n"
                            "    </DeviceNameInEnglish>\n"
                            "    <Properties deviceProductID=\"com.quellbrook.oxn3\""
                            "  deviceVersion=\"1.0d21\" >\n"
                            "        <Object name=\"custom_properties\" >\n";
const std::string kFooter = "       </Object>\n"
                            "    </Properties>\n"
                            "</JukeboxPatch>\n";

// One value block as the device reads it: 12 blanks, two blanks before type, value after 16 blanks.
std::string block(const std::string& property, const std::string& value)
{
    return "            <Value property=\"" + property + "\"  type=\"number\" >\n                " + value +
           "\n            </Value>\n";
}

std::string exported(const Vst303Pattern& p, const Vst303PatternMetaData* meta)
{
    ScratchFolder folder;
    const std::string file = folder.path("p.repatch");
    EXPECT_EQ(p.exportREPatch(file.c_str(), meta), 1);
    return ScratchFolder::read(file);
}
} // namespace

TEST(REPatchExport, TwoStepsWithKnobsGiveTheExactText)
{
    Vst303Pattern p;
    p.setLength(2);
    p.setTriplet(1); // the triplet and tie bits are not exported
    p.steps[0] = step_t{-3, step_t::kUp | step_t::kDown | step_t::kGate | step_t::kTie};
    p.steps[1] = step_t{12, step_t::kSlide | step_t::kAccent | step_t::kTie};
    Vst303PatternMetaData meta;
    meta.setValue("Cutoff:", 0.25f);
    meta.setValue("Tune:", 0.5f);
    meta.setValue("Volume:", 1.0f); // not a device property
    const std::string one = "1.000000", zero = "0.000000";
    const std::string expected =
        kHeader + block("tuning", "0.500000") + block("cutoff", "0.250000") +
        block("dpatternlength", "2.000000") + block("dpitch0", "-3.000000") + block("dpitch1", "12.000000") +
        block("ddown0", one) + block("ddown1", zero) + block("dup0", one) + block("dup1", zero) +
        block("dslide0", zero) + block("dslide1", one) + block("daccent0", zero) + block("daccent1", one) +
        block("dgate0", one) + block("dgate1", zero) + kFooter;
    EXPECT_EQ(exported(p, &meta), expected);
}

TEST(REPatchExport, SixteenStepsWithoutMetaGiveNinetySevenBlocksAndBadPathsZero)
{
    std::string expected = kHeader + block("dpatternlength", "16.000000");
    for (int i = 0; i < 16; ++i)
        expected += block("dpitch" + std::to_string(i), std::to_string(i) + ".000000");
    for (const std::string group : {"ddown", "dup", "dslide", "daccent", "dgate"})
        for (int i = 0; i < 16; ++i)
            expected += block(group + std::to_string(i), group == "dgate" ? "1.000000" : "0.000000");
    EXPECT_EQ(exported(numberedPattern(16), nullptr), expected + kFooter);
    ScratchFolder folder;
    EXPECT_EQ(numberedPattern(16).exportREPatch(folder.path("missing/p.repatch").c_str(), nullptr), 0);
}
