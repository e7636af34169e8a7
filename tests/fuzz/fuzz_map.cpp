// ".map" reader: any bytes read into two maps of 128 entries, and what it reads writes and reads
// back the same.
#include <cstring>

#include "fuzz/FuzzInput.h"
#include "processor/files/MidiMapFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    int controllers[oxn3files::kMidiMapSize];
    int keys[oxn3files::kMidiMapSize];
    require(oxn3files::readMidiMapFile(path, controllers, keys));

    static const std::string copy = makeScratchFile("map-copy");
    require(oxn3files::writeMidiMapFile(copy.c_str(), controllers, keys));
    int controllersAgain[oxn3files::kMidiMapSize];
    int keysAgain[oxn3files::kMidiMapSize];
    require(oxn3files::readMidiMapFile(copy.c_str(), controllersAgain, keysAgain));
    require(std::memcmp(controllers, controllersAgain, sizeof(controllers)) == 0);
    require(std::memcmp(keys, keysAgain, sizeof(keys)) == 0);
    requireNoFileLeft();
    return 0;
}
