// Renders a short demo through the built plug-in: pattern 0 started by a MIDI note, with a
// cutoff sweep over the run, written as a stereo WAV file.
//   oxn3_render_demo <OXN3.vst3 | OXN3.lv2> <out.wav> [seconds]
#include <cstdio>

#include <juce_audio_formats/juce_audio_formats.h>

#include "PluginHost.h"

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kBlockSize = 512;
constexpr double kDefaultSeconds = 8.0;
constexpr int kPatternNote = 0; // pattern-mode note n plays pattern n
constexpr juce::uint8 kVelocity = 100;
constexpr int kBitsPerSample = 24;
constexpr const char* kLv2Uri = "https://quellbrook.example/plugins/oxn3";

// Knob settings of the demo.
constexpr struct
{
    const char* name;
    float value;
} kDemoKnobs[] = {{"Cutoff", 0.25f}, {"Resonance", 0.8f}, {"Envmod", 0.6f}, {"Decay", 0.35f}, {"Accent", 0.5f}};
constexpr const char* kSweptKnob = "Cutoff";
constexpr float kSweepStart = 0.15f;
constexpr float kSweepDepth = 0.6f;

void setParameter(juce::AudioPluginInstance& plugin, const char* name, float value)
{
    if (auto* parameter = oxn3host::findParameter(plugin, name))
        parameter->setValueNotifyingHost(value);
}

bool writeWav(const juce::File& file, const juce::AudioBuffer<float>& audio)
{
    file.deleteFile();
    std::unique_ptr<juce::OutputStream> stream = file.createOutputStream();
    if (stream == nullptr)
        return false;
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        wav.createWriterFor(stream.get(), kSampleRate, static_cast<unsigned int>(audio.getNumChannels()),
                            kBitsPerSample, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release(); // the writer owns it now
    return writer->writeFromAudioSampleBuffer(audio, 0, audio.getNumSamples());
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s <OXN3.vst3 | OXN3.lv2> <out.wav> [seconds]\n", argv[0]);
        return 2;
    }
    const juce::ScopedJuceInitialiser_GUI juce;
    const juce::File bundle = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]);
    const juce::File output = juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]);
    const double seconds = argc > 3 ? juce::jlimit(0.1, 600.0, juce::String(argv[3]).getDoubleValue()) : kDefaultSeconds;
    const auto format = bundle.hasFileExtension(".lv2") ? oxn3host::Format::lv2 : oxn3host::Format::vst3;

    oxn3host::LoadResult loaded = oxn3host::loadPlugin(format, bundle, kLv2Uri, kSampleRate, kBlockSize);
    if (loaded.instance == nullptr)
    {
        std::fprintf(stderr, "cannot load %s: %s\n", bundle.getFullPathName().toRawUTF8(), loaded.error.toRawUTF8());
        return 1;
    }
    juce::AudioPluginInstance& plugin = *loaded.instance;
    for (const auto& knob : kDemoKnobs)
        setParameter(plugin, knob.name, knob.value);

    const int total = static_cast<int>(seconds * kSampleRate);
    juce::AudioBuffer<float> result(2, total);
    juce::AudioBuffer<float> block;
    juce::MidiBuffer midi;
    midi.addEvent(juce::MidiMessage::noteOn(1, kPatternNote, kVelocity), 0);

    for (int done = 0; done < total; done += kBlockSize)
    {
        const int count = std::min(kBlockSize, total - done);
        const float progress = static_cast<float>(done) / static_cast<float>(total);
        setParameter(plugin, kSweptKnob, kSweepStart + kSweepDepth * std::sin(progress * juce::MathConstants<float>::pi));
        oxn3host::renderBlock(plugin, block, midi, count);
        midi.clear();
        for (int channel = 0; channel < 2; ++channel)
            result.copyFrom(channel, done, block, std::min(channel, block.getNumChannels() - 1), 0, count);
    }
    plugin.releaseResources();

    if (!writeWav(output, result))
    {
        std::fprintf(stderr, "cannot write %s\n", output.getFullPathName().toRawUTF8());
        return 1;
    }
    std::printf("%s: %.1f s, peak %.3f\n", output.getFullPathName().toRawUTF8(), seconds,
                static_cast<double>(result.getMagnitude(0, total)));
    return 0;
}
