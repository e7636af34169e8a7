#include "processor/files/MidiMapFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "patterns/ScopedFile.h"
#include "patterns/WholeFileWriter.h"
#include "patterns/TextScanner.h"
#include "processor/files/KeyValueScanner.h"

namespace oxn3files
{
namespace
{
constexpr const char* kSizeKey = "MidiMapSize";
constexpr int kUnmapped = -1;

// Reads `count` entries; false at the end of the file or at text that is no number, which
// also ends the reading of the maps.
bool readEntries(FILE* file, int* map, int count)
{
    for (int i = 0; i < count; ++i)
        if (!textscan::readInt(file, &map[i]))
            return false;
    return true;
}
} // namespace

bool writeMidiMapFile(const char* path, const int* controllerMap, const int* keyMap)
{
    WholeFileWriter file(path);
    if (file.stream() == nullptr)
        return false;
    std::fprintf(file.stream(), "%s = %d\n", kSizeKey, kMidiMapSize);
    for (int i = 0; i < kMidiMapSize; ++i)
        std::fprintf(file.stream(), "%d\n", controllerMap[i]);
    for (int i = 0; i < kMidiMapSize; ++i)
        std::fprintf(file.stream(), "%d\n", keyMap[i]);
    return file.commit();
}

bool readMidiMapFile(const char* path, int* controllerMap, int* keyMap)
{
    ScopedFile file = openFile(path, "r");
    if (file == nullptr)
        return false;
    std::fill(controllerMap, controllerMap + kMidiMapSize, kUnmapped);
    std::fill(keyMap, keyMap + kMidiMapSize, kUnmapped);

    KeyValue pair;
    while (readKeyValue(file.get(), pair))
    {
        if (!pair.complete || std::strcmp(pair.key, kSizeKey) != 0)
            continue;
        const int size = valueAsInt(pair.value);
        if (size < 1 || size > kMidiMapSize)
            continue;
        if (readEntries(file.get(), controllerMap, size))
            readEntries(file.get(), keyMap, size);
    }
    return true;
}
} // namespace oxn3files
