// The render in slices between MIDI events, the engine switch, MIDI output, scope capture and
// the analyser's playback.
#include <cmath>
#include <initializer_list>
#include <random>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::append;
using oxn3test::makeProcessor;
using oxn3test::noteOnAt;
using oxn3test::render;

namespace
{
constexpr int kPattern = 5;

bool allFinite(const juce::AudioBuffer<float>& audio)
{
    for (int channel = 0; channel < audio.getNumChannels(); ++channel)
        for (int i = 0; i < audio.getNumSamples(); ++i)
            if (!std::isfinite(audio.getSample(channel, i)))
                return false;
    return true;
}

// Channel 0 of a run of blocks of the given sizes with one pattern note-on at sample `noteAt`.
juce::AudioBuffer<float> renderRun(std::initializer_list<int> blocks, int noteAt)
{
    auto processor = makeProcessor();
    int total = 0;
    for (int size : blocks)
        total += size;
    juce::AudioBuffer<float> all(1, total);
    int start = 0;
    for (int size : blocks)
    {
        juce::MidiBuffer midi;
        if (noteAt >= start && noteAt < start + size)
            midi.addEvent(juce::MidiMessage::noteOn(1, kPattern, juce::uint8{100}), noteAt - start);
        append(all, start, render(*processor, size, midi));
        start += size;
    }
    return all;
}

bool sameSamples(const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    for (int i = 0; i < a.getNumSamples(); ++i)
        if (a.getSample(0, i) != b.getSample(0, i))
            return false;
    return true;
}
} // namespace

TEST(AudioCallback, PatternNoteStartsItsPatternAndSounds)
{
    auto processor = makeProcessor();
    auto midi = noteOnAt(kPattern, 0);
    render(*processor, 512, midi);
    EXPECT_EQ(processor->synth->currentPattern, kPattern);
    EXPECT_EQ(processor->synth->running, 1);
    EXPECT_EQ(processor->midiActivity, 99); // 100 on the note, one block counted down
    juce::AudioBuffer<float> audio = render(*processor, 4096);
    EXPECT_GT(audio.getMagnitude(0, 0, 4096), 0.01f);
    EXPECT_EQ(audio.getMagnitude(0, 0, 4096), audio.getMagnitude(1, 0, 4096)); // both channels alike

    juce::MidiBuffer release;
    release.addEvent(juce::MidiMessage::noteOff(1, kPattern), 10);
    render(*processor, 512, release);
    EXPECT_EQ(processor->synth->running, 0); // the last key released stops
}

TEST(AudioCallback, EventTakesEffectOnItsOwnSample)
{
    // A note at sample 100 of one 512-sample block sounds exactly like a note at the start of a
    // block that follows a 100-sample block: samples 0-99 render, the note, then 100-511.
    const auto inOneBlock = renderRun({512, 4096}, 100);
    EXPECT_TRUE(sameSamples(inOneBlock, renderRun({100, 412, 4096}, 100)));
    EXPECT_FALSE(sameSamples(inOneBlock, renderRun({512, 4096}, 101)));
    EXPECT_FALSE(sameSamples(inOneBlock, renderRun({512, 4096}, 99)));
    EXPECT_EQ(inOneBlock.getMagnitude(0, 0, 100), renderRun({512, 4096}, 4000).getMagnitude(0, 0, 100));
}

TEST(AudioCallback, EventsAtOnePositionAreHandledInBufferOrder)
{
    auto processor = makeProcessor();
    juce::MidiBuffer midi;
    midi.addEvent(juce::MidiMessage::noteOn(1, 60, juce::uint8{100}), 100);
    midi.addEvent(juce::MidiMessage::noteOn(1, 62, juce::uint8{100}), 100);
    render(*processor, 512, midi);
    EXPECT_EQ(processor->synth->currentPattern, 62);
    EXPECT_GT(processor->heldVelocity[60], 0);
    EXPECT_GT(processor->heldVelocity[62], 0);

    // Off then on at one position: still running; on then off: stopped.
    juce::MidiBuffer offOn;
    offOn.addEvent(juce::MidiMessage::noteOff(1, 60), 7);
    offOn.addEvent(juce::MidiMessage::noteOff(1, 62), 7);
    offOn.addEvent(juce::MidiMessage::noteOn(1, 64, juce::uint8{100}), 7);
    render(*processor, 512, offOn);
    EXPECT_EQ(processor->synth->running, 1);
    EXPECT_EQ(processor->synth->currentPattern, 64);
    juce::MidiBuffer onOff;
    onOff.addEvent(juce::MidiMessage::noteOn(1, 66, juce::uint8{100}), 3);
    onOff.addEvent(juce::MidiMessage::noteOff(1, 66), 3);
    onOff.addEvent(juce::MidiMessage::noteOff(1, 64), 3);
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

    // Events at or beyond the block's end are not handled either.
    auto late = noteOnAt(kPattern, 512);
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
    juce::MidiBuffer midi;

    processor->synth->midiOutNotes[48] = 127;
    midi.clear(); // the host hands in a fresh buffer each block
    render(*processor, 64, midi);
    EXPECT_TRUE(midi.isEmpty()); // off: nothing sent, nothing remembered
    EXPECT_EQ(processor->sentMidiNotes[48], 0);

    processor->MidiOutput = 1;
    midi.clear(); // the host hands in a fresh buffer each block
    render(*processor, 64, midi);
    ASSERT_EQ(midi.getNumEvents(), 1);
    const auto on = *midi.cbegin();
    EXPECT_EQ(on.samplePosition, 0);
    EXPECT_TRUE(on.getMessage().isNoteOn());
    EXPECT_EQ(on.getMessage().getChannel(), 1);
    EXPECT_EQ(on.getMessage().getNoteNumber(), 48);
    EXPECT_EQ(on.getMessage().getVelocity(), 127);

    midi.clear(); // the host hands in a fresh buffer each block
    render(*processor, 64, midi);
    EXPECT_TRUE(midi.isEmpty()); // no change, no message

    processor->synth->midiOutNotes[48] = 0;
    midi.clear(); // the host hands in a fresh buffer each block
    render(*processor, 64, midi);
    ASSERT_EQ(midi.getNumEvents(), 1);
    EXPECT_TRUE((*midi.cbegin()).getMessage().isNoteOff());
    EXPECT_EQ((*midi.cbegin()).getMessage().getVelocity(), 0);
}

TEST(AudioCallback, RunningPatternSendsItsNotes)
{
    auto processor = makeProcessor();
    processor->MidiOutput = 1;
    auto midi = noteOnAt(kPattern, 0);
    render(*processor, 512, midi);
    ASSERT_EQ(midi.getNumEvents(), 1);
    const auto message = (*midi.cbegin()).getMessage();
    EXPECT_TRUE(message.isNoteOn());
    EXPECT_EQ(message.getNoteNumber(), 36); // a cleared pattern: pitch 0, gated, no accent
    EXPECT_EQ(message.getVelocity(), 99);
}

TEST(AudioCallback, CaptureWrapsAfterOneBarOfSixteenths)
{
    auto processor = makeProcessor();
    auto midi = noteOnAt(kPattern, 0);
    render(*processor, 512, midi);
    int rendered = 512;
    while (rendered < 88200 + 100)
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
        const float expected = 0.125f * static_cast<float>((i / 2) % 4 + 1);
        EXPECT_FLOAT_EQ(with.getSample(0, i) - without.getSample(0, i), expected) << i;
        EXPECT_FLOAT_EQ(with.getSample(1, i) - without.getSample(1, i), expected) << i;
    }
}

TEST(AudioCallback, UnreadableAnalyserFileLeavesPlaybackSilent)
{
    auto processor = makeProcessor();
    processor->loadFileIntoTransport(juce::File("/nonexistent/loop.wav"));
    EXPECT_EQ(processor->sampleLength, 0);
    EXPECT_EQ(processor->thumbnail, nullptr);
}

TEST(AudioCallback, AnyBlockSizeAndRateGivesFiniteOutput)
{
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> blockSize(1, 4096);
    for (double rate : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0})
    {
        SCOPED_TRACE(rate);
        auto processor = makeProcessor(rate, 4096);
        processor->setParameter(oxn3::kResonance, 1.0f);
        processor->setParameter(oxn3::kEnvmod, 1.0f);
        processor->setParameter(oxn3::kAccent, 1.0f);
        processor->setParameter(oxn3::kDistort, 1.0f);
        auto midi = noteOnAt(kPattern, 0);
        render(*processor, 1, midi);
        float peak = 0.0f;
        for (int rendered = 0; rendered < static_cast<int>(rate);)
        {
            const int count = blockSize(random);
            const auto audio = render(*processor, count);
            ASSERT_TRUE(allFinite(audio));
            peak = std::max(peak, audio.getMagnitude(0, 0, count));
            rendered += count;
        }
        EXPECT_GT(peak, 0.01f);
    }
}
