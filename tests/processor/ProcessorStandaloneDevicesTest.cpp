// The Standalone app is built from this same shared code and offers its audio device types: on
// Linux JACK beside ALSA. Listing them scans each type, which needs no running JACK server.
#include <cstdlib>

#include <gtest/gtest.h>

#include <juce_audio_devices/juce_audio_devices.h>

TEST(StandaloneDevices, JackIsOfferedBesideAlsaWithoutAServer)
{
    setenv("JACK_NO_START_SERVER", "1", 1);
    juce::AudioDeviceManager devices;
    juce::StringArray names;
    for (const auto* type : devices.getAvailableDeviceTypes())
        names.add(type->getTypeName());
    EXPECT_TRUE(names.contains("ALSA")) << names.joinIntoString(", ");
    EXPECT_TRUE(names.contains("JACK")) << names.joinIntoString(", ");
}
