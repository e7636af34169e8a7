// "Config.ini" reader: any bytes read without harm, only the two known keys change, and the
// quoted-string reader stays within its buffer on the same bytes.
#include <cstring>

#include "fuzz/FuzzInput.h"
#include "processor/files/ConfigFile.h"
#include "processor/files/KeyValueScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    oxn3files::ConfigKeys keys;
    keys.LockToPresetLengths = 12345;
    keys.EmulationEngine = 12345;
    require(oxn3files::readConfigFile(path, keys));

    // A quoted value into a small buffer, guarded on both sides.
    FILE* stream = std::fopen(path, "rb");
    require(stream != nullptr);
    struct Guarded
    {
        char before[8];
        char value[16];
        char after[8];
    } guarded;
    std::memset(&guarded, 0x5A, sizeof(guarded));
    const int stored = oxn3files::read_quoted_string(stream, guarded.value);
    std::fclose(stream);
    require(stored >= 0 && stored < 16);
    require(stored == 0 || guarded.value[stored] == '\0');
    for (int i = 0; i < 8; ++i)
        require(guarded.before[i] == 0x5A && guarded.after[i] == 0x5A);
    requireNoFileLeft();
    return 0;
}
