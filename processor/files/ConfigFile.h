#pragma once

// "Config.ini" in the data folder: the option defaults, one "Key = value" line each.
namespace oxn3files
{
constexpr int kConfigPathSize = 256;

// folder + name into `path`; false, with `path` empty, when the two do not fit. A path cut short
// would name another file, so it is refused rather than cut.
bool joinConfigPath(char (&path)[kConfigPathSize], const char* folder, const char* name);

// Every option, in the order of the file's lines.
struct ConfigValues
{
    int VCOMode = 0;
    int OutputClipping = 0;
    int VCOPhaseReset = 0;
    int ImprovedEmulation = 0;
    int VCOVibrato = 0;
    int VCANoise = 0;
    int VCAClicks = 0;
    double GateTrim = 0.0;
    double ResoTrim = 0.0;
    double VCFTrim = 0.0;
    double TuningTrim = 0.0;
    int SyncMode = 0;
    int MidiMode = 0;
    int MidiOutput = 0;
    double HighPass = 0.0;
    double BassBoost = 0.0;
    int EmulationEngine = 0;
    int ShowSticker = 0;
};

// Writes the whole file; false when it cannot be created or written.
bool writeConfigFile(const char* path, const ConfigValues& values);

// The only keys a configuration file is read for; a key the file lacks keeps its value.
struct ConfigKeys
{
    int LockToPresetLengths = 0;
    int EmulationEngine = 0;
};

// False when the file cannot be opened (the keys then keep their values).
bool readConfigFile(const char* path, ConfigKeys& keys);
} // namespace oxn3files
