#pragma once

#include <juce_core/juce_core.h>

// The file routines of the engine and the processor take paths as character strings of at most
// 255 bytes. A longer path is refused rather than cut, so no file is ever read or written under
// a name the user did not choose.
namespace oxn3
{
constexpr int kMaxPatchPathBytes = 255;
using PatchPath = char[kMaxPatchPathBytes + 1];

// Copies the file's full path as UTF-8; false (and an empty string) when it is too long.
bool toPatchPath(const juce::File& file, PatchPath& out);

// Status-line text for a refused path.
juce::String pathTooLongText();
} // namespace oxn3
