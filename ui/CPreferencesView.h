#pragma once

#include "ui/MyCustomDisplay.h"

// Placeholder until the page is built: an empty page of the right class.
class CPreferencesView : public MyCustomDisplay
{
public:
    CPreferencesView(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    virtual void updateView() {}
};
