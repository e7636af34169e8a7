// Identity answers and the data folder.
#include <algorithm>
#include <cmath>
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

// A host that moves its rate while every knob is at its top, on a line with accents and slides:
// 96 kHz, then 22.05 kHz, then 48 kHz, each through prepareToPlay, which starts the voice again from
// rest (reset too). The sequencer plays on.
TEST(ProcessorLifecycle, RateChangesThroughPrepareToPlayStayFinite)
{
    auto processor = makeProcessor(96000.0);
    for (int index : {oxn3::kCutoff, oxn3::kResonance, oxn3::kEnvmod, oxn3::kDecay, oxn3::kAccent, oxn3::kVolume})
        processor->setParameter(index, 1.0f);
    Synth303& engine = *processor->synth;
    for (int step = 0; step < 16; ++step)
        engine.patterns[5].steps[step].flags |= step % 3 == 0 ? step_t::kAccent : (step % 3 == 1 ? step_t::kSlide : 0);
    oxn3test::send(*processor, oxn3test::on(5)); // plays pattern 5 while held
    const auto atRest = [&] {
        return std::make_tuple(engine.ladderB[3].value, engine.glide.value, engine.smoothedVolume);
    };
    for (double rate : {96000.0, 22050.0, 48000.0})
    {
        processor->setRateAndBufferSizeDetails(rate, oxn3test::kTestBlock);
        processor->prepareToPlay(rate, oxn3test::kTestBlock);
        EXPECT_EQ(atRest(), std::make_tuple(0.0, 0.0, 0.0f));
        float peak = 0.0f;
        for (int block = 0; block < static_cast<int>(rate / 2 / oxn3test::kTestBlock); ++block)
        {
            const auto audio = oxn3test::render(*processor, oxn3test::kTestBlock);
            for (int i = 0; i < oxn3test::kTestBlock; ++i)
                ASSERT_TRUE(std::isfinite(audio.getSample(0, i))) << rate;
            peak = std::max(peak, audio.getMagnitude(0, 0, oxn3test::kTestBlock));
        }
        EXPECT_TRUE(peak > 0.05f && peak < 16.0f) << rate << " Hz: " << peak;
    }
    processor->reset();
    EXPECT_EQ(atRest(), std::make_tuple(0.0, 0.0, 0.0f));
    EXPECT_EQ(engine.running, 1);
}
