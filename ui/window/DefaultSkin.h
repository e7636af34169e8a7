#pragma once

#include <juce_core/juce_core.h>

#include "ui/window/DefaultSkinData.h"

namespace oxn3
{
constexpr const char* kDefaultSkinFolder = "Default Skin";

// A plug-in copied without its data folder would open an empty window: when `configFolder` has no
// "Default Skin" folder at all, the embedded one is written there. An existing folder is left as
// it is, even with files missing. True when the folder exists afterwards.
bool installDefaultSkinIfMissing(const juce::File& configFolder);
} // namespace oxn3
