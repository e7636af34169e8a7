#pragma once

// ".tun" tuning files: lines "note <n> = <Hz>" set the frequency of MIDI note n. Comment lines
// start with ';', "[Exact Tuning]" is a section header; every other line is ignored.
namespace oxn3files
{
constexpr int kTuningTableSize = 128;

// Reads the file's notes into `table`; notes it does not name keep their frequencies. False
// (table untouched) when the file cannot be opened.
bool readTuningFile(const char* path, double* table);
} // namespace oxn3files
