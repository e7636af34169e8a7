// The MIDI-learn maps, the tuning table and the advanced randomiser's settings in the saved state.
#include <climits>

#include "processor/HostStateChildren.h"
#include "processor/PluginProcessor.h"
#include "processor/StateXml.h"

namespace oxn3state
{
namespace
{
constexpr const char* kControllerMapTag = "MidiCCMap";
constexpr const char* kControllerPrefix = "cc";
constexpr const char* kKeyMapTag = "MidiKeyMap";
constexpr const char* kKeyPrefix = "key";
constexpr const char* kLegacyControllerMapTag = "midicc"; // states of older versions
constexpr const char* kLegacyControllerPrefix = "midicc";
constexpr const char* kLegacyControllerAttribute = "controller";
constexpr const char* kTuningTableTag = "TuningTable";
constexpr const char* kNotePrefix = "note";
constexpr double kMissingFrequency = -1.0;
constexpr const char* kAdvancedRandomTag = "AdvancedRandom";
constexpr const char* kScaleAttribute = "scale";
constexpr int kScaleTopBit = AdvancedRandom_t::kScaleDegrees; // C at bit 12 down to B at bit 1

// The integer settings in the order they are written. The generator needs the length and the
// densities in range, so a recall clamps them (and the root, a scale degree).
struct RandomiserAttribute
{
    const char* name;
    std::int32_t AdvancedRandom_t::*field;
    int lowest;
    int highest;
};

constexpr int kPercent = 100;
constexpr int kHighestRoot = AdvancedRandom_t::kScaleDegrees - 1;

constexpr RandomiserAttribute kRandomiserAttributes[] = {
    {"patLength", &AdvancedRandom_t::patLength, 1, Vst303Pattern::kMaxSteps},
    {"upperRange", &AdvancedRandom_t::upperRange, INT_MIN, INT_MAX},
    {"lowerRange", &AdvancedRandom_t::lowerRange, INT_MIN, INT_MAX},
    {"upperRange2", &AdvancedRandom_t::upperRange2, INT_MIN, INT_MAX},
    {"lowerRange2", &AdvancedRandom_t::lowerRange2, INT_MIN, INT_MAX},
    {"noteDensity", &AdvancedRandom_t::noteDensity, 0, kPercent},
    {"gateDensity", &AdvancedRandom_t::gateDensity, 0, kPercent},
    {"slideDensity", &AdvancedRandom_t::slideDensity, 0, kPercent},
    {"accentDensity", &AdvancedRandom_t::accentDensity, 0, kPercent},
    {"fixedScale", &AdvancedRandom_t::fixedScale, INT_MIN, INT_MAX},
    {"randomizeNote", &AdvancedRandom_t::randomizeNote, INT_MIN, INT_MAX},
    {"randomizeGate", &AdvancedRandom_t::randomizeGate, INT_MIN, INT_MAX},
    {"randomizeSlide", &AdvancedRandom_t::randomizeSlide, INT_MIN, INT_MAX},
    {"randomizeAccent", &AdvancedRandom_t::randomizeAccent, INT_MIN, INT_MAX},
    {"root", &AdvancedRandom_t::root, 0, kHighestRoot},
    {"mode", &AdvancedRandom_t::mode, INT_MIN, INT_MAX},
    {"seed", &AdvancedRandom_t::seed, INT_MIN, INT_MAX},
    {"apply", &AdvancedRandom_t::apply, INT_MIN, INT_MAX},
};

int scaleBit(int degree)
{
    return 1 << (kScaleTopBit - degree);
}

int packScale(const AdvancedRandom_t& settings)
{
    int packed = 0;
    for (int degree = 0; degree < AdvancedRandom_t::kScaleDegrees; ++degree)
        if (settings.scale[degree] & 1)
            packed |= scaleBit(degree);
    return packed;
}

void unpackScale(AdvancedRandom_t& settings, int packed)
{
    for (int degree = 0; degree < AdvancedRandom_t::kScaleDegrees; ++degree)
        settings.scale[degree] = (packed & scaleBit(degree)) != 0 ? 1 : 0;
}

void writeMap(juce::XmlElement& root, const char* tag, const char* prefix, const int* map)
{
    juce::XmlElement* element = root.createNewChildElement(tag);
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
        element->setAttribute(numberedName(prefix, n), map[n]);
}

// Every entry from the child when it is present; entries it lacks become -1.
void readMap(const juce::XmlElement& root, const char* tag, const char* prefix, int* map)
{
    if (const juce::XmlElement* element = root.getChildByName(tag))
        for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
            map[n] = readInt(*element, numberedName(prefix, n).toRawUTF8(), oxn3::kNoLearnTarget);
}

// The older form: one child per controller; only the entries it names change.
void readLegacyControllerMap(const juce::XmlElement& root, int* map)
{
    const juce::XmlElement* element = root.getChildByName(kLegacyControllerMapTag);
    if (element == nullptr)
        return;
    const juce::XmlElement* entries[oxn3::kNumMidiNotes];
    findNumberedChildren(*element, kLegacyControllerPrefix, entries, oxn3::kNumMidiNotes);
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
        if (entries[n] != nullptr)
            map[n] = readInt(*entries[n], kLegacyControllerAttribute, oxn3::kNoLearnTarget);
}
} // namespace

void writeMidiMaps(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root)
{
    writeMap(root, kControllerMapTag, kControllerPrefix, processor.midiCCMap);
    writeMap(root, kKeyMapTag, kKeyPrefix, processor.midiKeyMap);
}

void readMidiMaps(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root)
{
    readLegacyControllerMap(root, processor.midiCCMap);
    readMap(root, kControllerMapTag, kControllerPrefix, processor.midiCCMap); // replaces the older form
    readMap(root, kKeyMapTag, kKeyPrefix, processor.midiKeyMap);
}

void writeTuningTable(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root)
{
    juce::XmlElement* element = root.createNewChildElement(kTuningTableTag);
    for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
        element->setAttribute(numberedName(kNotePrefix, n), processor.tuningTable[n]);
}

void readTuningTable(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root)
{
    if (const juce::XmlElement* element = root.getChildByName(kTuningTableTag))
        for (int n = 0; n < oxn3::kNumMidiNotes; ++n)
            processor.tuningTable[n] = readDouble(*element, numberedName(kNotePrefix, n).toRawUTF8(), kMissingFrequency);
    processor.synth->setTuningTable(processor.tuningTable);
}

void writeAdvancedRandom(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root)
{
    juce::XmlElement* element = root.createNewChildElement(kAdvancedRandomTag);
    const AdvancedRandom_t& settings = processor.advancedRandom;
    for (const RandomiserAttribute& attribute : kRandomiserAttributes)
        element->setAttribute(attribute.name, static_cast<int>(settings.*attribute.field));
    element->setAttribute(kScaleAttribute, packScale(settings));
}

void readAdvancedRandom(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root)
{
    const juce::XmlElement* element = root.getChildByName(kAdvancedRandomTag);
    if (element == nullptr)
        return;
    AdvancedRandom_t& settings = processor.advancedRandom;
    for (const RandomiserAttribute& attribute : kRandomiserAttributes)
        settings.*attribute.field = juce::jlimit(attribute.lowest, attribute.highest, readInt(*element, attribute.name, 0));
    unpackScale(settings, readInt(*element, kScaleAttribute, 0));
}
} // namespace oxn3state
