#pragma once

#include <memory>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "MidiTestHelpers.h"
#include "PluginHost.h"

// Names the format in gtest's messages.
namespace oxn3host
{
inline void PrintTo(Format format, std::ostream* out)
{
    *out << (format == Format::vst3 ? "VST3" : "LV2");
}
} // namespace oxn3host

namespace oxn3test
{
constexpr double kHostRate = 44100.0;
constexpr int kHostBlock = 512;

// Tests run on both built bundles, named by format.
using BundleTest = testing::TestWithParam<oxn3host::Format>;
inline const auto kBothBundles = testing::Values(oxn3host::Format::vst3, oxn3host::Format::lv2);

inline std::string bundleName(const testing::TestParamInfo<oxn3host::Format>& info)
{
    return info.param == oxn3host::Format::vst3 ? "VST3" : "LV2";
}

// One loaded plug-in with a transport of the test's own.
struct HostedPlugin
{
    std::unique_ptr<juce::AudioPluginInstance> plugin;
    oxn3host::ManualPlayHead head;

    explicit HostedPlugin(oxn3host::Format format, double rate = kHostRate, int maxBlock = kHostBlock)
    {
        const juce::File bundle(format == oxn3host::Format::vst3 ? OXN3_TEST_VST3_BUNDLE : OXN3_TEST_LV2_BUNDLE);
        oxn3host::LoadResult loaded = oxn3host::loadPlugin(format, bundle, OXN3_TEST_LV2_URI, rate, maxBlock);
        EXPECT_TRUE(loaded.error.isEmpty()) << loaded.error;
        plugin = std::move(loaded.instance);
        if (plugin != nullptr)
            plugin->setPlayHead(&head);
    }

    ~HostedPlugin()
    {
        if (plugin != nullptr)
        {
            plugin->releaseResources();
            plugin->setPlayHead(nullptr);
        }
    }

    bool loaded() const { return plugin != nullptr; }

    // Renders one block; `midi` holds the plug-in's MIDI output afterwards.
    juce::AudioBuffer<float> block(int numSamples, juce::MidiBuffer& midi)
    {
        juce::AudioBuffer<float> audio;
        oxn3host::renderBlock(*plugin, audio, midi, numSamples);
        return audio;
    }

    juce::AudioBuffer<float> block(int numSamples)
    {
        juce::MidiBuffer midi;
        return block(numSamples, midi);
    }

    // Channel 0 of consecutive blocks appended.
    juce::AudioBuffer<float> run(int numBlocks, int blockSize = kHostBlock)
    {
        juce::AudioBuffer<float> all(1, numBlocks * blockSize);
        for (int b = 0; b < numBlocks; ++b)
            all.copyFrom(0, b * blockSize, block(blockSize), 0, 0, blockSize);
        return all;
    }

    juce::AudioProcessorParameter* find(const char* name) { return oxn3host::findParameter(*plugin, name); }
};
} // namespace oxn3test
