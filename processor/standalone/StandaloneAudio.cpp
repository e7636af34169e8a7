#include "processor/standalone/StandaloneAudio.h"

namespace oxn3standalone
{
namespace
{
constexpr const char* kJack = "JACK";

// JUCE's JACK scan opens a client that never starts a server: a server runs when it lists ports
// to play into.
bool jackServerRuns(juce::AudioDeviceManager& devices)
{
    for (juce::AudioIODeviceType* type : devices.getAvailableDeviceTypes())
        if (type->getTypeName() == kJack)
        {
            type->scanForDevices();
            return !type->getDeviceNames(false).isEmpty();
        }
    return false;
}
} // namespace

bool playsThroughAnOutput(juce::AudioDeviceManager& devices)
{
    juce::AudioIODevice* device = devices.getCurrentAudioDevice();
    return device != nullptr && device->isOpen() && device->isPlaying()
           && !device->getActiveOutputChannels().isZero();
}

void useJackWhenSilent(juce::AudioDeviceManager& devices)
{
    if (playsThroughAnOutput(devices) || devices.getCurrentAudioDeviceType() == kJack || !jackServerRuns(devices))
        return;
    devices.setCurrentAudioDeviceType(kJack, true);
}
} // namespace oxn3standalone
