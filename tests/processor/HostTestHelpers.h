#pragma once

#include <memory>
#include <ostream>

#include <gtest/gtest.h>

#include "PluginHost.h"

namespace oxn3host
{
inline const char* formatName(Format format)
{
    return format == Format::vst3 ? "VST3" : "LV2";
}

// Names the format in gtest's messages.
inline void PrintTo(Format format, std::ostream* out)
{
    *out << formatName(format);
}
} // namespace oxn3host

namespace oxn3test
{
constexpr double kHostRate = 44100.0;
constexpr int kHostBlock = 512;

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

inline juce::MidiBuffer midiAt(std::initializer_list<juce::MidiMessage> messages, int sample)
{
    juce::MidiBuffer midi;
    for (const auto& message : messages)
        midi.addEvent(message, sample);
    return midi;
}

inline juce::MidiMessage on(int note)
{
    return juce::MidiMessage::noteOn(1, note, juce::uint8{100});
}

inline juce::MidiMessage off(int note)
{
    return juce::MidiMessage::noteOff(1, note);
}
} // namespace oxn3test
