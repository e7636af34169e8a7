// The render in slices between MIDI events, the engine switch, MIDI output, scope capture and
// the analyser's playback. Block sizes and rates are covered through the hosted bundles.
#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;
using oxn3test::noteOnAt;
using oxn3test::render;

namespace
{
constexpr int kPattern = 5;

juce::MidiMessage on(int note) { return juce::MidiMessage::noteOn(1, note, juce::uint8{100}); }

juce::MidiMessage off(int note) { return juce::MidiMessage::noteOff(1, note); }

juce::MidiBuffer midiAt(std::initializer_list<juce::MidiMessage> messages, int sample)
{
    juce::MidiBuffer midi;
    for (const auto& message : messages)
        midi.addEvent(message, sample);
    return midi;
}
} // namespace

TEST(AudioCallback, EventsAtOnePositionAreHandledInBufferOrder)
{
    auto processor = makeProcessor();
    auto twoKeys = midiAt({on(60), on(62)}, 100);
    render(*processor, 512, twoKeys);
    EXPECT_EQ(processor->synth->currentPattern, 62);
    EXPECT_GT(processor->heldVelocity[60], 0);
    EXPECT_GT(processor->heldVelocity[62], 0);

    auto offOn = midiAt({off(60), off(62), on(64)}, 7); // still running
    render(*processor, 512, offOn);
    EXPECT_EQ(processor->synth->running, 1);
    EXPECT_EQ(processor->synth->currentPattern, 64);
    auto onOff = midiAt({on(66), off(66), off(64)}, 3); // stopped
    render(*processor, 512, onOff);
    EXPECT_EQ(processor->synth->running, 0);
}

TEST(AudioCallback, EmptyBlockDiscardsItsEvents)
{
    auto processor = makeProcessor();
    auto midi = noteOnAt(kPattern, 0);
    render(*processor, 0, midi);
    EXPECT_TRUE(midi.isEmpty());
    EXPECT_EQ(processor->synth->running, 0);
    EXPECT_EQ(processor->synth->currentPattern, 0);

    auto late = noteOnAt(kPattern, 512); // at the block's end: not handled either
    render(*processor, 512, late);
    EXPECT_EQ(processor->synth->running, 0);
}

TEST(AudioCallback, EngineSwitchFadesInOnceFromTheNewEnginesFirstSample)
{
    auto processor = makeProcessor();
    processor->ImprovedEmulation = 0;
    processor->lastImprovedEmulation = 0;
    processor->setParameter(oxn3::kVolume, 0.75f);
    render(*processor, 64);

    // Two harmless events split the block into slices of 100, 200 and 212 samples.
    processor->ImprovedEmulation = 1;
    juce::MidiBuffer midi;
    midi.addEvent(juce::MidiMessage::pitchWheel(1, 8192), 100);
    midi.addEvent(juce::MidiMessage::pitchWheel(1, 8192), 300);
    render(*processor, 512, midi);

    // The volume smoother restarts from 0 once, before the first slice of the new engine, and
    // climbs by 0.0005 per sample over the whole block.
    const double expected = 0.75 * (1.0 - std::pow(1.0 - 0.0005, 512));
    EXPECT_NEAR(processor->synth->smoothedVolume, expected, 1e-3);
    EXPECT_EQ(processor->lastImprovedEmulation, 1);
}

TEST(AudioCallback, MidiOutputSendsNoteChangesOnlyWhenOn)
{
    auto processor = makeProcessor();
    // Per block: output switch, engine's note 48 velocity, expected message (0 none, 1 on, -1 off).
    const struct
    {
        int output, velocity, sent;
    } blocks[] = {{0, 127, 0}, {1, 127, 1}, {1, 127, 0}, {1, 0, -1}};
    for (const auto& b : blocks)
    {
        processor->MidiOutput = b.output;
        processor->synth->midiOutNotes[48] = b.velocity;
        juce::MidiBuffer midi; // the host hands in a fresh buffer each block
        render(*processor, 64, midi);
        ASSERT_EQ(midi.getNumEvents(), b.sent == 0 ? 0 : 1);
        EXPECT_EQ(processor->sentMidiNotes[48], b.output == 0 ? 0 : b.velocity); // off: nothing remembered
        if (b.sent == 0)
            continue;
        const auto event = *midi.cbegin();
        EXPECT_EQ(event.samplePosition, 0);
        EXPECT_EQ(event.getMessage().isNoteOn(), b.sent == 1);
        EXPECT_EQ(event.getMessage().getChannel(), 1);
        EXPECT_EQ(event.getMessage().getNoteNumber(), 48);
        EXPECT_EQ(event.getMessage().getVelocity(), b.velocity);
    }

    auto running = makeProcessor();
    running->MidiOutput = 1;
    auto midi = noteOnAt(kPattern, 0);
    render(*running, 512, midi);
    ASSERT_EQ(midi.getNumEvents(), 1);
    EXPECT_TRUE((*midi.cbegin()).getMessage().isNoteOn());
    EXPECT_EQ((*midi.cbegin()).getMessage().getNoteNumber(), 36); // a cleared pattern: pitch 0, gated
    EXPECT_EQ((*midi.cbegin()).getMessage().getVelocity(), 99);
}

TEST(AudioCallback, CaptureWrapsAfterOneBarOfSixteenths)
{
    auto processor = makeProcessor();
    auto midi = noteOnAt(kPattern, 0);
    render(*processor, 512, midi);
    for (int rendered = 512; rendered < 88200 + 100;)
    {
        const int count = std::min(4096, 88200 + 100 - rendered);
        render(*processor, count);
        rendered += count;
    }
    EXPECT_DOUBLE_EQ(processor->synth->samplesPerStep, 5512.5);
    EXPECT_EQ(processor->captureWriteIndex, 100);
    EXPECT_FALSE(processor->captureBuffer.hasBeenCleared());
}

TEST(AudioCallback, AnalyserAudioLoopsIntoBothChannels)
{
    // A 4-sample file at half the host rate: every file sample plays twice, then it repeats.
    const juce::File wav = juce::File::createTempFile(".wav");
    {
        juce::AudioBuffer<float> source(1, 4);
        for (int i = 0; i < 4; ++i)
            source.setSample(0, i, 0.125f * static_cast<float>(i + 1));
        std::unique_ptr<juce::OutputStream> stream = wav.createOutputStream();
        juce::WavAudioFormat format;
        std::unique_ptr<juce::AudioFormatWriter> writer(format.createWriterFor(stream.get(), 22050.0, 1, 32, {}, 0));
        ASSERT_NE(writer, nullptr);
        stream.release();
        writer->writeFromAudioSampleBuffer(source, 0, 4);
    }
    auto silent = makeProcessor();
    auto playing = makeProcessor();
    playing->loadFileIntoTransport(wav);
    wav.deleteFile();
    ASSERT_EQ(playing->sampleLength, 4);
    EXPECT_EQ(playing->sampleFileRate, 22050.0);
    playing->playSample = 1;

    const auto without = render(*silent, 20);
    const auto with = render(*playing, 20);
    for (int i = 0; i < 20; ++i)
    {
        for (int channel : {0, 1})
            EXPECT_FLOAT_EQ(with.getSample(channel, i) - without.getSample(channel, i),
                            0.125f * static_cast<float>((i / 2) % 4 + 1))
                << i;
    }
}
