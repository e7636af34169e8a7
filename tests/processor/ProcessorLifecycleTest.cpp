// Identity answers and the data folder.
#include <cstdlib>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/DataFolder.h"

using oxn3test::makeProcessor;

TEST(ProcessorLifecycle, IdentityAndHostAnswers)
{
    auto processor = makeProcessor();
    EXPECT_EQ(processor->getName(), "OXN3");
    EXPECT_TRUE(processor->acceptsMidi());
    EXPECT_TRUE(processor->producesMidi());
    EXPECT_TRUE(processor->hasEditor());
    EXPECT_EQ(processor->getNumPrograms(), 1);
    EXPECT_EQ(processor->getProgramName(0), "Default");
    EXPECT_EQ(processor->getTotalNumOutputChannels(), 2);

    juce::AudioProcessor::BusesLayout mono;
    mono.outputBuses.add(juce::AudioChannelSet::mono());
    EXPECT_TRUE(processor->checkBusesLayoutSupported(mono));
    juce::AudioProcessor::BusesLayout surround;
    surround.outputBuses.add(juce::AudioChannelSet::create5point1());
    EXPECT_FALSE(processor->checkBusesLayoutSupported(surround));
}

TEST(ProcessorLifecycle, DataFolderFollowsXdgDataHome)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string restore = saved != nullptr ? saved : "";

    setenv("XDG_DATA_HOME", "/tmp/oxn3-xdg", 1);
    auto processor = makeProcessor();
    EXPECT_STREQ(processor->configFolder, "/tmp/oxn3-xdg/Quellbrook/OXN3/");

    setenv("XDG_DATA_HOME", "relative/path", 1); // not allowed by the XDG rules: use the home default
    const std::string home = juce::File::getSpecialLocation(juce::File::userHomeDirectory).getFullPathName().toStdString();
    EXPECT_EQ(oxn3::dataFolderPath(), home + "/.local/share/Quellbrook/OXN3/");

    if (saved != nullptr)
        setenv("XDG_DATA_HOME", restore.c_str(), 1);
}
