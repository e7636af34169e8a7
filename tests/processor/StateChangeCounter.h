#pragma once

#include <atomic>

#include <juce_audio_processors/juce_audio_processors.h>

namespace oxn3test
{
// Counts the times a processor tells its host that its non-parameter state changed, on any
// thread; listens for as long as it lives.
struct StateChangeCounter : juce::AudioProcessorListener
{
    juce::AudioProcessor& processor;
    std::atomic<int> count{0};

    explicit StateChangeCounter(juce::AudioProcessor& p) : processor(p) { processor.addListener(this); }
    ~StateChangeCounter() override { processor.removeListener(this); }

    void audioProcessorParameterChanged(juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails& details) override
    {
        if (details.nonParameterStateChanged)
            ++count;
    }
};
} // namespace oxn3test
