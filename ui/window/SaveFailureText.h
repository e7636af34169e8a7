#pragma once

#include <juce_core/juce_core.h>

namespace oxn3
{
// How long a failed save stays on the status line, in ticks: 6 s, unless the next action on the
// panel puts its own text there first.
constexpr int kSaveFailureTicks = 120;

// The status text of a file write that failed with the errno value `error`: the reason first, so
// it is never the part cut off, then the file: "Disk full: acid1.pat not saved". A name too long
// for the status line is shortened in its middle, so the text shows whole at every scale.
juce::String saveFailureText(const juce::String& fileName, int error);

// before + name + after, the name shortened in its middle (keeping its start and its extension)
// as far as the status line needs.
juce::String withFittedName(const juce::String& before, const juce::String& name, const juce::String& after);

// Whether `text` shows whole on the status line at every scale from 0.5 up, narrowed as far as
// captions may be.
bool fitsStatusLine(const juce::String& text);
} // namespace oxn3
