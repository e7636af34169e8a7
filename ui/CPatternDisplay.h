#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class JuceDemoPluginAudioProcessorEditor;
class Synth303;

// Placeholder until the page is built: the 16-step grid page, a plain component.
class CPatternDisplay : public juce::Component
{
public:
    CPatternDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);

    JuceDemoPluginAudioProcessorEditor* editor = nullptr;
    juce::Image* image = nullptr;
    Synth303* synth = nullptr;
    float scale = 1.0f;
};
