// The Standalone app is built from this same shared code and offers its audio device types: on
// Linux JACK beside ALSA. Listing them scans each type; JACK's scan starts no server.
#include <gtest/gtest.h>

#include <juce_audio_devices/juce_audio_devices.h>

TEST(StandaloneDevices, JackIsOfferedBesideAlsaWithoutAServer)
{
    juce::AudioDeviceManager devices;
    juce::StringArray names;
    for (const auto* type : devices.getAvailableDeviceTypes())
        names.add(type->getTypeName());
    EXPECT_TRUE(names.contains("ALSA")) << names.joinIntoString(", ");
    EXPECT_TRUE(names.contains("JACK")) << names.joinIntoString(", ");
}
