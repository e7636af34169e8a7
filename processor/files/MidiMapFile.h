#pragma once

// ".map" files: both MIDI-learn maps, "MidiMapSize = 128", then the 128 controller entries and
// the 128 key entries, one learn id (or -1) per line.
namespace oxn3files
{
constexpr int kMidiMapSize = 128;

// False when the file cannot be created or written.
bool writeMidiMapFile(const char* path, const int* controllerMap, const int* keyMap);

// Clears both maps to -1 once the file is open, then reads them. False (maps untouched) when the
// file cannot be opened. A "MidiMapSize" outside 1..128 is ignored; entries not read stay -1.
bool readMidiMapFile(const char* path, int* controllerMap, int* keyMap);
} // namespace oxn3files
