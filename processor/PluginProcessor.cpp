#include "processor/PluginProcessor.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "processor/DataFolder.h"
#include "processor/HostParameter.h"
#include "processor/HostStateWatcher.h"
#if !OXN3_WITHOUT_EDITOR
#include "ui/window/PluginEditor.h"
#endif

namespace
{
constexpr const char* kPluginName = "OXN3";
constexpr const char* kProgramName = "Default";
constexpr const char* kConfigFileName = "Config.ini";
constexpr const char* kPatternsFolderName = "Patterns";
} // namespace

// A synth: no audio input, stereo output by default (mono accepted, see isBusesLayoutSupported).
JuceDemoPluginAudioProcessor::JuceDemoPluginAudioProcessor()
    : juce::AudioProcessor(BusesProperties().withOutput("Output", juce::AudioChannelSet::stereo(), true))
{
    lastPosInfo.resetToDefault();

    // The engine starts at rest; initialize() runs a second time on purpose (the constructor ran it).
    synth = std::make_unique<Synth303>();
    synth->initialize();
    synth->playStep = 0;
    synth->slideActive = 0;
    synth->stepSlide = 0;
    synth->gate = 0;
    synth->stepGate = 0;
    synth->stepSampleCounter = 0;
    synth->stepPhase = 0.0;
    synth->swingIndex = 0;
    synth->runRequest = 0;

    waveShaper = std::make_unique<AAWaveShaper>();

    std::fill(std::begin(midiCCMap), std::end(midiCCMap), oxn3::kNoLearnTarget);
    std::fill(std::begin(midiKeyMap), std::end(midiKeyMap), oxn3::kNoLearnTarget);

    for (const oxn3::ParameterInfo& info : oxn3::kParameters)
    {
        parameterDefaults[info.index] = info.defaultValue;
        parameterValues[info.index] = info.defaultValue;
    }
    createHostParameters();

    formatManager = std::make_unique<juce::AudioFormatManager>();
    formatManager->registerBasicFormats();
    thumbnailCache = std::make_unique<juce::AudioThumbnailCache>(oxn3::kInitialThumbnailCacheEntries);
    sampleBuffer.setSize(1, oxn3::kAnalyserBufferSamples);
    sampleBuffer.clear(); // fresh memory may hold a freed instance's samples
    captureBuffer.setSize(1, oxn3::kAnalyserBufferSamples);
    captureBuffer.clear();

    const std::string folder = oxn3::dataFolderPath();
    if (folder.size() < sizeof(configFolder))
        std::memcpy(configFolder, folder.c_str(), folder.size() + 1);
    patternsFolder = juce::File(juce::String::fromUTF8(configFolder)).getChildFile(kPatternsFolderName);

    ResetConfig();
    ReadConfig(kConfigFileName);

    TuningMode = 0;
    fillEqualTemperedTuning();

    guiRefresh = 0;
    midiActivity = 0;

    stateWatcher = std::make_unique<oxn3::HostStateWatcher>(*this); // last: the state is complete
}

JuceDemoPluginAudioProcessor::~JuceDemoPluginAudioProcessor()
{
    stateWatcher.reset();
    sampleBuffer.setSize(0, 0);
    synth.reset();
    waveShaper.reset();
    // The overview may still be reading its file on the cache's thread through the format
    // manager: it goes first, then its cache, then the format manager.
    thumbnail.reset();
    thumbnailCache.reset();
    formatManager.reset();
}

void JuceDemoPluginAudioProcessor::createHostParameters()
{
    for (const oxn3::ParameterInfo& info : oxn3::kParameters)
    {
        auto parameter = std::make_unique<HostParameter>(*this, info);
        hostParameters[static_cast<size_t>(info.index)] = parameter.get();
        addParameter(parameter.release());
    }
}

void JuceDemoPluginAudioProcessor::fillEqualTemperedTuning()
{
    // Repeated multiplication, not pow(): the stored table is exactly this sequence.
    tuningTable[0] = oxn3::kTuningTableBaseHz;
    for (int note = 1; note < oxn3::kNumMidiNotes; ++note)
        tuningTable[note] = tuningTable[note - 1] * oxn3::kSemitoneRatio;
}

// ===================== parameters

int JuceDemoPluginAudioProcessor::getNumParameters()
{
    return oxn3::kNumParameters;
}

const juce::String JuceDemoPluginAudioProcessor::getParameterName(int index)
{
    return oxn3::learnTargetName(index);
}

float JuceDemoPluginAudioProcessor::getParameter(int index)
{
    return oxn3::isParameterIndex(index) ? static_cast<float>(parameterValues[index]) : 0.0f;
}

const juce::String JuceDemoPluginAudioProcessor::getParameterText(int index)
{
    return oxn3::hostValueText(index, getParameter(index));
}

juce::String JuceDemoPluginAudioProcessor::getParameterTextForGUI(int index)
{
    return oxn3::editorValueText(index, getParameter(index));
}

float JuceDemoPluginAudioProcessor::getParameterDefaultValue(int index)
{
    return oxn3::isParameterIndex(index) ? static_cast<float>(parameterDefaults[index]) : 0.0f;
}

void JuceDemoPluginAudioProcessor::applyParameter(int index, float newValue)
{
    if (oxn3::isParameterIndex(index))
        parameterValues[index] = newValue;

    switch (index)
    {
    case oxn3::kResoTrim: ResoTrim = newValue; break;
    case oxn3::kGateTrim: GateTrim = newValue; break;
    case oxn3::kDetune: TuningTrim = newValue; break;
    case oxn3::kVcfTrim: VCFTrim = newValue; break;
    default: break;
    }
    guiRefresh = 1;
}

void JuceDemoPluginAudioProcessor::setParameter(int index, float newValue)
{
    applyParameter(index, newValue);
    // Tell the host about changes from the editor and MIDI learn, so that its copy of the value
    // (automation, generic editors) stays in step. Only listeners are called, never
    // HostParameter::setValue, so this cannot come back here.
    if (oxn3::isParameterIndex(index))
        hostParameters[static_cast<size_t>(index)]->sendValueChangedMessageToListeners(newValue);
}

void JuceDemoPluginAudioProcessor::setParameterFromWindow(int index, float newValue)
{
    touchedParameter = index;
    if (oxn3::isParameterIndex(index))
        hostParameters[static_cast<size_t>(index)]->setValueNotifyingHost(newValue);
}

void JuceDemoPluginAudioProcessor::announceParametersToHost()
{
    for (int i = 0; i < oxn3::kNumParameters; ++i)
        hostParameters[static_cast<size_t>(i)]->sendValueChangedMessageToListeners(
            static_cast<float>(parameterValues[i]));
}

// ===================== host questions

const juce::String JuceDemoPluginAudioProcessor::getName() const
{
    return kPluginName;
}

void JuceDemoPluginAudioProcessor::prepareToPlay(double, int)
{
    // The sample rate reaches the engine at the start of every block; the voice's states, made at
    // another rate (or before a pause), start again from rest. An LV2 instance is prepared once,
    // as it is created: its host learns the starting values here.
    synth->clearVoiceStates();
    if (hostReportsOnlyChanges)
        announceParametersToHost();
}

void JuceDemoPluginAudioProcessor::releaseResources()
{
}

bool JuceDemoPluginAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    // A synth: no audio input; mono or stereo output (the voice is mono, copied to both channels).
    const juce::AudioChannelSet output = layouts.getMainOutputChannelSet();
    return layouts.getMainInputChannelSet().isDisabled()
           && (output == juce::AudioChannelSet::mono() || output == juce::AudioChannelSet::stereo());
}

const juce::String JuceDemoPluginAudioProcessor::getInputChannelName(int channelIndex) const
{
    return juce::String(channelIndex + 1);
}

const juce::String JuceDemoPluginAudioProcessor::getOutputChannelName(int channelIndex) const
{
    return juce::String(channelIndex + 1);
}

bool JuceDemoPluginAudioProcessor::isInputChannelStereoPair(int) const
{
    return true;
}

bool JuceDemoPluginAudioProcessor::isOutputChannelStereoPair(int) const
{
    return true;
}

bool JuceDemoPluginAudioProcessor::silenceInProducesSilenceOut() const
{
    return false;
}

double JuceDemoPluginAudioProcessor::getTailLengthSeconds() const
{
    return 0.0;
}

bool JuceDemoPluginAudioProcessor::acceptsMidi() const
{
    return true;
}

bool JuceDemoPluginAudioProcessor::producesMidi() const
{
    return true;
}

void JuceDemoPluginAudioProcessor::reset()
{
    synth->clearVoiceStates(); // no tail of the voice rings on; the sequencer goes on as it was
}

juce::AudioProcessorEditor* JuceDemoPluginAudioProcessor::createEditor()
{
#if OXN3_WITHOUT_EDITOR
    return nullptr;
#else
    auto* editor = new JuceDemoPluginAudioProcessorEditor(*this);
    stateWatcher->watchEditor(*editor);
    return editor;
#endif
}

bool JuceDemoPluginAudioProcessor::hasEditor() const
{
#if OXN3_WITHOUT_EDITOR
    return false;
#else
    return true;
#endif
}

int JuceDemoPluginAudioProcessor::getNumPrograms()
{
    return 1;
}

int JuceDemoPluginAudioProcessor::getCurrentProgram()
{
    return 0;
}

void JuceDemoPluginAudioProcessor::setCurrentProgram(int)
{
}

const juce::String JuceDemoPluginAudioProcessor::getProgramName(int)
{
    return kProgramName;
}

void JuceDemoPluginAudioProcessor::changeProgramName(int, const juce::String&)
{
}

// Every plug-in format's entry point ends here.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new JuceDemoPluginAudioProcessor();
}
