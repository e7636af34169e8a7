#include "processor/files/ConfigFile.h"

#include <cstdio>
#include <cstring>

#include "patterns/ScopedFile.h"
#include "patterns/WholeFileWriter.h"
#include "processor/files/KeyValueScanner.h"

namespace oxn3files
{
bool joinConfigPath(char (&path)[kConfigPathSize], const char* folder, const char* name)
{
    const int length = std::snprintf(path, sizeof(path), "%s%s", folder, name);
    if (length < 0 || length >= kConfigPathSize)
    {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool writeConfigFile(const char* path, const ConfigValues& v)
{
    WholeFileWriter file(path);
    if (file.stream() == nullptr)
        return false;
    FILE* f = file.stream();
    std::fprintf(f, "; OXN3 Configuration\n");
    std::fprintf(f, "VCOMode = %d\n", v.VCOMode);
    std::fprintf(f, "OutputClipping = %d\n", v.OutputClipping);
    std::fprintf(f, "VCOPhaseReset = %d\n", v.VCOPhaseReset);
    std::fprintf(f, "ImprovedEmulation = %d\n", v.ImprovedEmulation);
    std::fprintf(f, "VCOVibrato = %d\n", v.VCOVibrato);
    std::fprintf(f, "VCANoise = %d\n", v.VCANoise);
    std::fprintf(f, "VCAClicks = %d\n", v.VCAClicks);
    std::fprintf(f, "GateTrim = %f\n", v.GateTrim);
    std::fprintf(f, "ResoTrim = %f\n", v.ResoTrim);
    std::fprintf(f, "VCFTrim = %f\n", v.VCFTrim);
    std::fprintf(f, "TuningTrim = %f\n", v.TuningTrim);
    std::fprintf(f, "SyncMode = %d\n", v.SyncMode);
    std::fprintf(f, "MidiMode = %d\n", v.MidiMode);
    std::fprintf(f, "MidiOutput = %d\n", v.MidiOutput != 0 ? 1 : 0);
    std::fprintf(f, "HighPass = %f\n", v.HighPass);
    std::fprintf(f, "BassBoost = %f\n", v.BassBoost);
    std::fprintf(f, "EmulationEngine = %d\n", v.EmulationEngine);
    std::fprintf(f, "ShowSticker = %d\n", v.ShowSticker);
    return file.commit();
}

bool readConfigFile(const char* path, ConfigKeys& keys)
{
    ScopedFile file = openFile(path, "r");
    if (file == nullptr)
        return false;
    KeyValue pair;
    while (readKeyValue(file.get(), pair))
    {
        if (!pair.complete)
            continue;
        // The other keys are written for the user's reference; options come from the host state.
        if (std::strcmp(pair.key, "LockToPresetLengths") == 0)
            keys.LockToPresetLengths = valueAsInt(pair.value);
        else if (std::strcmp(pair.key, "EmulationEngine") == 0)
            keys.EmulationEngine = valueAsInt(pair.value);
    }
    return true;
}
} // namespace oxn3files
