#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

namespace oxn3standalone
{
// The words the Standalone shows while it has no sound, and where to choose a device.
constexpr const char* kNoAudioOutputText = "No audio output: choose a device in Options > Audio/MIDI Settings...";

// An output device is open and running with at least one output channel.
bool playsThroughAnOutput(juce::AudioDeviceManager& devices);

// When nothing plays (the stored device is gone or busy) and a JACK server runs, switches to
// JACK and keeps it as the chosen device type.
void useJackWhenSilent(juce::AudioDeviceManager& devices);
} // namespace oxn3standalone
