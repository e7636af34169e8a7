#pragma once

#include <memory>

#include "MidiTestHelpers.h"
#include "processor/PluginProcessor.h"

namespace oxn3test
{
constexpr double kTestRate = 44100.0;
constexpr int kTestBlock = 512;

// A host transport set by hand before each block.
class TestPlayHead : public juce::AudioPlayHead
{
public:
    double ppq = 0.0;
    double bpm = 120.0;
    bool playing = false;
    bool available = true;
    bool reportsQuarters = true; // false: the position is given by `frame` only
    juce::int64 frame = 0;

    juce::Optional<PositionInfo> getPosition() const override
    {
        if (!available)
            return {};
        PositionInfo info;
        if (reportsQuarters)
            info.setPpqPosition(ppq);
        else
            info.setTimeInSamples(frame);
        info.setBpm(bpm);
        info.setIsPlaying(playing);
        return info;
    }
};

inline std::unique_ptr<JuceDemoPluginAudioProcessor> makeProcessor(double sampleRate = kTestRate,
                                                                   int blockSize = kTestBlock)
{
    auto processor = std::make_unique<JuceDemoPluginAudioProcessor>();
    processor->setRateAndBufferSizeDetails(sampleRate, blockSize);
    processor->prepareToPlay(sampleRate, blockSize);
    return processor;
}

// A processor as the given plug-in format's wrapper creates it.
inline std::unique_ptr<JuceDemoPluginAudioProcessor> makeProcessorAs(juce::AudioProcessor::WrapperType wrapper)
{
    juce::AudioProcessor::setTypeOfNextNewPlugin(wrapper);
    auto processor = makeProcessor();
    juce::AudioProcessor::setTypeOfNextNewPlugin(juce::AudioProcessor::wrapperType_Undefined);
    return processor;
}

// One block of `numSamples` stereo samples; `midi` is consumed and holds the MIDI output after.
inline juce::AudioBuffer<float> render(JuceDemoPluginAudioProcessor& processor, int numSamples, juce::MidiBuffer& midi)
{
    juce::AudioBuffer<float> audio(2, numSamples);
    audio.clear();
    processor.processBlock(audio, midi);
    return audio;
}

inline juce::AudioBuffer<float> render(JuceDemoPluginAudioProcessor& processor, int numSamples)
{
    juce::MidiBuffer midi;
    return render(processor, numSamples, midi);
}

// Plays `message` at the start of a one-sample block, the way the host hands it over.
inline void send(JuceDemoPluginAudioProcessor& processor, const juce::MidiMessage& message)
{
    auto midi = midiAt({message}, 0);
    render(processor, 1, midi);
}
} // namespace oxn3test
