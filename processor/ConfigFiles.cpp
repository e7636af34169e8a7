// "Config.ini", ".map" and ".tun": the processor's fields handed to the plain file readers and
// writers of processor/files/. Message thread.
#include <cerrno>

#include "processor/PluginProcessor.h"
#include "processor/files/ConfigFile.h"
#include "processor/files/MidiMapFile.h"
#include "processor/files/TuningFile.h"

namespace
{
constexpr const char* kConfigFileName = "Config.ini";
constexpr double kTrimCentre = 0.5;
constexpr float kDefaultHighpass = 0.0f;
constexpr float kDefaultBass = 0.5f;
constexpr int kDefaultEmulationEngine = 3;

static_assert(oxn3files::kMidiMapSize == oxn3::kNumMidiNotes, "a map file holds one entry per controller and key");
static_assert(oxn3files::kTuningTableSize == oxn3::kNumMidiNotes, "a tuning file holds one entry per note");
} // namespace

void JuceDemoPluginAudioProcessor::ResetConfig()
{
    MidiMode = oxn3::kPatternMode;
    SyncMode = 1;
    VCOVibrato = 1;
    VCAClicks = 1;
    VCANoise = 0;
    PatternLock = 0;
    VCOMode = 1;
    OutputClipping = 0;
    ResoTrim = kTrimCentre;
    GateTrim = kTrimCentre;
    TuningTrim = kTrimCentre;
    VCFTrim = kTrimCentre;
    EmulationEngine = kDefaultEmulationEngine;
    setParameter(oxn3::kHighpass, kDefaultHighpass);
    setParameter(oxn3::kBass, kDefaultBass);
}

int JuceDemoPluginAudioProcessor::WriteConfig(const char* name)
{
    char path[oxn3files::kConfigPathSize];
    if (!oxn3files::joinConfigPath(path, configFolder, name != nullptr ? name : kConfigFileName))
    {
        errno = ENAMETOOLONG;
        return 0;
    }
    // No installer makes the data folder on Linux: the first save does.
    juce::File(juce::String::fromUTF8(configFolder)).createDirectory();

    oxn3files::ConfigValues values;
    values.VCOMode = VCOMode;
    values.OutputClipping = OutputClipping;
    values.VCOPhaseReset = VCOPhaseReset;
    values.ImprovedEmulation = ImprovedEmulation;
    values.VCOVibrato = VCOVibrato;
    values.VCANoise = VCANoise;
    values.VCAClicks = VCAClicks;
    values.GateTrim = GateTrim;
    values.ResoTrim = ResoTrim;
    values.VCFTrim = VCFTrim;
    values.TuningTrim = TuningTrim;
    values.SyncMode = SyncMode;
    values.MidiMode = MidiMode;
    values.MidiOutput = MidiOutput;
    values.HighPass = getParameter(oxn3::kHighpass);
    values.BassBoost = getParameter(oxn3::kBass);
    values.EmulationEngine = EmulationEngine;
    values.ShowSticker = ShowSticker;
    return oxn3files::writeConfigFile(path, values) ? 1 : 0;
}

int JuceDemoPluginAudioProcessor::ReadConfig(const char* name)
{
    char path[oxn3files::kConfigPathSize];
    if (name == nullptr || !oxn3files::joinConfigPath(path, configFolder, name))
        return 1; // as for a missing file: the defaults stay

    oxn3files::ConfigKeys keys;
    keys.LockToPresetLengths = LockToPresetLengths;
    keys.EmulationEngine = EmulationEngine;
    if (oxn3files::readConfigFile(path, keys))
    {
        LockToPresetLengths = keys.LockToPresetLengths;
        EmulationEngine = keys.EmulationEngine;
    }
    return 1;
}

int JuceDemoPluginAudioProcessor::WriteMidiCC(const char* path)
{
    return path != nullptr && oxn3files::writeMidiMapFile(path, midiCCMap, midiKeyMap) ? 1 : 0;
}

int JuceDemoPluginAudioProcessor::ReadMidiCC(const char* path)
{
    return path != nullptr && oxn3files::readMidiMapFile(path, midiCCMap, midiKeyMap) ? 1 : 0;
}

int JuceDemoPluginAudioProcessor::LoadTuningTable(const char* path)
{
    if (path == nullptr || !oxn3files::readTuningFile(path, tuningTable))
        return 0;
    synth->setTuningTable(tuningTable);
    return 1;
}
