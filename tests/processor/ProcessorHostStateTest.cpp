// The host state: save and recall of every stored field, the reader's clamps and defaults, and
// states written by older versions.
#include <cstring>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;

namespace
{
using Processor = JuceDemoPluginAudioProcessor;
constexpr int kStoredParameters[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16};

juce::MemoryBlock stateOf(Processor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation(block);
    return block;
}

void recall(Processor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
}

void recall(Processor& processor, const juce::XmlElement& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(xml, block);
    recall(processor, block);
}

// The root element of our own, for the reader's edge cases.
std::unique_ptr<juce::XmlElement> emptyState() { return std::make_unique<juce::XmlElement>("MYPLUGINSETTINGS"); }

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
    for (const int i : kStoredParameters)
        fields.push_back(&p.parameterValues[i]);
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
        fields.push_back(&p.tuningTable[n]);
    return fields;
}

// Every stored field away from its default, from a seeded generator.
void fillStoredFields(Processor& p, std::mt19937& random)
{
    std::uniform_int_distribution<int> any(-300, 300);
    for (const auto& [field, value] : storedInts(p))
        *field = value;
    for (double* field : storedDoubles(p))
        *field = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
    {
        p.synth->patterns[n].setLength(1 + static_cast<int>(random() % 64));
        for (step_t& step : p.synth->patterns[n].steps)
            step = step_t{static_cast<std::int8_t>(any(random)), static_cast<std::uint8_t>(random() & 0x1F)};
    }
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
    {
        p.midiCCMap[n] = any(random);
        p.midiKeyMap[n] = any(random);
    }
    p.advancedRandom = {2, 0, 1, 0, 1, 37, 64, 12, 99, {1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0}, 1, 0, 1, 0, 1, 7, 3, 987654, 1};
}
} // namespace

// What is not stored (triplet and tie bits, Distort, LockToPresetLengths) stays with the
// recalling instance.
TEST(HostState, RecallOnAFreshInstanceRestoresEveryStoredField)
{
    std::mt19937 random(4242);
    auto saved = makeProcessor();
    fillStoredFields(*saved, random);
    saved->synth->patterns[3].setTriplet(1);
    saved->synth->patterns[3].steps[2].set(step_t::kTie, true);
    saved->setParameter(oxn3::kDistort, 0.9f);
    saved->LockToPresetLengths = 1;
    const juce::MemoryBlock block = stateOf(*saved);
    auto recalled = makeProcessor();
    recalled->synth->patterns[4].setTriplet(1);
    recalled->synth->patterns[4].steps[7].flags |= step_t::kTie | 0x40;
    recall(*recalled, block);

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
        for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
        {
            ASSERT_EQ(a.steps[s].pitch, b.steps[s].pitch) << n << " " << s;
            ASSERT_EQ(a.steps[s].flags & 0x1F, b.steps[s].flags & 0x1F) << n << " " << s;
        }
    }
    EXPECT_EQ(std::memcmp(saved->midiCCMap, recalled->midiCCMap, sizeof(saved->midiCCMap)), 0);
    EXPECT_EQ(std::memcmp(saved->midiKeyMap, recalled->midiKeyMap, sizeof(saved->midiKeyMap)), 0);
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
        EXPECT_EQ(recalled->tuningTable[n], recalled->synth->customTuningTable[n]); // handed to the engine
    EXPECT_EQ(std::memcmp(&saved->advancedRandom, &recalled->advancedRandom, sizeof(AdvancedRandom_t)), 0);
    EXPECT_TRUE(stateOf(*recalled) == block); // and it saves the same block again

    EXPECT_EQ(recalled->synth->patterns[3].getTriplet(), 0);
    EXPECT_FALSE(recalled->synth->patterns[3].steps[2].has(step_t::kTie));
    EXPECT_EQ(recalled->synth->patterns[4].getTriplet(), 1);
    EXPECT_EQ(recalled->synth->patterns[4].steps[7].flags & (step_t::kTie | 0x40), step_t::kTie | 0x40);
    EXPECT_EQ(recalled->getParameter(oxn3::kDistort), 0.0f);
    EXPECT_EQ(recalled->LockToPresetLengths, 0);
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
    EXPECT_EQ(xml->getStringAttribute("Volume"), "0.75");

    ASSERT_EQ(xml->getNumChildElements(), 128 + 4);
    const std::pair<int, const char*> children[] = {{0, "oxn3pattern0"}, {127, "oxn3pattern127"}, {128, "MidiCCMap"},
                                                    {129, "MidiKeyMap"}, {130, "TuningTable"}, {131, "AdvancedRandom"}};
    for (const auto& [index, tag] : children)
        EXPECT_EQ(xml->getChildElement(index)->getTagName(), tag);
    const juce::XmlElement* step = xml->getChildElement(0)->getChildElement(63);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->getTagName(), "step63");
    const char* stepAttributes[] = {"pitch", "gate", "down", "up", "accent", "slide"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(step->getAttributeName(i), stepAttributes[i]);
    EXPECT_EQ(xml->getChildElement(131)->getAttributeName(18), "scale");
    EXPECT_EQ(xml->getChildElement(131)->getIntAttribute("scale"), 8190);
}

TEST(HostState, ClampsStepAttributesDefaultsAndMissingChildren)
{
    auto processor = makeProcessor();
    Vst303Pattern& p = processor->synth->patterns[5];
    p.steps[9] = step_t{3, step_t::kSlide};
    p.steps[1].flags = step_t::kTie | step_t::kAccent;
    processor->synth->patterns[8].setLength(5);
    processor->synth->patterns[2].setTriplet(1);

    auto xml = emptyState();
    xml->setAttribute("CurrentPattern", 200);
    xml->createNewChildElement("oxn3pattern0")->setAttribute("length", 0);
    xml->createNewChildElement("oxn3pattern1")->setAttribute("length", 100);
    xml->createNewChildElement("oxn3pattern2")->setAttribute("length", 12);
    juce::XmlElement* pattern = xml->createNewChildElement("oxn3pattern5");
    pattern->createNewChildElement("step1")->setAttribute("pitch", 7); // no "gate": a gated step
    juce::XmlElement* flagged = pattern->createNewChildElement("step2");
    flagged->setAttribute("pitch", -3);
    flagged->setAttribute("gate", 0);
    for (const char* flag : {"down", "up", "accent", "slide"})
        flagged->setAttribute(flag, 1);
    pattern->createNewChildElement("step3")->setAttribute("pitch", 300); // stored as a signed byte
    xml->createNewChildElement("oxn3pattern08")->setAttribute("length", 2); // not how "%d" spells 8
    recall(*processor, *xml);

    EXPECT_EQ(p.getLength(), 16); // "length" missing: 16
    EXPECT_EQ(p.steps[1].pitch, 7);
    EXPECT_EQ(p.steps[1].flags, step_t::kGate | step_t::kTie); // tie kept, accent not
    EXPECT_EQ(p.steps[2].pitch, -3);
    EXPECT_EQ(p.steps[2].flags, step_t::kDown | step_t::kUp | step_t::kAccent | step_t::kSlide);
    EXPECT_EQ(p.steps[3].pitch, 44);
    EXPECT_EQ(p.steps[9].pitch, 3); // no child: the step keeps its contents
    EXPECT_EQ(p.steps[9].flags, step_t::kSlide);
    EXPECT_EQ(processor->synth->patterns[8].getLength(), 5); // no pattern child: the pattern stays whole
    EXPECT_EQ(processor->synth->currentPattern, 127);
    EXPECT_EQ(processor->synth->patterns[0].getLength(), 1);
    EXPECT_EQ(processor->synth->patterns[1].getLength(), 64);
    EXPECT_EQ(processor->synth->patterns[2].getLength(), 12);
    EXPECT_EQ(processor->synth->patterns[2].getTriplet(), 1); // the other header bits stay

    xml->setAttribute("CurrentPattern", -5);
    recall(*processor, *xml);
    EXPECT_EQ(processor->synth->currentPattern, 0);
}

TEST(HostState, ReaderDefaultsForMissingAttributesAndForeignBlocks)
{
    auto processor = makeProcessor();
    processor->uiWidth = 1500;
    processor->synth->currentPattern = 9;
    processor->parameterValues[oxn3::kCutoff] = 0.8;
    processor->advancedRandom.seed = 99;
    recall(*processor, *emptyState());
    EXPECT_EQ(processor->advancedRandom.seed, 99); // restored only when present
    EXPECT_EQ(processor->uiWidth, 1500); // a missing size keeps the current one
    EXPECT_EQ(processor->uiHeight, 358);
    const std::pair<int, float> parameters[] = {
        {oxn3::kVolume, 0.0f}, {oxn3::kDrive, 0.5f}, {oxn3::kTuning, 0.5f}, {oxn3::kCutoff, 0.0f}, {oxn3::kBass, 0.5f}};
    for (const auto& [index, value] : parameters)
        EXPECT_EQ(processor->getParameter(index), value) << index;
    const std::pair<int*, int> fields[] = {{&processor->SyncMode, 0}, {&processor->VCOVibrato, 1},
        {&processor->ShowSticker, 1}, {&processor->EmulationEngine, 3}, {&processor->synth->currentPattern, 0}};
    for (const auto& [field, value] : fields)
        EXPECT_EQ(*field, value);
    EXPECT_EQ(processor->ResoTrim, 0.5);

    // Foreign, empty and unwrapped blocks change nothing.
    processor->parameterValues[oxn3::kCutoff] = 0.8;
    const juce::MemoryBlock before = stateOf(*processor);
    juce::XmlElement foreign("SOMEONEELSE");
    foreign.setAttribute("Cutoff", 0.1);
    recall(*processor, foreign);
    processor->setStateInformation(nullptr, 0);
    processor->setStateInformation(before.getData(), -5);
    const char text[] = "<MYPLUGINSETTINGS Cutoff=\"0.1\"/>";
    processor->setStateInformation(text, static_cast<int>(sizeof(text)));
    EXPECT_TRUE(stateOf(*processor) == before);
}

TEST(HostState, AdvancedRandomScaleAndRanges)
{
    auto processor = makeProcessor();
    const AdvancedRandom_t& r = processor->advancedRandom;
    processor->advancedRandom.seed = 99;
    auto xml = emptyState();
    juce::XmlElement* settings = xml->createNewChildElement("AdvancedRandom");
    settings->setAttribute("apply", 1);
    settings->setAttribute("scale", 4096);
    recall(*processor, *xml);
    EXPECT_EQ(r.apply, 1);
    EXPECT_EQ(r.seed, 0);      // every field defaults to 0 ...
    EXPECT_EQ(r.patLength, 1); // ... within the generator's ranges
    for (int degree = 0; degree < 12; ++degree)
        EXPECT_EQ(r.scale[degree], degree == 0 ? 1 : 0) << degree; // 4096: C alone

    const std::tuple<const char*, int, const int*, int> clamped[] = {
        {"patLength", 500, &r.patLength, 64}, {"noteDensity", -4, &r.noteDensity, 0},
        {"gateDensity", 101, &r.gateDensity, 100}, {"root", 40, &r.root, 11}};
    for (const auto& [name, stored, field, read] : clamped)
        settings->setAttribute(name, stored);
    settings->setAttribute("scale", 8190);
    recall(*processor, *xml);
    for (const auto& [name, stored, field, read] : clamped)
        EXPECT_EQ(*field, read) << name;
    for (int degree = 0; degree < 12; ++degree)
        EXPECT_EQ(r.scale[degree], 1);

    settings->setAttribute("scale", 2); // B alone
    recall(*processor, *xml);
    EXPECT_EQ(r.scale[11], 1);
    EXPECT_EQ(r.scale[10], 0);
}

TEST(HostState, ControllerKeyAndTuningMapsIncludingTheLegacyOne)
{
    auto processor = makeProcessor();
    processor->midiCCMap[6] = 3;
    processor->midiKeyMap[3] = 220;
    processor->tuningTable[69] = 432.0;
    auto xml = emptyState();
    juce::XmlElement* legacy = xml->createNewChildElement("midicc");
    legacy->createNewChildElement("midicc5")->setAttribute("controller", 7);
    legacy->createNewChildElement("midicc9"); // no "controller": -1
    recall(*processor, *xml);
    EXPECT_EQ(processor->midiCCMap[5], 7);
    EXPECT_EQ(processor->midiCCMap[6], 3); // entries it does not name keep their values
    EXPECT_EQ(processor->midiCCMap[9], -1);
    EXPECT_EQ(processor->midiKeyMap[3], 220); // absent children leave their maps alone
    EXPECT_EQ(processor->tuningTable[69], 432.0);
    EXPECT_EQ(processor->synth->customTuningTable[69], 432.0); // handed over whether present or not

    xml->createNewChildElement("MidiCCMap")->setAttribute("cc100", 2);
    xml->createNewChildElement("TuningTable")->setAttribute("note1", 9.5);
    xml->createNewChildElement("MidiKeyMap");
    recall(*processor, *xml);
    EXPECT_EQ(processor->midiCCMap[5], -1); // the new map replaces all 128 entries
    EXPECT_EQ(processor->midiCCMap[6], -1);
    EXPECT_EQ(processor->midiCCMap[100], 2);
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
    auto recalled = makeProcessor();
    recalled->addListener(&listener);
    recall(*recalled, stateOf(*processor));
    recalled->removeListener(&listener);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].first, oxn3::kCutoff);
    EXPECT_FLOAT_EQ(listener.changes[0].second, 0.3f);
}
