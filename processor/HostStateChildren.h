#pragma once

#include <juce_core/juce_core.h>

class JuceDemoPluginAudioProcessor;

// The children of the saved state's root element, each written and read back on its own:
// the 128 patterns, the two MIDI-learn maps (with the older "midicc" form), the tuning table
// and the advanced randomiser's settings. A child missing from a state leaves its part as it is.
namespace oxn3state
{
void writePatterns(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root);
void readPatterns(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root);

void writeMidiMaps(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root);
void readMidiMaps(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root);

void writeTuningTable(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root);
void readTuningTable(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root);

void writeAdvancedRandom(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root);
void readAdvancedRandom(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root);
} // namespace oxn3state
