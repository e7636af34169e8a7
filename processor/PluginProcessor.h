#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include "engine/AAWaveShaper.h"
#include "engine/Synth303.h"
#include "patterns/AdvancedRandom.h"
#include "patterns/RandomGenerator.h"
#include "processor/ParameterTable.h"

class HostParameter;

namespace oxn3
{
class HostStateWatcher;

constexpr int kPatternMode = 0; // MidiMode: a note selects and starts a pattern
constexpr int kNoteMode = 1;    // MidiMode: keys play the voice
constexpr int kAnalyserBufferSamples = 441000;
constexpr int kInitialThumbnailCacheEntries = 8;
constexpr int kConfigFolderSize = 1024;
constexpr int kMidiActivityOnNote = 100; // MIDI LED countdown in blocks
constexpr double kTuningTableBaseHz = 8.175798915636872;
constexpr double kSemitoneRatio = 1.059463094359;
constexpr int kDefaultUiWidth = 980;
constexpr int kDefaultUiHeight = 358;
constexpr std::uint32_t kRandomGeneratorStart = 12141221u;
} // namespace oxn3

// The object a host talks to: owns the engine, holds the parameters, options, MIDI-learn maps,
// tuning table, randomiser settings and the analyser's audio. Fields are public: the editor and
// its pages read and write them directly; the audio callback reads them once per block.
//
// Behaviour lives in one file per concern: PluginProcessor.cpp (life cycle, host questions,
// parameters), AudioCallback.cpp and HostSync.cpp (processBlock), MidiInput.cpp and MidiLearn.cpp,
// HostState.cpp with HostStatePatterns.cpp, HostStateSettings.cpp and StateXml.cpp, HostStateWatcher.cpp
// with HostStateFingerprint.cpp, ConfigFiles.cpp (over the plain readers and writers of
// processor/files/), AnalyserAudio.cpp.
class JuceDemoPluginAudioProcessor : public juce::AudioProcessor
{
public:
    JuceDemoPluginAudioProcessor();
    ~JuceDemoPluginAudioProcessor() override;

    // ===================== juce::AudioProcessor
    const juce::String getName() const override;
    void prepareToPlay(double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;
    void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using juce::AudioProcessor::processBlock;
    const juce::String getInputChannelName(int channelIndex) const override;
    const juce::String getOutputChannelName(int channelIndex) const override;
    bool isInputChannelStereoPair(int index) const override;
    bool isOutputChannelStereoPair(int index) const override;
    bool silenceInProducesSilenceOut() const override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    void reset() override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    // Parameters by index. The host parameter objects forward here, so host automation,
    // the editor and MIDI learn all take the same road.
    int getNumParameters() override;
    const juce::String getParameterName(int index) override;
    float getParameter(int index) override;
    const juce::String getParameterText(int index) override;
    float getParameterDefaultValue(int index) override;
    void setParameter(int index, float newValue) override;
    juce::String getParameterTextForGUI(int index);

    // setParameter without telling the host: the road of the host's own changes.
    void applyParameter(int index, float newValue);

    // A move of the user's own in OXN3's window: the control becomes the MIDI-learn target and the
    // host hears the value. Recalls, host automation, file loads and controllers set values
    // without touching, so they never pick what the next controller learns.
    void setParameterFromWindow(int index, float newValue);

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram(int index) override;
    const juce::String getProgramName(int index) override;
    void changeProgramName(int index, const juce::String& newName) override;

    // HostState.cpp
    void getStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;

    // ===================== MIDI input and learn (MidiInput.cpp, audio thread unless noted)
    void handleMidiEvent(juce::MidiMessage message);
    void NoteOn(int note, int velocity);
    void NoteOff(int note);
    void handleMidiKeyMapping(int id);
    void handleMidiCC(int id, int value);
    void resetMidiLearn();       // message thread
    int LookupCC(int id);        // message thread
    int LookupMidiKey(int id);   // message thread

    // ===================== configuration, MIDI map and tuning files (ConfigFiles.cpp)
    int WriteConfig(const char* name);
    void ResetConfig();
    int ReadConfig(const char* name);
    int WriteMidiCC(const char* path);
    int ReadMidiCC(const char* path);
    int LoadTuningTable(const char* path);

    // ===================== analyser audio (AnalyserAudio.cpp, message thread)
    void loadFileIntoTransport(const juce::File& file);

    // Stops the sequencer and silences the gate; used on host stop and by MIDI input.
    void stopEngine();

    // Tells the host every parameter's value. LV2 hosts learn values only from the plug-in's own
    // change messages, never from the defaults the bundle declares.
    void announceParametersToHost();

    // ===================== fields (this order)
    juce::AudioPlayHead::CurrentPositionInfo lastPosInfo;
    int uiWidth = oxn3::kDefaultUiWidth;
    int uiHeight = oxn3::kDefaultUiHeight;
    double parameterValues[oxn3::kNumParameters] = {};
    double parameterDefaults[oxn3::kNumParameters] = {};
    int SyncMode = 1;
    int MidiMode = oxn3::kPatternMode;
    int MidiOutput = 0;
    int midiLearnActive = 0;
    int VCOVibrato = 1;
    int VCAClicks = 1;
    int VCANoise = 0;
    int VCOMode = 1;
    int OutputClipping = 0;
    int PatternLock = 0;
    int ShowSticker = 1;
    int VCOPhaseReset = 0;
    int ImprovedEmulation = 1;
    int lastImprovedEmulation = 0;
    double ResoTrim = 0.5;
    double GateTrim = 0.5;
    double TuningTrim = 0.5;
    double VCFTrim = 0.5;
    std::unique_ptr<Synth303> synth;
    std::unique_ptr<AAWaveShaper> waveShaper;
    int heldVelocity[oxn3::kNumMidiNotes] = {};
    int heldOrder[oxn3::kNumMidiNotes] = {};
    int keyOrderCounter = 0;
    int sentMidiNotes[oxn3::kNumMidiNotes] = {};
    std::uint32_t sentMidiStrikes[oxn3::kNumMidiNotes] = {}; // the engine's note-on counts when last sent
    int blocksSincePhaseWrap = 0;
    double hostStepPhase = 0.0;
    double prevHostStepPhase = 0.0;
    int touchedParameter = oxn3::kNoLearnTarget; // the control the user touched last in the window
    int lastMidiNote = 0;
    int midiCCMap[oxn3::kNumMidiNotes] = {};
    int midiKeyMap[oxn3::kNumMidiNotes] = {};
    int TuningMode = 0;
    double tuningTable[oxn3::kNumMidiNotes] = {};
    double hostBpm = 120.0;
    double lastHostTicks = 0.0;
    int hostWasPlaying = 0;
    int sampleLength = 0;
    double samplePlayPosition = 0.0;
    int captureWriteIndex = 0;
    int playSample = 0;
    int captureSource = 0;
    AdvancedRandom_t advancedRandom;
    std::unique_ptr<juce::AudioFormatManager> formatManager;
    juce::AudioBuffer<float> sampleBuffer;
    juce::AudioBuffer<float> captureBuffer;
    std::unique_ptr<juce::AudioThumbnail> thumbnail;
    std::unique_ptr<juce::AudioThumbnailCache> thumbnailCache;
    double sampleFileRate = 44100.0;
    int midiActivity = 0;
    int PatternKnob = 0;
    std::uint8_t guiRefresh = 0;
    int LockToPresetLengths = 0;
    int EmulationEngine = 3;
    RandomGenerator randomGenerator{oxn3::kRandomGeneratorStart};
    // New randomiser seeds drawn on the audio thread (a learned "R.NextSeed"); seeded from the clock.
    juce::Random newSeedSource;
    char configFolder[oxn3::kConfigFolderSize] = {};
    juce::File patternsFolder;

    // Guards `sampleBuffer`, `sampleLength`, `samplePlayPosition` and `sampleFileRate` between the
    // loader and the audio callback. The loader holds it only while it exchanges two buffers; the
    // callback only tries it (one compare-and-swap, never a wait), holds it while it plays, and
    // skips the playback of a block in which the loader has it.
    juce::SpinLock sampleBufferLock;

    // The host's view of each parameter (owned by the base class).
    std::array<HostParameter*, oxn3::kNumParameters> hostParameters{};

    // Tells the host when the saved state changes other than through a parameter.
    std::unique_ptr<oxn3::HostStateWatcher> stateWatcher;

private:
    // Where the host transport puts the sequencer in this block (HostSync.cpp).
    struct HostPosition
    {
        int playing = 0; // the host transport drives the sequencer
        int step = 0;
        double phase = 0.0;
    };

    // AudioCallback.cpp / HostSync.cpp: the stages of processBlock in their order.
    HostPosition followHostTransport(int& run, int numSamples);
    juce::Optional<juce::AudioPlayHead::PositionInfo> readHostPosition(int numSamples);
    juce::Optional<double> quartersOfReport(const juce::AudioPlayHead::PositionInfo& report) const;
    int offsetOfReportInBlock(const juce::AudioPlayHead::PositionInfo& report, int numSamples) const;
    juce::AudioPlayHead::PositionInfo placeReportInsideBlock(juce::AudioPlayHead::PositionInfo report, int offset,
                                                             int numSamples);
    void followHostStep(const HostPosition& position);
    bool struckNextStepEarly(const HostPosition& position) const;
    void moveSequencerTo(const HostPosition& position, int stepSampleCounter);
    void takeSampleRate(double sampleRate);
    void copyParametersIntoEngine(int playing, int run);
    void renderSlices(float* out, int numSamples, const juce::MidiBuffer& midi);
    void renderSlice(float* out, int numSamples);
    void sendMidiOutput(juce::MidiBuffer& midi);
    void captureScope(int numSamples);
    void playAnalyserAudio(juce::AudioBuffer<float>& buffer, int numSamples, double sampleRate);
    double currentSampleRate() const;

    // MidiInput.cpp / MidiLearn.cpp: the stages of handleMidiEvent.
    void handleNoteOnMessage(int note, int velocity);
    void handleNoteOffMessage(int note);
    bool takeKeyForLearnOrMapping(int note);
    bool isKeyTakenByLearnOrMapping(int note) const;
    void handleControllerMessage(int controller, int value);

    void createHostParameters();
    void fillEqualTemperedTuning();

    // LV2 hosts send the transport only when it changes; in the blocks between, the transport goes
    // on as last reported, with its position advanced here. Empty until the first report.
    const bool hostReportsOnlyChanges = wrapperType == wrapperType_LV2;
    juce::Optional<juce::AudioPlayHead::PositionInfo> continuedHostPosition;

    // Render target when the host gives no output channel at all.
    static constexpr int kScratchSamples = 256;
    float scratchOutput[kScratchSamples] = {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(JuceDemoPluginAudioProcessor)
};
