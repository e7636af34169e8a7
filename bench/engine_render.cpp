// Real-time factor of the two render engines: one voice playing a busy 16-step pattern (accents,
// slides, octave jumps) in 256-sample blocks. The counter "rtf" is seconds of audio rendered
// per CPU second. bench/compare_with_base.sh runs it beside the same benchmark built from an
// earlier commit and prints ns per sample, real-time factors and the ratio.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "BusyVoice.h"

namespace
{
constexpr int kBlockSize = 256;

enum class Engine
{
    Improved,
    Classic
};

enum class Knobs
{
    Still,
    Turning // cutoff and resonance sweep all the time, so the smoothers never come to rest
};

// Triangle between 0.2 and 0.8 over `period` blocks.
float sweep(long block, long period)
{
    const float x = static_cast<float>(block % period) / static_cast<float>(period);
    return 0.2f + 0.6f * (x < 0.5f ? 2.0f * x : 2.0f - 2.0f * x);
}

template <Engine kEngine, bool kReference, Knobs kKnobs = Knobs::Still>
void renderBusyPattern(benchmark::State& state)
{
    const double sampleRate = static_cast<double>(state.range(0));
    auto synth = oxn3bench::makeBusyVoice(sampleRate);
    std::vector<float> block(kBlockSize, 0.0f);
    long blocks = 0;
    for (auto _ : state)
    {
        if constexpr (kKnobs == Knobs::Turning)
        {
            synth->cutoff = sweep(blocks, 700);
            synth->resonance = sweep(blocks + 200, 900);
            ++blocks;
        }
        if constexpr (kEngine == Engine::Improved)
            synth->renderRE<kReference>(block.data(), kBlockSize);
        else
            synth->render311<kReference>(block.data(), kBlockSize);
        benchmark::DoNotOptimize(block.data());
    }
    const double audioSeconds = static_cast<double>(state.iterations()) * kBlockSize / sampleRate;
    state.counters["rtf"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

void BM_RenderRE(benchmark::State& state)
{
    renderBusyPattern<Engine::Improved, false>(state);
}

// The same render with every coefficient recomputed per sample and the shift-register decimator.
void BM_RenderREPerSampleReference(benchmark::State& state)
{
    renderBusyPattern<Engine::Improved, true>(state);
}

// The classic engine (blockProcess311), with the VCA noise and click generator on.
void BM_Render311(benchmark::State& state)
{
    renderBusyPattern<Engine::Classic, false>(state);
}

void BM_Render311PerSampleReference(benchmark::State& state)
{
    renderBusyPattern<Engine::Classic, true>(state);
}

// Both engines while two knobs turn without a pause.
void BM_RenderREKnobsTurning(benchmark::State& state)
{
    renderBusyPattern<Engine::Improved, false, Knobs::Turning>(state);
}

void BM_Render311KnobsTurning(benchmark::State& state)
{
    renderBusyPattern<Engine::Classic, false, Knobs::Turning>(state);
}
} // namespace

BENCHMARK(BM_RenderRE)->Arg(44100)->Arg(48000)->Arg(96000);
BENCHMARK(BM_RenderREPerSampleReference)->Arg(44100)->Arg(48000)->Arg(96000);
BENCHMARK(BM_Render311)->Arg(44100)->Arg(48000)->Arg(96000);
BENCHMARK(BM_Render311PerSampleReference)->Arg(44100)->Arg(48000)->Arg(96000);
BENCHMARK(BM_RenderREKnobsTurning)->Arg(44100)->Arg(96000);
BENCHMARK(BM_Render311KnobsTurning)->Arg(44100)->Arg(96000);
