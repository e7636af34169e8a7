#pragma once

#include <juce_audio_plugin_client/juce_audio_plugin_client.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

// JUCE's standalone window around the plug-in (title bar with its Options menu, audio settings,
// saved state), which at start moves to a running JACK server when the stored device cannot be
// opened, and says in its title bar, for as long as it lasts, that no audio output plays.
class StandaloneWindow : public juce::StandaloneFilterWindow, private juce::Timer
{
public:
    // `settings` (not owned) keeps the audio setup, the plug-in's state and the window position.
    StandaloneWindow(const juce::String& title, juce::PropertySet* settings);

    void resized() override;

    // Shown while no output plays; a click opens the audio settings.
    juce::TextButton noAudioNotice;

private:
    void timerCallback() override;
    void placeNotice();
};
