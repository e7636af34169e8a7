#pragma once

#include "ui/MyCustomDisplay.h"

// Placeholder until the page is built: an empty page of the right class.
class CAdvancedRandomView : public MyCustomDisplay
{
public:
    CAdvancedRandomView(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    void update() {}
};
