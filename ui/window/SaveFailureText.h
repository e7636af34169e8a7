#pragma once

#include <juce_core/juce_core.h>

namespace oxn3
{
// How long a failed save stays on the status line, in ticks.
constexpr int kSaveFailureTicks = 50;

// The status text of a file write that failed with the errno value `error`, naming the file and
// the reason in a few words: "Could not save acid1.pat: disk full".
juce::String saveFailureText(const juce::String& fileName, int error);
} // namespace oxn3
