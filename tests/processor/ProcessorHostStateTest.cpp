// The host state: save and recall of every stored field, the reader's clamps and defaults, and
// states written by older versions.
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;

namespace
{
juce::MemoryBlock stateOf(JuceDemoPluginAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation(block);
    return block;
}

void recall(JuceDemoPluginAudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
}

void recall(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(xml, block);
    recall(processor, block);
}

std::unique_ptr<juce::XmlElement> xmlOf(JuceDemoPluginAudioProcessor& processor)
{
    const juce::MemoryBlock block = stateOf(processor);
    return juce::AudioProcessor::getXmlFromBinary(block.getData(), static_cast<int>(block.getSize()));
}

// Every stored field away from its default, from a seeded generator.
void fillStoredFields(JuceDemoPluginAudioProcessor& p, std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> any(-300, 300);
    p.uiWidth = 1234;
    p.uiHeight = 567;
    for (const int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16})
        p.parameterValues[i] = unit(random);
    p.MidiMode = 1;
    p.SyncMode = 0;
    p.MidiOutput = 1;
    p.VCOVibrato = 0;
    p.VCAClicks = 0;
    p.VCANoise = 1;
    p.VCOMode = 2;
    p.OutputClipping = 1;
    p.PatternLock = 1;
    p.synth->currentPattern = 77;
    p.PatternKnob = -1;
    p.ShowSticker = 0;
    p.VCOPhaseReset = 1;
    p.ImprovedEmulation = 0;
    p.ResoTrim = unit(random);
    p.VCFTrim = unit(random);
    p.GateTrim = unit(random);
    p.TuningTrim = unit(random);
    p.TuningMode = 1;
    p.EmulationEngine = 0;
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
    {
        Vst303Pattern& pattern = p.synth->patterns[n];
        pattern.setLength(1 + static_cast<int>(random() % 64));
        for (step_t& step : pattern.steps)
        {
            step.pitch = static_cast<std::int8_t>(any(random));
            step.flags = static_cast<std::uint8_t>(random() & 0x1F);
        }
    }
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
    {
        p.midiCCMap[n] = any(random);
        p.midiKeyMap[n] = any(random);
        p.tuningTable[n] = 20.0 + 1000.0 * unit(random);
    }
    AdvancedRandom_t& r = p.advancedRandom;
    r = {2, 0, 1, 0, 1, 37, 64, 12, 99, {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}, 1, 0, 1, 0, 1, 7, 3, 987654, 1};
}

void expectSameStoredFields(JuceDemoPluginAudioProcessor& a, JuceDemoPluginAudioProcessor& b)
{
    EXPECT_EQ(a.uiWidth, b.uiWidth);
    EXPECT_EQ(a.uiHeight, b.uiHeight);
    for (const int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16})
        EXPECT_NEAR(a.parameterValues[i], b.parameterValues[i], 1e-14) << i;
    EXPECT_EQ(a.MidiMode, b.MidiMode);
    EXPECT_EQ(a.SyncMode, b.SyncMode);
    EXPECT_EQ(a.MidiOutput, b.MidiOutput);
    EXPECT_EQ(a.VCOVibrato, b.VCOVibrato);
    EXPECT_EQ(a.VCAClicks, b.VCAClicks);
    EXPECT_EQ(a.VCANoise, b.VCANoise);
    EXPECT_EQ(a.VCOMode, b.VCOMode);
    EXPECT_EQ(a.OutputClipping, b.OutputClipping);
    EXPECT_EQ(a.PatternLock, b.PatternLock);
    EXPECT_EQ(a.synth->currentPattern, b.synth->currentPattern);
    EXPECT_EQ(a.PatternKnob, b.PatternKnob);
    EXPECT_EQ(a.ShowSticker, b.ShowSticker);
    EXPECT_EQ(a.VCOPhaseReset, b.VCOPhaseReset);
    EXPECT_EQ(a.ImprovedEmulation, b.ImprovedEmulation);
    EXPECT_NEAR(a.ResoTrim, b.ResoTrim, 1e-14);
    EXPECT_NEAR(a.VCFTrim, b.VCFTrim, 1e-14);
    EXPECT_NEAR(a.GateTrim, b.GateTrim, 1e-14);
    EXPECT_NEAR(a.TuningTrim, b.TuningTrim, 1e-14);
    EXPECT_EQ(a.TuningMode, b.TuningMode);
    EXPECT_EQ(a.EmulationEngine, b.EmulationEngine);
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
    {
        const Vst303Pattern& pa = a.synth->patterns[n];
        const Vst303Pattern& pb = b.synth->patterns[n];
        ASSERT_EQ(pa.getLength(), pb.getLength()) << n;
        for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
        {
            ASSERT_EQ(pa.steps[s].pitch, pb.steps[s].pitch) << n << " " << s;
            ASSERT_EQ(pa.steps[s].flags & 0x1F, pb.steps[s].flags & 0x1F) << n << " " << s;
        }
    }
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
    {
        EXPECT_EQ(a.midiCCMap[n], b.midiCCMap[n]);
        EXPECT_EQ(a.midiKeyMap[n], b.midiKeyMap[n]);
        EXPECT_NEAR(a.tuningTable[n], b.tuningTable[n], 1e-11);
        EXPECT_EQ(b.tuningTable[n], b.synth->customTuningTable[n]); // handed to the engine
    }
    EXPECT_EQ(std::memcmp(&a.advancedRandom, &b.advancedRandom, sizeof(AdvancedRandom_t)), 0);
}

// A root element of our own with the given children, for the reader's edge cases.
std::unique_ptr<juce::XmlElement> emptyState()
{
    return std::make_unique<juce::XmlElement>("MYPLUGINSETTINGS");
}
} // namespace

TEST(HostState, RecallOnAFreshInstanceRestoresEveryStoredField)
{
    std::mt19937 random(4242);
    auto saved = makeProcessor();
    fillStoredFields(*saved, random);
    const juce::MemoryBlock block = stateOf(*saved);

    auto recalled = makeProcessor();
    recall(*recalled, block);
    expectSameStoredFields(*saved, *recalled);
    EXPECT_TRUE(stateOf(*recalled) == block); // and it saves the same block again
}

TEST(HostState, WhatIsNotStoredStaysWithTheRecallingInstance)
{
    auto saved = makeProcessor();
    saved->synth->patterns[3].setTriplet(1);
    saved->synth->patterns[3].steps[2].set(step_t::kTie, true);
    saved->synth->patterns[130].setLength(5);
    saved->setParameter(oxn3::kDistort, 0.9f);
    saved->setParameter(oxn3::kResoTrim, 0.1f);
    saved->LockToPresetLengths = 1;

    auto recalled = makeProcessor();
    recalled->synth->patterns[4].setTriplet(1);
    recalled->synth->patterns[4].steps[7].set(step_t::kTie, true);
    recalled->synth->patterns[4].steps[7].flags |= 0x40;
    recall(*recalled, stateOf(*saved));

    EXPECT_EQ(recalled->synth->patterns[3].getTriplet(), 0);
    EXPECT_FALSE(recalled->synth->patterns[3].steps[2].has(step_t::kTie));
    EXPECT_EQ(recalled->synth->patterns[4].getTriplet(), 1);
    EXPECT_TRUE(recalled->synth->patterns[4].steps[7].has(step_t::kTie));
    EXPECT_EQ(recalled->synth->patterns[4].steps[7].flags & 0x40, 0x40);
    EXPECT_EQ(recalled->synth->patterns[130].getLength(), 16);
    EXPECT_EQ(recalled->getParameter(oxn3::kDistort), 0.0f);
    EXPECT_EQ(recalled->getParameter(oxn3::kResoTrim), 0.0f);
    EXPECT_NEAR(recalled->ResoTrim, 0.1, 1e-7); // the trim travels as its own attribute
    EXPECT_EQ(recalled->LockToPresetLengths, 0);
}

TEST(HostState, AttributesAndChildrenInTheirOrder)
{
    auto processor = makeProcessor();
    const auto xml = xmlOf(*processor);
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
    EXPECT_EQ(xml->getStringAttribute("Volume"), "0.75");
    EXPECT_EQ(xml->getStringAttribute("uiWidth"), "980");

    ASSERT_EQ(xml->getNumChildElements(), 128 + 4);
    EXPECT_EQ(xml->getChildElement(0)->getTagName(), "oxn3pattern0");
    EXPECT_EQ(xml->getChildElement(127)->getTagName(), "oxn3pattern127");
    EXPECT_EQ(xml->getChildElement(128)->getTagName(), "MidiCCMap");
    EXPECT_EQ(xml->getChildElement(129)->getTagName(), "MidiKeyMap");
    EXPECT_EQ(xml->getChildElement(130)->getTagName(), "TuningTable");
    EXPECT_EQ(xml->getChildElement(131)->getTagName(), "AdvancedRandom");

    const juce::XmlElement* step = xml->getChildElement(0)->getChildElement(63);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->getTagName(), "step63");
    const char* stepAttributes[] = {"pitch", "gate", "down", "up", "accent", "slide"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(step->getAttributeName(i), stepAttributes[i]);
    EXPECT_EQ(xml->getChildElement(131)->getIntAttribute("scale"), 8190);
    EXPECT_EQ(xml->getChildElement(131)->getAttributeName(18), "scale");
}

TEST(HostState, ReaderClampsLengthAndCurrentPattern)
{
    auto processor = makeProcessor();
    auto xml = emptyState();
    xml->setAttribute("CurrentPattern", 200);
    xml->createNewChildElement("oxn3pattern0")->setAttribute("length", 0);
    xml->createNewChildElement("oxn3pattern1")->setAttribute("length", 100);
    xml->createNewChildElement("oxn3pattern2")->setAttribute("length", 12);
    processor->synth->patterns[2].setTriplet(1);
    recall(*processor, *xml);
    EXPECT_EQ(processor->synth->currentPattern, 127);
    EXPECT_EQ(processor->synth->patterns[0].getLength(), 1);
    EXPECT_EQ(processor->synth->patterns[1].getLength(), 64);
    EXPECT_EQ(processor->synth->patterns[2].getLength(), 12);
    EXPECT_EQ(processor->synth->patterns[2].getTriplet(), 1); // the other header bits stay

    xml->setAttribute("CurrentPattern", -5);
    recall(*processor, *xml);
    EXPECT_EQ(processor->synth->currentPattern, 0);
}

TEST(HostState, StepAttributesAndTheirDefaults)
{
    auto processor = makeProcessor();
    step_t& kept = processor->synth->patterns[5].steps[9];
    kept = step_t{3, step_t::kSlide};
    processor->synth->patterns[5].steps[1].flags = step_t::kTie | step_t::kAccent;

    auto xml = emptyState();
    juce::XmlElement* pattern = xml->createNewChildElement("oxn3pattern5");
    pattern->createNewChildElement("step1")->setAttribute("pitch", 7); // no "gate": a gated step
    juce::XmlElement* flagged = pattern->createNewChildElement("step2");
    flagged->setAttribute("pitch", -3);
    flagged->setAttribute("gate", 0);
    flagged->setAttribute("down", 1);
    flagged->setAttribute("up", 1);
    flagged->setAttribute("accent", 1);
    flagged->setAttribute("slide", 1);
    pattern->createNewChildElement("step3")->setAttribute("pitch", 300); // stored as a signed byte
    recall(*processor, *xml);

    const Vst303Pattern& p = processor->synth->patterns[5];
    EXPECT_EQ(p.getLength(), 16); // "length" missing: 16
    EXPECT_EQ(p.steps[1].pitch, 7);
    EXPECT_EQ(p.steps[1].flags, step_t::kGate | step_t::kTie); // tie kept, accent not
    EXPECT_EQ(p.steps[2].pitch, -3);
    EXPECT_EQ(p.steps[2].flags, step_t::kDown | step_t::kUp | step_t::kAccent | step_t::kSlide);
    EXPECT_EQ(p.steps[3].pitch, 44);
    EXPECT_EQ(p.steps[9].pitch, 3); // no child: the step keeps its contents
    EXPECT_EQ(p.steps[9].flags, step_t::kSlide);
}

TEST(HostState, MissingPatternChildKeepsThePatternWhole)
{
    auto processor = makeProcessor();
    processor->synth->patterns[8].setLength(5);
    processor->synth->patterns[8].steps[0] = step_t{9, step_t::kAccent};
    auto xml = emptyState();
    xml->createNewChildElement("oxn3pattern7");
    xml->createNewChildElement("oxn3pattern08")->setAttribute("length", 2); // not how "%d" spells 8
    recall(*processor, *xml);
    EXPECT_EQ(processor->synth->patterns[8].getLength(), 5);
    EXPECT_EQ(processor->synth->patterns[8].steps[0].pitch, 9);
    EXPECT_EQ(processor->synth->patterns[7].getLength(), 16);
}

TEST(HostState, ReaderDefaultsForMissingAttributes)
{
    auto processor = makeProcessor();
    processor->uiWidth = 1500;
    processor->synth->currentPattern = 9;
    processor->parameterValues[oxn3::kCutoff] = 0.8;
    recall(*processor, *emptyState());
    EXPECT_EQ(processor->uiWidth, 1500); // a missing size keeps the current one
    EXPECT_EQ(processor->uiHeight, 358);
    EXPECT_EQ(processor->getParameter(oxn3::kVolume), 0.0f);
    EXPECT_EQ(processor->getParameter(oxn3::kDrive), 0.5f);
    EXPECT_EQ(processor->getParameter(oxn3::kTuning), 0.5f);
    EXPECT_EQ(processor->getParameter(oxn3::kCutoff), 0.0f);
    EXPECT_EQ(processor->getParameter(oxn3::kBass), 0.5f);
    EXPECT_EQ(processor->SyncMode, 0);
    EXPECT_EQ(processor->VCOVibrato, 1);
    EXPECT_EQ(processor->ShowSticker, 1);
    EXPECT_EQ(processor->EmulationEngine, 3);
    EXPECT_EQ(processor->synth->currentPattern, 0);
    EXPECT_EQ(processor->ResoTrim, 0.5);
}

TEST(HostState, ForeignOrMissingBlocksChangeNothing)
{
    auto processor = makeProcessor();
    processor->parameterValues[oxn3::kCutoff] = 0.8;
    const juce::MemoryBlock before = stateOf(*processor);

    juce::XmlElement foreign("SOMEONEELSE");
    foreign.setAttribute("Cutoff", 0.1);
    recall(*processor, foreign);
    processor->setStateInformation(nullptr, 0);
    processor->setStateInformation(before.getData(), 0);
    processor->setStateInformation(before.getData(), -5);
    const char text[] = "<MYPLUGINSETTINGS Cutoff=\"0.1\"/>"; // XML without the binary wrapper
    processor->setStateInformation(text, static_cast<int>(sizeof(text)));
    EXPECT_TRUE(stateOf(*processor) == before);
}

TEST(HostState, AdvancedRandomIsRestoredOnlyWhenPresent)
{
    auto processor = makeProcessor();
    processor->advancedRandom.seed = 99;
    recall(*processor, *emptyState());
    EXPECT_EQ(processor->advancedRandom.seed, 99);

    auto xml = emptyState();
    juce::XmlElement* settings = xml->createNewChildElement("AdvancedRandom");
    settings->setAttribute("apply", 1);
    settings->setAttribute("scale", 4096);
    recall(*processor, *xml);
    EXPECT_EQ(processor->advancedRandom.apply, 1);
    EXPECT_EQ(processor->advancedRandom.seed, 0); // every field defaults to 0 ...
    EXPECT_EQ(processor->advancedRandom.patLength, 1); // ... within the generator's ranges
    EXPECT_EQ(processor->advancedRandom.scale[0], 1);  // 4096: C alone
    for (int degree = 1; degree < 12; ++degree)
        EXPECT_EQ(processor->advancedRandom.scale[degree], 0);

    settings->setAttribute("scale", 8190);
    settings->setAttribute("patLength", 500);
    settings->setAttribute("noteDensity", -4);
    settings->setAttribute("gateDensity", 101);
    settings->setAttribute("root", 40);
    recall(*processor, *xml);
    for (int degree = 0; degree < 12; ++degree)
        EXPECT_EQ(processor->advancedRandom.scale[degree], 1);
    EXPECT_EQ(processor->advancedRandom.patLength, 64);
    EXPECT_EQ(processor->advancedRandom.noteDensity, 0);
    EXPECT_EQ(processor->advancedRandom.gateDensity, 100);
    EXPECT_EQ(processor->advancedRandom.root, 11);

    settings->setAttribute("scale", 2); // B alone
    recall(*processor, *xml);
    EXPECT_EQ(processor->advancedRandom.scale[11], 1);
    EXPECT_EQ(processor->advancedRandom.scale[10], 0);
}

TEST(HostState, LegacyControllerMapWithAndWithoutTheNewOne)
{
    auto processor = makeProcessor();
    processor->midiCCMap[6] = 3;
    auto xml = emptyState();
    juce::XmlElement* legacy = xml->createNewChildElement("midicc");
    legacy->createNewChildElement("midicc5")->setAttribute("controller", 7);
    legacy->createNewChildElement("midicc9"); // no "controller": -1
    recall(*processor, *xml);
    EXPECT_EQ(processor->midiCCMap[5], 7);
    EXPECT_EQ(processor->midiCCMap[6], 3); // entries it does not name keep their values
    EXPECT_EQ(processor->midiCCMap[9], -1);

    juce::XmlElement* current = xml->createNewChildElement("MidiCCMap");
    current->setAttribute("cc100", 2);
    recall(*processor, *xml);
    EXPECT_EQ(processor->midiCCMap[5], -1); // the new map replaces all 128 entries
    EXPECT_EQ(processor->midiCCMap[6], -1);
    EXPECT_EQ(processor->midiCCMap[100], 2);
}

TEST(HostState, MapsAndTuningOfAbsentChildrenStay)
{
    auto processor = makeProcessor();
    processor->midiKeyMap[3] = 220;
    processor->tuningTable[69] = 432.0;
    auto xml = emptyState();
    recall(*processor, *xml);
    EXPECT_EQ(processor->midiKeyMap[3], 220);
    EXPECT_EQ(processor->tuningTable[69], 432.0);
    EXPECT_EQ(processor->synth->customTuningTable[69], 432.0); // handed over whether present or not

    juce::XmlElement* tuning = xml->createNewChildElement("TuningTable");
    tuning->setAttribute("note1", 9.5);
    xml->createNewChildElement("MidiKeyMap");
    recall(*processor, *xml);
    EXPECT_EQ(processor->midiKeyMap[3], -1);
    EXPECT_EQ(processor->tuningTable[1], 9.5);
    EXPECT_EQ(processor->tuningTable[69], -1.0);
}

// Hosts that follow parameters only through their listeners (LV2) hear of every value a recall
// changed, and of no other.
TEST(HostState, RecalledParameterValuesReachTheHost)
{
    struct Listener : juce::AudioProcessorListener
    {
        std::vector<std::pair<int, float>> changes;
        void audioProcessorParameterChanged(juce::AudioProcessor*, int index, float value) override
        {
            changes.emplace_back(index, value);
        }
        void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
    } listener;

    auto processor = makeProcessor();
    processor->parameterValues[oxn3::kCutoff] = 0.3;
    const juce::MemoryBlock block = stateOf(*processor);
    auto recalled = makeProcessor();
    recalled->addListener(&listener);
    recall(*recalled, block);
    recalled->removeListener(&listener);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].first, oxn3::kCutoff);
    EXPECT_FLOAT_EQ(listener.changes[0].second, 0.3f);
}
