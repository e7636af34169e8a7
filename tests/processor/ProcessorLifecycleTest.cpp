// Construction state, identity answers and the data folder.
#include <cstdlib>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/DataFolder.h"

using oxn3test::makeProcessor;

TEST(ProcessorLifecycle, ConstructionLeavesTheDocumentedState)
{
    auto processor = makeProcessor();
    auto& p = *processor;
    EXPECT_EQ(p.touchedParameter, 16); // the configuration reset set parameter 16 last
    EXPECT_EQ(p.guiRefresh, 0);
    EXPECT_EQ(p.uiWidth, 980);
    EXPECT_EQ(p.uiHeight, 358);
    EXPECT_EQ(p.SyncMode, 1);
    EXPECT_EQ(p.MidiMode, 0);
    EXPECT_EQ(p.MidiOutput, 0);
    EXPECT_EQ(p.VCOMode, 1);
    EXPECT_EQ(p.VCANoise, 0);
    EXPECT_EQ(p.ImprovedEmulation, 1);
    EXPECT_EQ(p.lastImprovedEmulation, 0);
    EXPECT_EQ(p.EmulationEngine, 3);
    EXPECT_EQ(p.randomGenerator.state, 12141221u);
    EXPECT_EQ(p.advancedRandom.patLength, 16);
    EXPECT_EQ(p.advancedRandom.seed, 12345);
    for (int n = 0; n < 128; ++n)
    {
        EXPECT_EQ(p.midiCCMap[n], -1);
        EXPECT_EQ(p.midiKeyMap[n], -1);
    }
    EXPECT_EQ(p.sampleBuffer.getNumChannels(), 1);
    EXPECT_EQ(p.sampleBuffer.getNumSamples(), 441000);
    EXPECT_EQ(p.captureBuffer.getNumSamples(), 441000);
    EXPECT_EQ(p.thumbnail, nullptr);
    ASSERT_NE(p.thumbnailCache, nullptr);
    ASSERT_NE(p.synth, nullptr);
    EXPECT_EQ(p.synth->running, 0);
    EXPECT_EQ(p.synth->runRequest, 0);
    EXPECT_EQ(p.synth->stepSampleCounter, 0);
}

TEST(ProcessorLifecycle, EqualTemperedTuningTable)
{
    auto processor = makeProcessor();
    EXPECT_DOUBLE_EQ(processor->tuningTable[0], 8.175798915636872);
    EXPECT_NEAR(processor->tuningTable[69], 440.0, 1e-6);
    EXPECT_NEAR(processor->tuningTable[127], 12543.853951, 1e-4);
    EXPECT_EQ(processor->TuningMode, 0);
}

TEST(ProcessorLifecycle, IdentityAndHostAnswers)
{
    auto processor = makeProcessor();
    EXPECT_EQ(processor->getName(), "OXN3");
    EXPECT_TRUE(processor->acceptsMidi());
    EXPECT_TRUE(processor->producesMidi());
    EXPECT_FALSE(processor->hasEditor());
    EXPECT_EQ(processor->getTailLengthSeconds(), 0.0);
    EXPECT_EQ(processor->getNumPrograms(), 1);
    EXPECT_EQ(processor->getCurrentProgram(), 0);
    EXPECT_EQ(processor->getProgramName(0), "Default");
    EXPECT_EQ(processor->getProgramName(7), "Default");
    EXPECT_EQ(processor->getOutputChannelName(0), "1");
    EXPECT_EQ(processor->getInputChannelName(1), "2");
    EXPECT_EQ(processor->getTotalNumInputChannels(), 0);
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
    EXPECT_EQ(oxn3::dataFolderPath(), "/tmp/oxn3-xdg/Quellbrook/OXN3/");
    auto processor = makeProcessor();
    EXPECT_STREQ(processor->configFolder, "/tmp/oxn3-xdg/Quellbrook/OXN3/");
    EXPECT_EQ(processor->patternsFolder.getFullPathName(), "/tmp/oxn3-xdg/Quellbrook/OXN3/Patterns");

    setenv("XDG_DATA_HOME", "relative/path", 1); // not allowed by the XDG rules: use the home default
    const std::string home = juce::File::getSpecialLocation(juce::File::userHomeDirectory).getFullPathName().toStdString();
    EXPECT_EQ(oxn3::dataFolderPath(), home + "/.local/share/Quellbrook/OXN3/");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(oxn3::dataFolderPath(), home + "/.local/share/Quellbrook/OXN3/");

    if (saved != nullptr)
        setenv("XDG_DATA_HOME", restore.c_str(), 1);
}
