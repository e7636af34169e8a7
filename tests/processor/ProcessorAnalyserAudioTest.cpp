// Loading audio files for the analyser: whole-file reads, the overview, unreadable files, and
// loads that replace the buffer while the audio callback plays from it.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;

namespace
{
// A temporary WAV file whose channel c holds the constant (c + 1) / 8.
struct TestWav
{
    juce::TemporaryFile temporary{".wav"};
    juce::File file = temporary.getFile();

    TestWav(double rate, int channels, int samples)
    {
        juce::AudioBuffer<float> audio(channels, samples);
        for (int c = 0; c < channels; ++c)
            juce::FloatVectorOperations::fill(audio.getWritePointer(c), static_cast<float>(c + 1) / 8.0f, samples);
        std::unique_ptr<juce::AudioFormatWriter> writer(juce::WavAudioFormat().createWriterFor(
            file.createOutputStream().release(), rate, static_cast<unsigned int>(channels), 16, {}, 0));
        writer->writeFromAudioSampleBuffer(audio, 0, samples);
    }
};
} // namespace

TEST(AnalyserAudio, TwoSecondsOfStereoAt48kThenUnreadableFiles)
{
    const TestWav wav(48000.0, 2, 96000);
    auto processor = makeProcessor();
    processor->loadFileIntoTransport(wav.file);

    EXPECT_EQ(processor->sampleLength, 96000);
    EXPECT_EQ(processor->sampleBuffer.getNumChannels(), 2);
    EXPECT_EQ(processor->sampleFileRate, 48000.0);
    EXPECT_NEAR(processor->sampleBuffer.getSample(1, 95999), 0.25f, 1e-4f);
    ASSERT_NE(processor->thumbnail, nullptr);
    EXPECT_DOUBLE_EQ(processor->thumbnail->getTotalLength(), 2.0);

    // An unreadable file sets the length to zero and keeps the overview.
    const juce::AudioThumbnail* overview = processor->thumbnail.get();
    const juce::TemporaryFile text(".wav");
    text.getFile().replaceWithText("not audio at all");
    for (const juce::File& file : {text.getFile(), juce::File("/nonexistent/loop.wav")})
    {
        processor->loadFileIntoTransport(file);
        EXPECT_EQ(processor->sampleLength, 0);
        EXPECT_EQ(processor->thumbnail.get(), overview);
        EXPECT_DOUBLE_EQ(processor->thumbnail->getTotalLength(), 2.0);
    }
}

// The analyser buffer of a new instance is silent, even where the memory held a freed instance's audio.
TEST(AnalyserAudio, ANewInstanceStartsWithASilentBuffer)
{
    for (int instance = 0; instance < 2; ++instance)
    {
        auto processor = makeProcessor();
        const int n = processor->sampleBuffer.getNumSamples();
        const float* samples = processor->sampleBuffer.getReadPointer(0); // the memory itself, not the clear mark
        EXPECT_EQ(std::count(samples, samples + n, 0.0f), n) << instance;
        juce::FloatVectorOperations::fill(processor->sampleBuffer.getWritePointer(0), std::nanf(""), n);
    }
}

// The message thread loads file after file while the audio thread plays from the buffer; the
// callback never reads a buffer that is being replaced or freed. Under AddressSanitizer a read of
// freed memory stops the test; without it a wrong length still shows as a read past the end.
TEST(AnalyserAudio, LoadingWhilePlayingNeverReadsAReplacedBuffer)
{
    constexpr int kBlock = 4096; // long playback loops widen the window a careless hand-over leaves
    const TestWav longFile(44100.0, 2, 6000);
    const TestWav shortFile(22050.0, 1, 300);
    auto processor = makeProcessor(44100.0, kBlock);
    processor->synth->sleepLimit = 0; // a silent voice renders almost nothing: the callback mostly plays the file
    processor->playSample = 1;
    processor->loadFileIntoTransport(longFile.file);

    std::atomic<bool> stop{false}, allFinite{true};
    std::atomic<int> audibleBlocks{0};
    std::thread audio([&] {
        juce::AudioBuffer<float> buffer(2, kBlock);
        juce::MidiBuffer midi;
        while (!stop.load())
        {
            buffer.clear();
            processor->processBlock(buffer, midi);
            const float level = buffer.getMagnitude(0, 0, kBlock);
            allFinite = allFinite && std::isfinite(level);
            audibleBlocks += level > 0.1f ? 1 : 0;
        }
    });

    for (int load = 0; load < 1000; ++load)
        processor->loadFileIntoTransport(load % 2 == 0 ? shortFile.file : longFile.file);
    while (audibleBlocks.load() < 10) // the callback plays the last file too
        std::this_thread::yield();
    stop = true;
    audio.join();

    EXPECT_TRUE(allFinite.load());
    EXPECT_EQ(processor->sampleLength, 6000); // the last load was the long file
}
