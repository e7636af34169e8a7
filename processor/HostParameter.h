#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "processor/ParameterTable.h"

class JuceDemoPluginAudioProcessor;

// The host's handle on one parameter: a stable id, the table's name, default and texts, and the
// value itself kept by the processor. The host's changes go through the processor's own setter.
class HostParameter : public juce::AudioProcessorParameterWithID
{
public:
    static constexpr int kIdVersion = 1;

    HostParameter(JuceDemoPluginAudioProcessor& owner, const oxn3::ParameterInfo& info);

    float getValue() const override;
    void setValue(float newValue) override;
    float getDefaultValue() const override;
    juce::String getName(int maximumStringLength) const override;
    juce::String getLabel() const override;
    juce::String getText(float value, int maximumStringLength) const override;
    float getValueForText(const juce::String& text) const override;
    bool isAutomatable() const override;

private:
    JuceDemoPluginAudioProcessor& processor;
    const int index;
};
