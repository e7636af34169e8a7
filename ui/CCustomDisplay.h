#pragma once

#include "ui/MyCustomDisplay.h"

// Placeholder until the page is built: an empty page of the right class.
class CCustomDisplay : public MyCustomDisplay
{
public:
    CCustomDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);

};
