// The audio-to-pattern detection: its time over ten seconds of audio, and how well patterns
// rendered by the engine come back (the rates appear as counters, in per cent).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "RoundTrip.h"
#include "ui/detect/WaveBuffer.h"

namespace
{
// Ten seconds of a bass-like line at 44.1 kHz: saw notes with rests, seeded noise on top.
std::vector<float> tenSeconds()
{
    std::mt19937 rng(303);
    std::uniform_real_distribution<float> noise(-0.01f, 0.01f);
    std::vector<float> x(441000);
    const int stepLen = 441000 / 64;
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i)
    {
        const int step = static_cast<int>(i) / stepLen;
        const double hz = 55.0 * std::pow(2.0, (step * 5 % 13) / 12.0);
        phase += hz / 44100.0;
        phase -= std::floor(phase);
        const bool rest = step % 7 == 3;
        x[i] = (rest ? 0.0f : static_cast<float>(phase * 2 - 1)) + noise(rng);
    }
    return x;
}

void BM_AudioAnalyze10s(benchmark::State& state)
{
    std::vector<float> audio = tenSeconds();
    WaveBuffer w;
    w.data = audio.data();
    w.size = static_cast<int32_t>(audio.size());
    w.normalize();
    const int steps = static_cast<int>(state.range(0));
    int notes[64], gates[64], accents[64], slides[64];
    for (auto _ : state)
    {
        w.audioAnalyze(notes, gates, accents, slides, steps);
        benchmark::DoNotOptimize(notes);
    }
    state.counters["realtime_x"] = benchmark::Counter(10.0 * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AudioAnalyze10s)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_RoundTripRates(benchmark::State& state)
{
    RoundTripSettings s;
    s.sampleRate = static_cast<int>(state.range(0));
    s.withSlides = state.range(1) != 0;
    s.patterns = 50;
    RoundTripCounts c;
    for (auto _ : state)
        c = measureRoundTrip(s);
    state.counters["steps"] = c.steps;
    state.counters["gate%"] = 100 * c.gateShare();
    state.counters["pitch%"] = 100 * c.pitchShare();
    state.counters["plainPitch%"] = 100 * c.plainPitchShare();
    state.counters["accentedPitch%"] = 100 * c.accentedPitchShare();
    state.counters["accent%"] = 100 * c.accentShare();
    state.counters["slide%"] = 100 * c.slideShare();
}
BENCHMARK(BM_RoundTripRates)
    ->ArgsProduct({{44100, 48000}, {0, 1}})
    ->ArgNames({"rate", "slides"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
} // namespace

BENCHMARK_MAIN();
