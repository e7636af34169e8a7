// The processor's cost over the bare engine: one running busy pattern at 44.1 kHz in 128-sample
// blocks, rendered by Synth303::blockProcessRE alone and by the whole processBlock (parameter
// copy, host position, MIDI slicing, channel copy, MIDI output, scope capture). The counter
// "rtf" is seconds of audio per CPU second; the processor's overhead is 1 - rtf(processor) / rtf(engine).
// Then the host state watcher's fingerprint against saving the whole state.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <juce_events/juce_events.h>

#include "BusyPattern.h"
#include "processor/HostStateFingerprint.h"
#include "processor/PluginProcessor.h"

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kBlockSize = 128;
constexpr int kPattern = 0;

void writeBusyPattern(Synth303& synth)
{
    oxn3bench::writeBusyPattern(synth.patterns[kPattern]);
}

// The knob settings both variants play with, as parameter index and value.
constexpr struct
{
    int index;
    float value;
} kKnobs[] = {{oxn3::kCutoff, 0.35f}, {oxn3::kResonance, 0.75f}, {oxn3::kEnvmod, 0.6f},
              {oxn3::kDecay, 0.4f},   {oxn3::kAccent, 0.8f},     {oxn3::kVolume, 0.8f}};

void reportRealTimeFactor(benchmark::State& state)
{
    state.counters["rtf"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlockSize / kSampleRate,
                                               benchmark::Counter::kIsRate);
}

void BM_BareEngine(benchmark::State& state)
{
    // Settings as the processor would copy them in.
    auto processor = std::make_unique<JuceDemoPluginAudioProcessor>();
    for (const auto& knob : kKnobs)
        processor->setParameter(knob.index, knob.value);
    processor->setRateAndBufferSizeDetails(kSampleRate, kBlockSize);
    juce::AudioBuffer<float> warmUp(2, kBlockSize);
    juce::MidiBuffer midi;
    processor->processBlock(warmUp, midi);

    Synth303& synth = *processor->synth;
    writeBusyPattern(synth);
    synth.currentPattern = kPattern;
    synth.setRunStop(1);
    std::vector<float> block(kBlockSize, 0.0f);
    for (auto _ : state)
    {
        synth.blockProcessRE(block.data(), kBlockSize, false);
        benchmark::DoNotOptimize(block.data());
    }
    reportRealTimeFactor(state);
}

void BM_ProcessBlock(benchmark::State& state)
{
    auto processor = std::make_unique<JuceDemoPluginAudioProcessor>();
    for (const auto& knob : kKnobs)
        processor->setParameter(knob.index, knob.value);
    processor->setRateAndBufferSizeDetails(kSampleRate, kBlockSize);
    processor->prepareToPlay(kSampleRate, kBlockSize);
    processor->MidiOutput = 1;
    writeBusyPattern(*processor->synth);

    juce::AudioBuffer<float> audio(2, kBlockSize);
    juce::MidiBuffer midi;
    midi.ensureSize(2048);
    midi.addEvent(juce::MidiMessage::noteOn(1, kPattern, juce::uint8{100}), 0); // pattern note: start
    for (auto _ : state)
    {
        processor->processBlock(audio, midi);
        benchmark::DoNotOptimize(audio.getReadPointer(0));
        midi.clear(); // the host reads the plug-in's MIDI output and hands in a fresh buffer
    }
    reportRealTimeFactor(state);
}

// One look of the host state watcher against what saving the state costs: the watcher takes the
// fingerprint a few times a second on the message thread.
void BM_StateFingerprint(benchmark::State& state)
{
    auto processor = std::make_unique<JuceDemoPluginAudioProcessor>();
    writeBusyPattern(*processor->synth);
    for (auto _ : state)
        benchmark::DoNotOptimize(oxn3::storedStateFingerprint(*processor));
}

void BM_StateSave(benchmark::State& state)
{
    auto processor = std::make_unique<JuceDemoPluginAudioProcessor>();
    writeBusyPattern(*processor->synth);
    for (auto _ : state)
    {
        juce::MemoryBlock block;
        processor->getStateInformation(block);
        benchmark::DoNotOptimize(block.getData());
    }
}
} // namespace

BENCHMARK(BM_BareEngine)->MinTime(2.0);
BENCHMARK(BM_ProcessBlock)->MinTime(2.0);
BENCHMARK(BM_StateFingerprint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StateSave)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
