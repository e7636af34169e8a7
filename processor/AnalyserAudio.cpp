// Loading an audio file for the analyser: the whole file into sampleBuffer, plus an overview.
#include "processor/PluginProcessor.h"

namespace
{
constexpr int kLoadedThumbnailCacheEntries = 256;
constexpr int kSourceSamplesPerThumbnailSample = 128;
} // namespace

void JuceDemoPluginAudioProcessor::loadFileIntoTransport(const juce::File& file)
{
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(file));
    if (reader == nullptr || reader->lengthInSamples > std::numeric_limits<int>::max())
    {
        sampleLength = 0;
        return;
    }

    // Read into a buffer of our own, then swap it in while the audio callback keeps off.
    const int length = static_cast<int>(reader->lengthInSamples);
    juce::AudioBuffer<float> loaded(static_cast<int>(reader->numChannels), length);
    reader->read(&loaded, 0, length, 0, true, true);
    {
        const juce::SpinLock::ScopedLockType replacing(sampleBufferLock);
        std::swap(sampleBuffer, loaded);
        sampleLength = length;
        samplePlayPosition = 0.0;
        sampleFileRate = reader->sampleRate;
    }

    thumbnail.reset(); // before the cache it uses
    thumbnailCache = std::make_unique<juce::AudioThumbnailCache>(kLoadedThumbnailCacheEntries);
    thumbnail = std::make_unique<juce::AudioThumbnail>(kSourceSamplesPerThumbnailSample, *formatManager,
                                                       *thumbnailCache);
    thumbnail->setSource(new juce::FileInputSource(file));
}
