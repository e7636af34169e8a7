#pragma once

#include "ui/MyCustomDisplay.h"

// Placeholder until the page is built: an empty page of the right class.
class CAiraDisplay : public MyCustomDisplay
{
public:
    CAiraDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    virtual void update() {}
};
