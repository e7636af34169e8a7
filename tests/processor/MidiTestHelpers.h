#pragma once

#include <initializer_list>

#include <juce_audio_basics/juce_audio_basics.h>

// Channel 1 messages, and a buffer holding some at one sample position.
namespace oxn3test
{
inline juce::MidiMessage on(int note, int velocity = 100)
{
    return juce::MidiMessage::noteOn(1, note, static_cast<juce::uint8>(velocity));
}

inline juce::MidiMessage off(int note)
{
    return juce::MidiMessage::noteOff(1, note);
}

inline juce::MidiMessage controller(int number, int value)
{
    return juce::MidiMessage::controllerEvent(1, number, value);
}

inline juce::MidiBuffer midiAt(std::initializer_list<juce::MidiMessage> messages, int sample)
{
    juce::MidiBuffer midi;
    for (const auto& message : messages)
        midi.addEvent(message, sample);
    return midi;
}
} // namespace oxn3test
