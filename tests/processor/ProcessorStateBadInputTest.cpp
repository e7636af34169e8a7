// setStateInformation fed damaged, random and hostile blocks: it never crashes, never takes
// long, and leaves an instance that still plays.
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using namespace oxn3test;

namespace
{
constexpr std::uint32_t kXmlBlockMagic = 0x21324356; // JUCE's mark of an XML state block

void recall(JuceDemoPluginAudioProcessor& processor, const void* data, size_t size)
{
    processor.setStateInformation(data, static_cast<int>(size));
}

// A block with JUCE's header around any text, as a hostile host could hand it over.
void recallText(JuceDemoPluginAudioProcessor& processor, const std::string& text)
{
    juce::MemoryBlock block;
    juce::MemoryOutputStream out(block, false);
    out.writeInt(static_cast<int>(kXmlBlockMagic));
    out.writeInt(static_cast<int>(text.size()));
    out.write(text.data(), text.size());
    out.writeByte(0);
    recall(processor, block.getData(), block.getSize());
}

std::string repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Plays a pattern note after the recall: the output is finite, and the bank, the current pattern
// and every parameter are within their ranges.
void expectPlayable(JuceDemoPluginAudioProcessor& processor)
{
    Synth303& engine = *processor.synth;
    ASSERT_GE(engine.currentPattern, 0);
    ASSERT_LT(engine.currentPattern, oxn3::kUserPatterns);
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
        ASSERT_GE(engine.patterns[n].getLength(), 1);
    for (int i = 0; i < oxn3::kNumParameters; ++i)
        ASSERT_TRUE(processor.parameterValues[i] >= 0.0 && processor.parameterValues[i] <= 1.0) << i;

    processor.MidiMode = oxn3::kPatternMode;
    engine.stepRecord = 0;
    processor.midiLearnActive = 0;
    std::fill(std::begin(processor.midiKeyMap), std::end(processor.midiKeyMap), -1);
    auto midi = midiAt({on(5)}, 0);
    render(processor, 64, midi);
    const auto audio = render(processor, 4096);
    for (int i = 0; i < audio.getNumSamples(); ++i)
        ASSERT_TRUE(std::isfinite(audio.getSample(0, i)));
    EXPECT_EQ(engine.running, 1);
}
} // namespace

// Truncated states and random bytes, half of them past the header check, into the XML parser.
TEST(StateBadInput, TruncatedRandomAndMutatedBlocks)
{
    std::mt19937 random(11);
    juce::MemoryBlock valid;
    makeProcessor()->getStateInformation(valid);
    auto processor = makeProcessor();

    for (const size_t size : {size_t{0}, size_t{7}, size_t{8}, size_t{9}, valid.getSize() - 1})
        recall(*processor, valid.getData(), size);
    for (int i = 0; i < 60; ++i)
        recall(*processor, valid.getData(), random() % valid.getSize());

    for (int round = 0; round < 300; ++round)
    {
        std::vector<std::uint8_t> bytes(random() % 4096);
        for (std::uint8_t& b : bytes)
            b = static_cast<std::uint8_t>(random());
        if (round % 2 == 0 && bytes.size() >= 8)
        {
            const std::uint32_t words[2] = {kXmlBlockMagic, static_cast<std::uint32_t>(random())};
            std::memcpy(bytes.data(), words, sizeof(words));
        }
        recall(*processor, bytes.data(), bytes.size());
    }

    expectPlayable(*processor);
}

TEST(StateBadInput, HostileAttributeValues)
{
    const char* values[] = {"1e999", "nan", "-2147483648", "99999999999999999999", "0x7fffffff", "", "\xff\xfe"};
    auto processor = makeProcessor();
    for (const char* value : values)
    {
        SCOPED_TRACE(value);
        juce::XmlElement xml("MYPLUGINSETTINGS");
        for (const char* name : {"uiWidth", "Cutoff", "CurrentPattern", "ResoTrim", "VCOMode", "TuningMode"})
            xml.setAttribute(name, value);
        juce::XmlElement* pattern = xml.createNewChildElement("oxn3pattern4");
        pattern->setAttribute("length", value);
        juce::XmlElement* step = pattern->createNewChildElement("step0");
        for (const char* name : {"pitch", "gate", "slide"})
            step->setAttribute(name, value);
        for (const char* tag : {"MidiCCMap", "MidiKeyMap", "TuningTable", "AdvancedRandom"})
        {
            juce::XmlElement* child = xml.createNewChildElement(tag);
            for (const char* name : {"cc0", "key1", "note2", "patLength", "noteDensity", "root", "seed", "scale"})
                child->setAttribute(name, value);
        }
        recallText(*processor, xml.toString(juce::XmlElement::TextFormat().singleLine().withoutHeader()).toStdString());
        EXPECT_TRUE(std::isfinite(processor->tuningTable[2]));
        EXPECT_GE(processor->advancedRandom.patLength, 1);
        EXPECT_LE(processor->advancedRandom.patLength, 64);
        expectPlayable(*processor);
    }

    // A value of a million characters is beyond any double: the read default.
    recallText(*processor, "<MYPLUGINSETTINGS Cutoff=\"" + std::string(1000000, '7') + "\"/>");
    EXPECT_EQ(processor->getParameter(oxn3::kCutoff), 0.0f);
}

TEST(StateBadInput, VeryManyChildrenAndMissingOnes)
{
    // Written as text: building 10^5 children one by one through XmlElement takes quadratic time.
    std::string text = "<MYPLUGINSETTINGS>";
    for (int i = 0; i < 100000; ++i)
        text += "<oxn3pattern5 length=\"" + std::to_string(1 + i % 64) + "\"/>";
    text += "<oxn3pattern6>";
    for (int i = 0; i < 100000; ++i)
        text += std::string(i % 2 == 0 ? "<step3" : "<stepX") + " pitch=\"" + std::to_string(i % 100) + "\"/>";
    text += "</oxn3pattern6><MidiCCMap/><midicc/></MYPLUGINSETTINGS>"; // present but empty: every entry -1

    auto processor = makeProcessor();
    processor->midiCCMap[0] = 4;
    const auto start = std::chrono::steady_clock::now();
    recallText(*processor, text);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    EXPECT_EQ(processor->synth->patterns[5].getLength(), 1); // the first child of a name counts
    EXPECT_EQ(processor->synth->patterns[6].steps[3].pitch, 0);
    EXPECT_EQ(processor->midiCCMap[0], -1);
    expectPlayable(*processor);
}

// JUCE's XML parser recurses once per element level, expands entities defined in a document type
// into elements, loops for ever on some processing instructions and reads past the end of text
// that is not valid UTF-8: such blocks are refused before they reach it.
TEST(StateBadInput, BlocksTheXmlParserCannotTakeAreRefused)
{
    const std::string root = "<MYPLUGINSETTINGS Cutoff=\"0.75\">";
    const std::string hostile[] = {
        root + repeated("<a>", 1000000),
        root + repeated("<a x=\"/>\">", 200000),     // "/>" inside a value closes nothing
        root + repeated("<a <!-- /> -->>", 200000),  // nor does one inside a comment in a tag
        root + repeated("<a><!-- </a> -->", 200000), // nor a closing tag inside a comment
        "<!DOCTYPE d [<!ENTITY e \"<a>&e;</a>\">]>" + root + "&e;</MYPLUGINSETTINGS>",
        root + repeated("<a>", 65) + repeated("</a>", 65) + "</MYPLUGINSETTINGS>",
        root + "<oxn3pattern1><?pi?>text</oxn3pattern1></MYPLUGINSETTINGS>",
        "<MYPLUGINS>=\"0\" Curre&#Xae", // ends inside a numeric reference
        root + "<oxn3p" + std::string(32, '\xff') + "attern127\xdf length=\"64\"/></MYPLUGINSETTINGS>",
        "<MYPLUGINSETTINGS Cutoff=\"0.75\"/>\xf0\x9f", // a sequence cut at the end
    };
    for (const std::string& text : hostile)
    {
        SCOPED_TRACE(text.substr(0, 60));
        auto processor = makeProcessor();
        processor->parameterValues[oxn3::kCutoff] = 0.25;
        recallText(*processor, text);
        EXPECT_EQ(processor->parameterValues[oxn3::kCutoff], 0.25);
        expectPlayable(*processor);
    }

    // Headers, comments, processing instructions, nesting within bounds and multi-byte text are read as ever.
    auto processor = makeProcessor();
    recallText(*processor, "<?xml version=\"1.0\"?> <?pi <b><b> ?><!-- <a><a> -->"
                           "<MYPLUGINSETTINGS Cutoff=\"0.75\" x=\"Gr\xc3\xbc\xc3\x9f" "e \xe2\x99\xaa\">"
                               + repeated("<a>", 60) + repeated("</a>", 60)
                               + "<!-- c --><oxn3pattern1 length=\"&#53;\"/></MYPLUGINSETTINGS>");
    EXPECT_EQ(processor->parameterValues[oxn3::kCutoff], 0.75);
    EXPECT_EQ(processor->synth->patterns[1].getLength(), 5);
}
