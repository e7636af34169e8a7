#include <gtest/gtest.h>

#include <string>

#include "patterns/PatternTestHelpers.h"
#include "patterns/ScratchFolder.h"
#include "patterns/Vst303Pattern.h"
#include "patterns/Vst303PatternMetaData.h"

namespace
{
const std::string kHeader = "<?xml version=\"1.0\"?>\n"
                            "<JukeboxPatch version=\"1.0\" >\n"
                            "    <DeviceNameInEnglish>\n"
                            "        OXN3 303 Emulator\n"
                            "    </DeviceNameInEnglish>\n"
                            "    <Properties deviceProductID=\"com.quellbrook.oxn3\"  deviceVersion=\"1.0d21\" >\n"
                            "        <Object name=\"custom_properties\" >\n";

const std::string kFooter = "       </Object>\n"
                            "    </Properties>\n"
                            "</JukeboxPatch>\n";

size_t countOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
} // namespace

TEST(REPatchExport, TwoStepsWithKnobsGiveTheExactText)
{
    ScratchFolder folder;
    Vst303Pattern p;
    p.setLength(2);
    p.setTriplet(1);
    p.steps[0].pitch = -3;
    p.steps[0].flags = step_t::kUp | step_t::kDown | step_t::kGate | step_t::kTie;
    p.steps[1].pitch = 12;
    p.steps[1].flags = step_t::kSlide | step_t::kAccent;
    Vst303PatternMetaData meta;
    meta.setValue("Cutoff:", 0.25f);
    meta.setValue("Tune:", 0.5f);
    meta.setValue("Volume:", 1.0f); // not a device property
    const std::string file = folder.path("p.repatch");
    ASSERT_EQ(1, p.exportREPatch(file.c_str(), &meta));

    const std::string expected = kHeader +
                                 "            <Value property=\"tuning\"  type=\"number\" >\n"
                                 "                0.500000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"cutoff\"  type=\"number\" >\n"
                                 "                0.250000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dpatternlength\"  type=\"number\" >\n"
                                 "                2.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dpitch0\"  type=\"number\" >\n"
                                 "                -3.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dpitch1\"  type=\"number\" >\n"
                                 "                12.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"ddown0\"  type=\"number\" >\n"
                                 "                1.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"ddown1\"  type=\"number\" >\n"
                                 "                0.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dup0\"  type=\"number\" >\n"
                                 "                1.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dup1\"  type=\"number\" >\n"
                                 "                0.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dslide0\"  type=\"number\" >\n"
                                 "                0.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dslide1\"  type=\"number\" >\n"
                                 "                1.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"daccent0\"  type=\"number\" >\n"
                                 "                0.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"daccent1\"  type=\"number\" >\n"
                                 "                1.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dgate0\"  type=\"number\" >\n"
                                 "                1.000000\n"
                                 "            </Value>\n"
                                 "            <Value property=\"dgate1\"  type=\"number\" >\n"
                                 "                0.000000\n"
                                 "            </Value>\n" +
                                 kFooter;
    EXPECT_EQ(expected, ScratchFolder::read(file));
}

TEST(REPatchExport, SixteenStepsWithoutMetaGiveNinetySevenBlocks)
{
    ScratchFolder folder;
    const Vst303Pattern p = numberedPattern(16);
    const std::string file = folder.path("p.repatch");
    ASSERT_EQ(1, p.exportREPatch(file.c_str(), nullptr));
    const std::string text = ScratchFolder::read(file);
    EXPECT_EQ(0u, text.find(kHeader + "            <Value property=\"dpatternlength\"  type=\"number\" >\n"
                                      "                16.000000\n"
                                      "            </Value>\n"
                                      "            <Value property=\"dpitch0\"  type=\"number\" >\n"));
    EXPECT_EQ(text.size() - kFooter.size(), text.rfind(kFooter));
    EXPECT_EQ(97u, countOf(text, "<Value property="));
    EXPECT_EQ(97u, countOf(text, "            </Value>\n"));
    EXPECT_NE(std::string::npos, text.find("\"dpitch15\"  type=\"number\" >\n                15.000000\n"));
    EXPECT_LT(text.find("\"dpitch15\""), text.find("\"ddown0\""));
    EXPECT_LT(text.find("\"daccent15\""), text.find("\"dgate0\""));
    EXPECT_EQ(std::string::npos, text.find("\"dpitch16\""));
    EXPECT_EQ(std::string::npos, text.find("tuning"));
}

TEST(REPatchExport, UnwritablePathGivesZero)
{
    ScratchFolder folder;
    Vst303Pattern p;
    EXPECT_EQ(0, p.exportREPatch(folder.path("missing/p.repatch").c_str(), nullptr));
    EXPECT_EQ(0, p.exportREPatch(nullptr, nullptr));
}
