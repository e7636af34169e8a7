// The editor's costs: opening it at 980 x 358 up to its first painted frame (skin loading and
// rescaling included, the default skin already installed), and one idle 50 ms tick.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "processor/PluginProcessor.h"
#include "ui/window/PluginEditor.h"

namespace
{
struct Scratch
{
    Scratch()
    {
        folder = juce::File::getSpecialLocation(juce::File::tempDirectory).getNonexistentChildFile("oxn3-bench", "", false);
        folder.createDirectory();
        std::snprintf(processor.configFolder, sizeof(processor.configFolder), "%s/", folder.getFullPathName().toRawUTF8());
        JuceDemoPluginAudioProcessorEditor installsTheSkin(processor);
    }
    ~Scratch() { folder.deleteRecursively(); }
    juce::File folder;
    JuceDemoPluginAudioProcessor processor;
};

void BM_OpenEditorToFirstFrame(benchmark::State& state)
{
    Scratch scratch;
    for (auto _ : state)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor(scratch.processor.createEditor());
        auto frame = editor->createComponentSnapshot(editor->getLocalBounds());
        benchmark::DoNotOptimize(frame.getPixelAt(10, 10));
    }
}

void BM_IdleTick(benchmark::State& state)
{
    Scratch scratch;
    JuceDemoPluginAudioProcessorEditor editor(scratch.processor);
    for (int i = 0; i < 100; ++i)
        editor.timerCallback();
    for (auto _ : state)
        editor.timerCallback();
}
} // namespace

BENCHMARK(BM_OpenEditorToFirstFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
