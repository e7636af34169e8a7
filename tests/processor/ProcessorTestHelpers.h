#pragma once

#include <memory>

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

    juce::Optional<PositionInfo> getPosition() const override
    {
        if (!available)
            return {};
        PositionInfo info;
        info.setPpqPosition(ppq);
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

inline juce::MidiBuffer noteOnAt(int note, int sample, juce::uint8 velocity = 100)
{
    juce::MidiBuffer midi;
    midi.addEvent(juce::MidiMessage::noteOn(1, note, velocity), sample);
    return midi;
}

// Appends `block` to channel 0 of `all` at `offset`.
inline void append(juce::AudioBuffer<float>& all, int offset, const juce::AudioBuffer<float>& block)
{
    all.copyFrom(0, offset, block, 0, 0, block.getNumSamples());
}
} // namespace oxn3test
