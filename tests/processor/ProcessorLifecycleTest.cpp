// Identity answers and the data folder.
#include <cstdlib>
#include <tuple>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/DataFolder.h"

using oxn3test::makeProcessor;

TEST(ProcessorLifecycle, IdentityAndHostAnswers)
{
    auto processor = makeProcessor();
    EXPECT_EQ(std::make_tuple(processor->getName(), processor->acceptsMidi(), processor->producesMidi(),
                              processor->hasEditor(), processor->getNumPrograms(), processor->getProgramName(0),
                              processor->getTotalNumOutputChannels()),
              std::make_tuple(juce::String("OXN3"), true, true, true, 1, juce::String("Default"), 2));
    for (const auto& [set, supported] : {std::pair{juce::AudioChannelSet::mono(), true},
                                         std::pair{juce::AudioChannelSet::create5point1(), false}})
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.outputBuses.add(set);
        EXPECT_EQ(processor->checkBusesLayoutSupported(layout), supported);
    }
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
