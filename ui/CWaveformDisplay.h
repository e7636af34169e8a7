#pragma once

#include "ui/MyCustomDisplay.h"

// Placeholder until the page is built: an empty page of the right class.
class CWaveformDisplay : public MyCustomDisplay
{
public:
    CWaveformDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);

};
