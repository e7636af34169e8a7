#pragma once

#include "ui/MyCustomDisplay.h"

// Placeholder until the page is built: an empty page of the right class.
class CPatternAnalyzer : public MyCustomDisplay
{
public:
    CPatternAnalyzer(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    void DoAnalyze() {}
};
