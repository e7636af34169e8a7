// Loading an audio file for the analyser: the whole file into sampleBuffer, plus an overview.
//
// The audio callback may be playing the old file meanwhile. The new file is read into a buffer of
// its own first; only the exchange of the two buffers (a few pointers) happens under
// sampleBufferLock, which the callback merely tries (one compare-and-swap, never a wait) and
// holds while it reads. The old buffer is freed after the exchange, when the callback can no
// longer be reading it.
#include <climits>
#include <new>

#include "processor/PluginProcessor.h"

namespace
{
constexpr int kLoadedThumbnailCacheEntries = 256;
constexpr int kSourceSamplesPerThumbnailSample = 128;

// Every channel of the whole file. False for a file longer than an int of samples or one that
// does not fit in memory.
bool readWholeFile(juce::AudioFormatReader& reader, juce::AudioBuffer<float>& into)
{
    if (reader.lengthInSamples < 0 || reader.lengthInSamples > INT_MAX || reader.numChannels > INT_MAX)
        return false;
    const int length = static_cast<int>(reader.lengthInSamples);
    try
    {
        into.setSize(static_cast<int>(reader.numChannels), length);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    into.clear(); // a reader that delivers fewer samples leaves silence, not old memory
    reader.read(&into, 0, length, 0, true, true);
    return true;
}
} // namespace

void JuceDemoPluginAudioProcessor::loadFileIntoTransport(const juce::File& file)
{
    const std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(file));
    juce::AudioBuffer<float> loaded;
    if (reader == nullptr || !readWholeFile(*reader, loaded))
    {
        // The old buffer and overview stay; playback is silent because the length is 0.
        const juce::SpinLock::ScopedLockType replacing(sampleBufferLock);
        sampleLength = 0;
        return;
    }

    {
        const juce::SpinLock::ScopedLockType replacing(sampleBufferLock);
        std::swap(sampleBuffer, loaded);
        sampleLength = sampleBuffer.getNumSamples();
        samplePlayPosition = 0.0;
        sampleFileRate = reader->sampleRate;
    }
    loaded.setSize(0, 0); // the old file's samples go now, outside the lock

    thumbnail.reset(); // before the cache it uses
    thumbnailCache = std::make_unique<juce::AudioThumbnailCache>(kLoadedThumbnailCacheEntries);
    thumbnail = std::make_unique<juce::AudioThumbnail>(kSourceSamplesPerThumbnailSample, *formatManager,
                                                       *thumbnailCache);
    thumbnail->setSource(new juce::FileInputSource(file));
}
