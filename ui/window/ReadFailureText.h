#pragma once

#include <juce_core/juce_core.h>

namespace oxn3
{
// How long a file that could not be read stays named on the status line, in ticks.
constexpr int kCouldNotReadTicks = 50;

// The status text of a chosen or dropped file that did not load: "Could not read loop.wav".
inline juce::String couldNotReadText(const juce::File& file)
{
    return "Could not read " + file.getFileName();
}
} // namespace oxn3
