// setStateInformation fed damaged, random and hostile blocks: it never crashes, never takes
// long, and leaves an instance that still plays.
#include <chrono>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;
using oxn3test::noteOnAt;
using oxn3test::render;

namespace
{
constexpr std::uint32_t kXmlBlockMagic = 0x21324356; // JUCE's mark of an XML state block

juce::MemoryBlock stateOf(JuceDemoPluginAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation(block);
    return block;
}

void recall(JuceDemoPluginAudioProcessor& processor, const void* data, size_t size)
{
    processor.setStateInformation(data, static_cast<int>(size));
}

void recall(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(xml, block);
    recall(processor, block.getData(), block.getSize());
}

// A block with JUCE's header around any text, as a hostile host could hand it over.
juce::MemoryBlock wrapText(const std::string& text)
{
    juce::MemoryBlock block;
    juce::MemoryOutputStream out(block, false);
    out.writeInt(static_cast<int>(kXmlBlockMagic));
    out.writeInt(static_cast<int>(text.size()));
    out.write(text.data(), text.size());
    out.writeByte(0);
    return block;
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
    processor.synth->stepRecord = 0;
    processor.midiLearnActive = 0;
    std::fill(std::begin(processor.midiKeyMap), std::end(processor.midiKeyMap), -1);
    auto midi = noteOnAt(5, 0);
    render(processor, 64, midi);
    for (int b = 0; b < 8; ++b)
    {
        const auto audio = render(processor, 512);
        for (int i = 0; i < 512; ++i)
            ASSERT_TRUE(std::isfinite(audio.getSample(0, i)));
    }
    EXPECT_EQ(engine.running, 1);
}
} // namespace

TEST(StateBadInput, TruncatedBlocks)
{
    auto source = makeProcessor();
    source->synth->patterns[3].setLength(7);
    const juce::MemoryBlock block = stateOf(*source);
    auto processor = makeProcessor();
    std::mt19937 random(11);
    std::vector<size_t> sizes = {0, 1, 4, 7, 8, 9, 10, 64, block.getSize() - 2, block.getSize() - 1};
    for (int i = 0; i < 60; ++i)
        sizes.push_back(random() % block.getSize());
    for (const size_t size : sizes)
        recall(*processor, block.getData(), size);
    expectPlayable(*processor);
}

TEST(StateBadInput, RandomBytes)
{
    std::mt19937 random(12);
    auto processor = makeProcessor();
    for (int round = 0; round < 300; ++round)
    {
        std::vector<std::uint8_t> bytes(random() % 4096);
        for (std::uint8_t& b : bytes)
            b = static_cast<std::uint8_t>(random());
        if (round % 2 == 0 && bytes.size() >= 8) // past the header check, into the XML parser
        {
            const std::uint32_t words[2] = {kXmlBlockMagic, static_cast<std::uint32_t>(random())};
            std::memcpy(bytes.data(), words, sizeof(words));
        }
        recall(*processor, bytes.data(), bytes.size());
    }
    expectPlayable(*processor);
}

TEST(StateBadInput, MutatedStates)
{
    std::mt19937 random(13);
    auto source = makeProcessor();
    const juce::MemoryBlock valid = stateOf(*source);
    auto processor = makeProcessor();
    for (int round = 0; round < 60; ++round)
    {
        juce::MemoryBlock block = valid;
        auto* bytes = static_cast<std::uint8_t*>(block.getData());
        const char replacements[] = "<>/=\"-0123456789 e.x\x80\xff";
        for (int flips = 1 + static_cast<int>(random() % 40); flips > 0; --flips)
            bytes[8 + random() % (block.getSize() - 8)] =
                static_cast<std::uint8_t>(replacements[random() % (sizeof(replacements) - 1)]);
        recall(*processor, block.getData(), block.getSize());
    }
    expectPlayable(*processor);
}

TEST(StateBadInput, HostileAttributeValues)
{
    const char* values[] = {"1e999",  "-1e999", "nan",  "inf", "-2147483648", "2147483648", "99999999999999999999",
                            "-99999999999999999999", "1e99999999999999999", "0x7fffffff", "", "  -", "\xff\xfe",
                            "0.5e-99999999999"};
    auto processor = makeProcessor();
    for (const char* value : values)
    {
        SCOPED_TRACE(value);
        juce::XmlElement xml("MYPLUGINSETTINGS");
        for (const char* name : {"uiWidth", "Tuning", "Cutoff", "Volume", "CurrentPattern", "ResoTrim", "VCOMode",
                                 "TuningMode", "PatternKnob"})
            xml.setAttribute(name, value);
        juce::XmlElement* pattern = xml.createNewChildElement("oxn3pattern4");
        pattern->setAttribute("length", value);
        juce::XmlElement* step = pattern->createNewChildElement("step0");
        for (const char* name : {"pitch", "gate", "down", "up", "accent", "slide"})
            step->setAttribute(name, value);
        for (const char* tag : {"MidiCCMap", "MidiKeyMap", "TuningTable", "AdvancedRandom"})
        {
            juce::XmlElement* child = xml.createNewChildElement(tag);
            for (const char* name : {"cc0", "key1", "note2", "patLength", "noteDensity", "root", "seed", "scale"})
                child->setAttribute(name, value);
        }
        recall(*processor, xml);
        EXPECT_TRUE(std::isfinite(processor->tuningTable[2]));
        EXPECT_GE(processor->advancedRandom.patLength, 1);
        EXPECT_LE(processor->advancedRandom.patLength, 64);
        expectPlayable(*processor);
    }

    juce::XmlElement huge("MYPLUGINSETTINGS"); // a value of a million characters
    huge.setAttribute("Cutoff", juce::String::repeatedString("7", 1000000));
    recall(*processor, huge);
    EXPECT_EQ(processor->getParameter(oxn3::kCutoff), 0.0f); // beyond any double: the read default
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
    const juce::MemoryBlock block = wrapText(text);
    const auto start = std::chrono::steady_clock::now();
    recall(*processor, block.getData(), block.getSize());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(processor->synth->patterns[5].getLength(), 1); // the first child of a name counts
    EXPECT_EQ(processor->synth->patterns[6].steps[3].pitch, 0);
    EXPECT_EQ(processor->midiCCMap[0], -1);
    expectPlayable(*processor);
}

// JUCE's XML parser recurses once per element level, expands entities defined in a document type
// into elements and loops for ever on some processing instructions: such blocks are refused
// before they reach it.
TEST(StateBadInput, DeeplyNestedElementsAndDocumentTypesAreRefused)
{
    const auto repeated = [](const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i)
            text += piece;
        return text;
    };
    const std::string root = "<MYPLUGINSETTINGS Cutoff=\"0.75\">";
    const std::string hostile[] = {
        root + repeated("<a>", 1000000),
        root + repeated("<a x=\"/>\">", 200000),           // "/>" inside a value closes nothing
        root + repeated("<a <!-- /> -->>", 200000),        // nor does one inside a comment in a tag
        root + repeated("<a><!-- </a> -->", 200000),       // nor a closing tag inside a comment
        "<!DOCTYPE d [<!ENTITY e \"<a>&e;</a>\">]>" + root + "&e;</MYPLUGINSETTINGS>",
        root + repeated("<a>", 65) + repeated("</a>", 65) + "</MYPLUGINSETTINGS>",
        // A processing instruction followed by text inside an element makes the parser loop for ever.
        root + "<oxn3pattern1><?pi?>text</oxn3pattern1></MYPLUGINSETTINGS>",
        // A text that ends inside a numeric reference makes it read past the end.
        "<MYPLUGINS>=\"0\" Curre&#Xae",
        root + "<oxn3pattern1 length=\"&#53\"/></MYPLUGINSETTINGS>",
    };
    for (const std::string& text : hostile)
    {
        SCOPED_TRACE(text.substr(0, 60));
        auto processor = makeProcessor();
        processor->parameterValues[oxn3::kCutoff] = 0.25;
        const juce::MemoryBlock block = wrapText(text);
        recall(*processor, block.getData(), block.getSize());
        EXPECT_EQ(processor->parameterValues[oxn3::kCutoff], 0.25);
        expectPlayable(*processor);
    }

    // Headers, comments, processing instructions and nesting within bounds are read as ever.
    auto processor = makeProcessor();
    const std::string accepted = "<?xml version=\"1.0\"?> <?pi <b><b> ?><!-- <a><a> --><MYPLUGINSETTINGS Cutoff=\"0.75\">"
                                 + repeated("<a>", 60) + repeated("</a>", 60)
                                 + "<!-- c --><oxn3pattern1 length=\"&#53;\"/></MYPLUGINSETTINGS>";
    const juce::MemoryBlock block = wrapText(accepted);
    recall(*processor, block.getData(), block.getSize());
    EXPECT_EQ(processor->parameterValues[oxn3::kCutoff], 0.75);
    EXPECT_EQ(processor->synth->patterns[1].getLength(), 5);
}

// JUCE's XML parser reads past the end of text that is not valid UTF-8 (seen by the state
// fuzzer under AddressSanitizer): such blocks are refused, valid multi-byte text is read.
TEST(StateBadInput, TextThatIsNotUtf8IsRefused)
{
    const std::string invalid[] = {
        "<MYPLUGINSETTINGS Cutoff=\"0.75\"><oxn3p" + std::string(32, '\xff') + "attern127\xdf length=\"64\"/></MYPLUGINSETTINGS>",
        "<MYPLUGINSETTINGS Cutoff=\"0.75\"/>\xf0\x9f", // a sequence cut at the end
        "<MYPLUGINSETTINGS Cutoff=\"0.75\" x=\"\xe2\x99\"/>", // a sequence missing a byte
    };
    for (const std::string& text : invalid)
    {
        auto processor = makeProcessor();
        processor->parameterValues[oxn3::kCutoff] = 0.25;
        const juce::MemoryBlock block = wrapText(text);
        recall(*processor, block.getData(), block.getSize());
        EXPECT_EQ(processor->parameterValues[oxn3::kCutoff], 0.25);
        expectPlayable(*processor);
    }

    auto processor = makeProcessor();
    const juce::MemoryBlock block = wrapText("<MYPLUGINSETTINGS Cutoff=\"0.75\" x=\"Gr\xc3\xbc\xc3\x9f" "e \xe2\x99\xaa\"/>");
    recall(*processor, block.getData(), block.getSize());
    EXPECT_EQ(processor->parameterValues[oxn3::kCutoff], 0.75);
}

