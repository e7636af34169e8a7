#pragma once

#include <vector>

// Writes mono samples as a RIFF WAV file: 16-bit PCM (clipped to -1..1) or 32-bit float.
// Returns 1 on success, 0 when the file cannot be written.
int writeWav(const char* path, const std::vector<float>& samples, int sampleRate, bool asFloat);
