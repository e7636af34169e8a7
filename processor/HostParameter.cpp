#include "processor/HostParameter.h"

#include "processor/PluginProcessor.h"

HostParameter::HostParameter(JuceDemoPluginAudioProcessor& owner, const oxn3::ParameterInfo& info)
    : juce::AudioProcessorParameterWithID(juce::ParameterID(info.id, kIdVersion), info.name),
      processor(owner),
      index(info.index)
{
}

float HostParameter::getValue() const
{
    return processor.getParameter(index);
}

void HostParameter::setValue(float newValue)
{
    processor.applyParameter(index, newValue);
}

float HostParameter::getDefaultValue() const
{
    return processor.getParameterDefaultValue(index);
}

juce::String HostParameter::getName(int maximumStringLength) const
{
    return name.substring(0, maximumStringLength);
}

juce::String HostParameter::getLabel() const
{
    return {};
}

juce::String HostParameter::getText(float value, int maximumStringLength) const
{
    return oxn3::hostValueText(index, value).substring(0, maximumStringLength);
}

float HostParameter::getValueForText(const juce::String& text) const
{
    return oxn3::valueFromHostText(index, text);
}

bool HostParameter::isAutomatable() const
{
    return true;
}
