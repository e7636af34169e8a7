// The host state: save and recall of every stored field, the reader's clamps and defaults, and
// states written by older versions.
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;

namespace
{
using Processor = JuceDemoPluginAudioProcessor;

juce::MemoryBlock stateOf(Processor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation(block);
    return block;
}

void recall(Processor& processor, const juce::XmlElement& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(xml, block);
    processor.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
}

// Every stored scalar with a value away from its default, so that one list fills an instance
// and compares two of them field by field.
std::vector<std::pair<int*, int>> storedInts(Processor& p)
{
    return {{&p.uiWidth, 1234}, {&p.uiHeight, 567}, {&p.MidiMode, 1}, {&p.SyncMode, 0}, {&p.MidiOutput, 1},
            {&p.VCOVibrato, 0}, {&p.VCAClicks, 0}, {&p.VCANoise, 1}, {&p.VCOMode, 2}, {&p.OutputClipping, 1},
            {&p.PatternLock, 1}, {&p.synth->currentPattern, 77}, {&p.PatternKnob, -1}, {&p.ShowSticker, 0},
            {&p.VCOPhaseReset, 1}, {&p.ImprovedEmulation, 0}, {&p.TuningMode, 1}, {&p.EmulationEngine, 0}};
}

std::vector<double*> storedDoubles(Processor& p)
{
    std::vector<double*> fields = {&p.ResoTrim, &p.VCFTrim, &p.GateTrim, &p.TuningTrim};
    for (const int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16})
        fields.push_back(&p.parameterValues[i]);
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
        fields.push_back(&p.tuningTable[n]);
    return fields;
}
} // namespace

TEST(HostState, RecallOnAFreshInstanceRestoresEveryStoredField)
{
    std::mt19937 random(4242);
    std::uniform_int_distribution<int> any(-300, 300);
    auto saved = makeProcessor();
    for (const auto& [field, value] : storedInts(*saved))
        *field = value;
    for (double* field : storedDoubles(*saved))
        *field = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    for (Vst303Pattern& pattern : saved->synth->patterns)
    {
        pattern.setLength(1 + static_cast<int>(random() % 64));
        pattern.setTriplet(static_cast<int>(random() & 1));
        for (step_t& step : pattern.steps)
            step = step_t{static_cast<std::int8_t>(any(random)), static_cast<std::uint8_t>(random() & 0x3F)};
    }
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
    {
        saved->midiCCMap[n] = any(random);
        saved->midiKeyMap[n] = any(random);
    }
    saved->advancedRandom = {2, 0, 1, 0, 1, 37, 64, 12, 99, {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}, 1, 0, 1, 0, 1, 7, 3,
                             987654, 1};
    const juce::MemoryBlock block = stateOf(*saved);
    auto recalled = makeProcessor();
    for (Vst303Pattern& pattern : recalled->synth->patterns) // what a recall must not keep
    {
        pattern.setTriplet(1);
        for (step_t& step : pattern.steps)
            step.flags = step_t::kTie;
    }
    const int touched = recalled->touchedParameter;
    recalled->setStateInformation(block.getData(), static_cast<int>(block.getSize()));

    const auto savedInts = storedInts(*saved), recalledInts = storedInts(*recalled);
    for (size_t i = 0; i < savedInts.size(); ++i)
        EXPECT_EQ(*savedInts[i].first, *recalledInts[i].first) << "int field " << i;
    const auto savedDoubles = storedDoubles(*saved), recalledDoubles = storedDoubles(*recalled);
    for (size_t i = 0; i < savedDoubles.size(); ++i)
        EXPECT_NEAR(*savedDoubles[i], *recalledDoubles[i], 1e-11) << "double field " << i;
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
    {
        const Vst303Pattern &a = saved->synth->patterns[n], &b = recalled->synth->patterns[n];
        ASSERT_EQ(a.getLength(), b.getLength()) << n;
        ASSERT_EQ(a.getTriplet(), b.getTriplet()) << n;
        for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
        {
            ASSERT_EQ(a.steps[s].pitch, b.steps[s].pitch) << n << " " << s;
            ASSERT_EQ(a.steps[s].flags, b.steps[s].flags) << n << " " << s;
        }
    }
    // The trims' host parameters follow the recalled trims; a recall is no touch for MIDI learn.
    const std::pair<int, double> trims[] = {{oxn3::kResoTrim, saved->ResoTrim}, {oxn3::kGateTrim, saved->GateTrim},
                                            {oxn3::kDetune, saved->TuningTrim}, {oxn3::kVcfTrim, saved->VCFTrim}};
    for (const auto& [index, trim] : trims)
        EXPECT_FLOAT_EQ(recalled->getParameters()[index]->getValue(), static_cast<float>(trim)) << index;
    EXPECT_EQ(recalled->touchedParameter, touched);
    EXPECT_EQ(std::memcmp(saved->midiCCMap, recalled->midiCCMap, sizeof(saved->midiCCMap)), 0);
    EXPECT_EQ(std::memcmp(saved->midiKeyMap, recalled->midiKeyMap, sizeof(saved->midiKeyMap)), 0);
    EXPECT_EQ(recalled->synth->customTuningTable[69], recalled->tuningTable[69]); // handed to the engine
    EXPECT_EQ(std::memcmp(&saved->advancedRandom, &recalled->advancedRandom, sizeof(AdvancedRandom_t)), 0);
    EXPECT_TRUE(stateOf(*recalled) == block); // and it saves the same block again
}

TEST(HostState, AttributesAndChildrenInTheirOrder)
{
    auto processor = makeProcessor();
    const juce::MemoryBlock block = stateOf(*processor);
    const auto xml = juce::AudioProcessor::getXmlFromBinary(block.getData(), static_cast<int>(block.getSize()));
    ASSERT_NE(xml, nullptr);
    EXPECT_EQ(xml->getTagName(), "MYPLUGINSETTINGS");
    const char* expected[] = {"uiWidth", "uiHeight", "Tuning", "Cutoff", "Resonance", "Envmod", "Decay",
                              "Accent", "Volume", "Waveform", "Highpass", "Drive", "Pattern", "MidiMode",
                              "SyncMode", "MidiOutput", "UseVibrato", "VCAClicks", "VCANoise", "VCOMode",
                              "OutputClipping", "PatternLock", "CurrentPattern", "PatternKnob", "ShowSticker",
                              "VCOPhaseReset", "ImprovedEmulation", "ResoTrim", "VCFTrim", "GateTrim",
                              "TuningTrim", "TuningMode", "BassBoost", "EmulationEngine"};
    ASSERT_EQ(xml->getNumAttributes(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < xml->getNumAttributes(); ++i)
        EXPECT_EQ(xml->getAttributeName(i), expected[i]);

    ASSERT_EQ(xml->getNumChildElements(), 128 + 4);
    const std::pair<int, const char*> children[] = {{127, "oxn3pattern127"}, {128, "MidiCCMap"},
                                                    {129, "MidiKeyMap"}, {130, "TuningTable"}, {131, "AdvancedRandom"}};
    for (const auto& [index, tag] : children)
        EXPECT_EQ(xml->getChildElement(index)->getTagName(), tag);
    EXPECT_EQ(xml->getChildElement(0)->getChildElement(63)->getAttributeName(1), "gate");
    EXPECT_EQ(xml->getChildElement(131)->getIntAttribute("scale"), 8190);
}

TEST(HostState, ClampsLengthsAndPatternAndKeepsWhatIsMissing)
{
    auto processor = makeProcessor();
    Vst303Pattern& p = processor->synth->patterns[5];
    p.steps[9] = step_t{3, step_t::kSlide};
    p.steps[1].flags = step_t::kTie | step_t::kAccent;
    processor->synth->patterns[8].setLength(5);
    for (const int i : {0, 6, 10, 16})
        processor->setParameter(i, 0.9f);

    juce::XmlElement xml("MYPLUGINSETTINGS");
    xml.setAttribute("CurrentPattern", 200);
    xml.createNewChildElement("oxn3pattern0")->setAttribute("length", 0);
    xml.createNewChildElement("oxn3pattern1")->setAttribute("length", 100);
    xml.createNewChildElement("oxn3pattern5")->createNewChildElement("step1")->setAttribute("pitch", 7);
    recall(*processor, xml);

    EXPECT_EQ(p.getLength(), 16); // "length" missing: 16
    EXPECT_EQ(p.steps[1].pitch, 7);
    EXPECT_EQ(p.steps[1].flags, step_t::kGate | step_t::kTie); // no "gate": gated; tie kept, accent not
    EXPECT_EQ(p.steps[9].flags, step_t::kSlide);               // no child: the step keeps its contents
    EXPECT_EQ(processor->synth->patterns[8].getLength(), 5);   // no pattern child: the pattern stays whole
    EXPECT_EQ(processor->synth->currentPattern, 127);
    EXPECT_EQ(processor->synth->patterns[0].getLength(), 1);
    EXPECT_EQ(processor->synth->patterns[1].getLength(), 64);
    // Missing parameter attributes take the reader's defaults, not the values held before.
    const std::pair<int, float> defaults[] = {{0, 0.5f}, {6, 0.0f}, {10, 0.5f}, {16, 0.5f}};
    for (const auto& [index, value] : defaults)
        EXPECT_EQ(processor->getParameter(index), value) << index;

    xml.setAttribute("CurrentPattern", -5);
    recall(*processor, xml);
    EXPECT_EQ(processor->synth->currentPattern, 0);
}

TEST(HostState, AdvancedRandomScaleAndRanges)
{
    auto processor = makeProcessor();
    const AdvancedRandom_t& r = processor->advancedRandom;
    juce::XmlElement xml("MYPLUGINSETTINGS");
    juce::XmlElement* settings = xml.createNewChildElement("AdvancedRandom");
    settings->setAttribute("scale", 4096);
    recall(*processor, xml);
    EXPECT_EQ(r.seed, 0);      // every field defaults to 0 ...
    EXPECT_EQ(r.patLength, 1); // ... within the generator's ranges
    for (int degree = 0; degree < 12; ++degree)
        EXPECT_EQ(r.scale[degree], degree == 0 ? 1 : 0) << degree; // 4096: C alone

    settings->setAttribute("patLength", 500);
    settings->setAttribute("noteDensity", -4);
    settings->setAttribute("scale", 8190);
    recall(*processor, xml);
    EXPECT_EQ(r.patLength, 64);
    EXPECT_EQ(r.noteDensity, 0);
    for (int degree = 0; degree < 12; ++degree)
        EXPECT_EQ(r.scale[degree], 1);
}

TEST(HostState, ControllerKeyAndTuningMapsIncludingTheLegacyOne)
{
    auto processor = makeProcessor();
    processor->midiCCMap[6] = 3;
    processor->midiKeyMap[3] = 220;
    processor->tuningTable[69] = 432.0;
    juce::XmlElement xml("MYPLUGINSETTINGS");
    juce::XmlElement* legacy = xml.createNewChildElement("midicc");
    legacy->createNewChildElement("midicc5")->setAttribute("controller", 7);
    legacy->createNewChildElement("midicc9"); // no "controller": -1
    recall(*processor, xml);
    EXPECT_EQ(processor->midiCCMap[5], 7);
    EXPECT_EQ(processor->midiCCMap[6], 3); // entries it does not name keep their values
    EXPECT_EQ(processor->midiCCMap[9], -1);
    EXPECT_EQ(processor->midiKeyMap[3], 220); // absent children leave their maps alone
    EXPECT_EQ(processor->tuningTable[69], 432.0);

    xml.createNewChildElement("MidiCCMap")->setAttribute("cc100", 2);
    xml.createNewChildElement("TuningTable")->setAttribute("note1", 9.5);
    xml.createNewChildElement("MidiKeyMap");
    recall(*processor, xml);
    EXPECT_EQ(processor->midiCCMap[5], -1); // the new map replaces all 128 entries
    EXPECT_EQ(processor->midiCCMap[100], 2);
    EXPECT_EQ(processor->midiKeyMap[3], -1);
    EXPECT_EQ(processor->tuningTable[1], 9.5);
    EXPECT_EQ(processor->tuningTable[69], -1.0);
}

// A state written before ties and triplets were saved: every field it holds comes back as it was
// saved, and the recalling instance keeps its own ties and triplet bits.
TEST(HostState, AStateWithoutTiesAndTripletsLoadsAsBefore)
{
    juce::MemoryBlock packed;
    ASSERT_TRUE(juce::File(OXN3_TEST_FIXTURES "/older-state-without-ties.zlib").loadFileAsData(packed));
    juce::MemoryInputStream packedStream(packed, false);
    juce::GZIPDecompressorInputStream unpacked(packedStream);
    juce::MemoryBlock older;
    juce::MemoryOutputStream(older, false).writeFromInputStream(unpacked, -1);
    const auto olderXml = juce::AudioProcessor::getXmlFromBinary(older.getData(), static_cast<int>(older.getSize()));
    ASSERT_NE(olderXml, nullptr);

    auto processor = makeProcessor();
    for (Vst303Pattern& pattern : processor->synth->patterns)
    {
        pattern.setTriplet(1);
        for (step_t& step : pattern.steps)
            step.flags = step_t::kTie;
    }
    processor->setStateInformation(older.getData(), static_cast<int>(older.getSize()));
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
    {
        ASSERT_EQ(processor->synth->patterns[n].getTriplet(), 1) << n;
        for (const step_t& step : processor->synth->patterns[n].steps)
            ASSERT_TRUE(step.has(step_t::kTie)) << n;
    }

    const juce::MemoryBlock resaved = stateOf(*processor);
    auto xml = juce::AudioProcessor::getXmlFromBinary(resaved.getData(), static_cast<int>(resaved.getSize()));
    ASSERT_NE(xml, nullptr);
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
    {
        juce::XmlElement* pattern = xml->getChildByName("oxn3pattern" + juce::String(n));
        ASSERT_NE(pattern, nullptr);
        pattern->removeAttribute("triplet");
        for (juce::XmlElement* step : pattern->getChildIterator())
            step->removeAttribute("tie");
    }
    EXPECT_TRUE(xml->isEquivalentTo(olderXml.get(), false));
}

// Switch options from a foreign or damaged state are off or on; the trims set their parameters,
// and MIDI learn's last touch stays where the user left it.
TEST(HostState, SwitchesAreClampedAndTrimsReachTheirParameters)
{
    auto processor = makeProcessor();
    processor->touchedParameter = oxn3::kCutoff;
    juce::XmlElement xml("MYPLUGINSETTINGS");
    for (const auto& [name, value] : {std::pair("MidiMode", 2), {"SyncMode", -3}, {"UseVibrato", 7}, {"VCOMode", 2},
                                      {"PatternKnob", -1}, {"ShowSticker", 9}})
        xml.setAttribute(name, value);
    xml.setAttribute("ResoTrim", 0.3);
    xml.setAttribute("VCFTrim", 0.8);
    recall(*processor, xml);

    EXPECT_EQ(processor->MidiMode, 1);
    EXPECT_EQ(processor->SyncMode, 0);
    EXPECT_EQ(processor->VCOVibrato, 1);
    EXPECT_EQ(processor->ShowSticker, 1);
    EXPECT_EQ(processor->VCOMode, 2); // not a switch: three modes
    EXPECT_EQ(processor->PatternKnob, -1);
    // {parameter, value}: a missing trim reads 0.5, as its field does
    const std::pair<int, float> trims[] = {{oxn3::kResoTrim, 0.3f}, {oxn3::kVcfTrim, 0.8f}, {oxn3::kGateTrim, 0.5f}};
    for (const auto& [index, value] : trims)
        EXPECT_FLOAT_EQ(processor->getParameter(index), value) << index;
    EXPECT_EQ(processor->touchedParameter, oxn3::kCutoff);
}
