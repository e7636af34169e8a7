#pragma once

#include <memory>

#include <juce_audio_processors/juce_audio_processors.h>

// A plug-in host without a window: loads a built VST3 or LV2 bundle through JUCE's format
// classes, the same road a DAW takes, and lets the caller drive it block by block.
namespace oxn3host
{
enum class Format
{
    vst3,
    lv2
};

struct LoadResult
{
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
};

// `bundle` is the .vst3 bundle folder, or the .lv2 bundle folder together with the plug-in's URI.
// The instance comes back prepared for `sampleRate` and `blockSize`, stereo out, no input.
LoadResult loadPlugin(Format format, const juce::File& bundle, const juce::String& lv2Uri, double sampleRate,
                      int blockSize);

// A transport the test or tool sets by hand before each block.
class ManualPlayHead : public juce::AudioPlayHead
{
public:
    double ppq = 0.0;
    double bpm = 120.0;
    bool playing = false;
    bool available = true; // false: the host reports no position at all

    juce::Optional<PositionInfo> getPosition() const override;
};

// The parameter of that name, or nullptr. LV2 hosts order parameters by their URIs, not by the
// plug-in's index, so names are the portable handle.
juce::AudioProcessorParameter* findParameter(juce::AudioPluginInstance& plugin, const juce::String& name);

// Renders `numSamples` samples in one block with `midi` (sample positions within the block);
// returns the MIDI the plug-in sent back in `midi`.
void renderBlock(juce::AudioPluginInstance& plugin, juce::AudioBuffer<float>& audio, juce::MidiBuffer& midi,
                 int numSamples);
} // namespace oxn3host
