// The host's saved state of an instance: one "MYPLUGINSETTINGS" element holding the options, the
// parameters that belong to the sound, the current pattern and editor size as attributes, and the
// patterns, maps, tuning table and randomiser settings as children (HostStatePatterns.cpp,
// HostStateSettings.cpp). A recall restores all of it; a missing or foreign block changes nothing.
#include <algorithm>
#include <iterator>

#include "processor/HostParameter.h"
#include "processor/HostStateChildren.h"
#include "processor/HostStateWatcher.h"
#include "processor/PluginProcessor.h"
#include "processor/StateXml.h"

namespace
{
using Processor = JuceDemoPluginAudioProcessor;

constexpr const char* kRootTag = "MYPLUGINSETTINGS";
constexpr const char* kCurrentPatternAttribute = "CurrentPattern";
constexpr int kMaxNesting = 64;
constexpr double kTrimReadDefault = 0.5;

// Where a root attribute's value lives.
enum class Source
{
    Parameter,      // a host parameter: name and read default come from the parameter table
    IntField,       // an int field of the processor
    SwitchField,    // an int field of the processor that is off (0) or on (1)
    TrimField,      // a double field of the processor, 0..1, that also drives its host parameter
    CurrentPattern, // the engine's current pattern, 0..127
};

struct RootAttribute
{
    Source source;
    int parameter; // the host parameter it is (Parameter) or drives (TrimField)
    const char* name;
    int Processor::*intField;
    double Processor::*trimField;
    double readDefault;
    bool keepsCurrentWhenMissing;
};

constexpr RootAttribute parameter(int index)
{
    return {Source::Parameter, index, nullptr, nullptr, nullptr, 0.0, false};
}

constexpr RootAttribute intField(const char* name, int Processor::*field, int readDefault)
{
    return {Source::IntField, -1, name, field, nullptr, static_cast<double>(readDefault), false};
}

constexpr RootAttribute switchField(const char* name, int Processor::*field, int readDefault)
{
    return {Source::SwitchField, -1, name, field, nullptr, static_cast<double>(readDefault), false};
}

// A missing editor size keeps the size the instance has.
constexpr RootAttribute sizeField(const char* name, int Processor::*field)
{
    return {Source::IntField, -1, name, field, nullptr, 0.0, true};
}

constexpr RootAttribute trimField(const char* name, double Processor::*field, int parameter)
{
    return {Source::TrimField, parameter, name, nullptr, field, kTrimReadDefault, false};
}

constexpr RootAttribute currentPattern()
{
    return {Source::CurrentPattern, -1, kCurrentPatternAttribute, nullptr, nullptr, 0.0, false};
}

// The root attributes in the order they are written.
const RootAttribute kRootAttributes[] = {
    sizeField("uiWidth", &Processor::uiWidth),
    sizeField("uiHeight", &Processor::uiHeight),
    parameter(oxn3::kTuning),
    parameter(oxn3::kCutoff),
    parameter(oxn3::kResonance),
    parameter(oxn3::kEnvmod),
    parameter(oxn3::kDecay),
    parameter(oxn3::kAccent),
    parameter(oxn3::kVolume),
    parameter(oxn3::kWaveform),
    parameter(oxn3::kHighpass),
    parameter(oxn3::kDrive),
    parameter(oxn3::kEditView),
    switchField("MidiMode", &Processor::MidiMode, 0),
    switchField("SyncMode", &Processor::SyncMode, 0),
    switchField("MidiOutput", &Processor::MidiOutput, 0),
    switchField("UseVibrato", &Processor::VCOVibrato, 1),
    switchField("VCAClicks", &Processor::VCAClicks, 1),
    switchField("VCANoise", &Processor::VCANoise, 0),
    intField("VCOMode", &Processor::VCOMode, 1),
    switchField("OutputClipping", &Processor::OutputClipping, 0),
    switchField("PatternLock", &Processor::PatternLock, 0),
    currentPattern(),
    intField("PatternKnob", &Processor::PatternKnob, 0),
    switchField("ShowSticker", &Processor::ShowSticker, 1),
    switchField("VCOPhaseReset", &Processor::VCOPhaseReset, 0),
    switchField("ImprovedEmulation", &Processor::ImprovedEmulation, 1),
    trimField("ResoTrim", &Processor::ResoTrim, oxn3::kResoTrim),
    trimField("VCFTrim", &Processor::VCFTrim, oxn3::kVcfTrim),
    trimField("GateTrim", &Processor::GateTrim, oxn3::kGateTrim),
    trimField("TuningTrim", &Processor::TuningTrim, oxn3::kDetune),
    intField("TuningMode", &Processor::TuningMode, 0),
    parameter(oxn3::kBass),
    intField("EmulationEngine", &Processor::EmulationEngine, 3),
};

const char* attributeName(const RootAttribute& attribute)
{
    return attribute.source == Source::Parameter ? oxn3::kParameters[attribute.parameter].stateAttribute
                                                 : attribute.name;
}

void writeAttribute(const Processor& processor, const RootAttribute& attribute, juce::XmlElement& root)
{
    const char* name = attributeName(attribute);
    switch (attribute.source)
    {
    case Source::Parameter: root.setAttribute(name, processor.parameterValues[attribute.parameter]); break;
    case Source::IntField:
    case Source::SwitchField: root.setAttribute(name, processor.*attribute.intField); break;
    case Source::TrimField: root.setAttribute(name, processor.*attribute.trimField); break;
    case Source::CurrentPattern: root.setAttribute(name, processor.synth->currentPattern); break;
    }
}

// Values the engine expects in 0..1 are clamped; a state of ours never holds anything else.
double unitValue(double value)
{
    return juce::jlimit(0.0, 1.0, value);
}

void readAttribute(Processor& processor, const RootAttribute& attribute, const juce::XmlElement& root)
{
    const char* name = attributeName(attribute);
    switch (attribute.source)
    {
    case Source::Parameter:
    {
        const double readDefault = oxn3::kParameters[attribute.parameter].stateReadDefault;
        processor.parameterValues[attribute.parameter] = unitValue(oxn3state::readDouble(root, name, readDefault));
        break;
    }
    case Source::IntField:
    {
        int& field = processor.*attribute.intField;
        field = oxn3state::readInt(root, name,
                                   attribute.keepsCurrentWhenMissing ? field : static_cast<int>(attribute.readDefault));
        break;
    }
    case Source::SwitchField:
        // A foreign or damaged state may hold any number; the toggles and the engine know only off and on.
        processor.*attribute.intField =
            juce::jlimit(0, 1, oxn3state::readInt(root, name, static_cast<int>(attribute.readDefault)));
        break;
    case Source::TrimField:
    {
        // The trim's host parameter follows, so the host and the preferences page show what sounds.
        const double trim = unitValue(oxn3state::readDouble(root, name, attribute.readDefault));
        processor.*attribute.trimField = trim;
        processor.parameterValues[attribute.parameter] = trim;
        break;
    }
    case Source::CurrentPattern:
        processor.synth->currentPattern = juce::jlimit(0, oxn3::kUserPatterns - 1, oxn3state::readInt(root, name, 0));
        break;
    }
}

// Hosts that learn of parameter values only through the parameters' listeners (LV2) would go on
// showing, and sending back, the values from before the recall. Other hosts read the values
// themselves and hear only of those that changed.
void tellHostOfRecalledParameters(Processor& processor, const double* before)
{
    if (processor.wrapperType == juce::AudioProcessor::wrapperType_LV2)
    {
        processor.announceParametersToHost(); // an LV2 host may not know even the unchanged ones
        return;
    }

    for (int i = 0; i < oxn3::kNumParameters; ++i)
        if (processor.parameterValues[i] != before[i] && processor.hostParameters[static_cast<size_t>(i)] != nullptr)
            processor.hostParameters[static_cast<size_t>(i)]->sendValueChangedMessageToListeners(
                static_cast<float>(processor.parameterValues[i]));
}
} // namespace

void JuceDemoPluginAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    juce::XmlElement root(kRootTag);
    for (const RootAttribute& attribute : kRootAttributes)
        writeAttribute(*this, attribute, root);
    oxn3state::writePatterns(*this, root);
    oxn3state::writeMidiMaps(*this, root);
    oxn3state::writeTuningTable(*this, root);
    oxn3state::writeAdvancedRandom(*this, root);
    copyXmlToBinary(root, destData);
}

void JuceDemoPluginAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    const oxn3::HostStateWatcher::Recall recall(*stateWatcher); // the host knows what it recalls
    // Our states are plain XML three levels deep: a block the XML parser could trip over is refused.
    if (!oxn3state::isSafeStateBlock(data, sizeInBytes, kMaxNesting))
        return;
    const std::unique_ptr<juce::XmlElement> root = getXmlFromBinary(data, sizeInBytes);
    if (root == nullptr || !root->hasTagName(kRootTag))
        return;

    double before[oxn3::kNumParameters];
    std::copy(std::begin(parameterValues), std::end(parameterValues), before);
    for (const RootAttribute& attribute : kRootAttributes)
        readAttribute(*this, attribute, *root);
    tellHostOfRecalledParameters(*this, before);

    oxn3state::readPatterns(*this, *root);
    oxn3state::readMidiMaps(*this, *root);
    oxn3state::readTuningTable(*this, *root);
    oxn3state::readAdvancedRandom(*this, *root);
}
