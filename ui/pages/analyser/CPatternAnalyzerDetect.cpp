// Detect: the marked span of the loaded audio, transcribed into the current pattern.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "processor/PluginProcessor.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"
#include "ui/window/PluginEditor.h"
#include "ui/detect/WaveBuffer.h"

namespace
{
constexpr int32_t kAssumedRate = 44100;

// The loaded file's own rate, so that a 48 kHz loop is not read a semitone and a half flat.
int32_t rateOf(double fileRate)
{
    if (!(fileRate >= 1.0 && fileRate <= 1e7))
        return kAssumedRate;
    return static_cast<int32_t>(std::lround(fileRate));
}
} // namespace

// Markers are single-precision fractions: past 2^24 samples the product at the right end can round
// above the sample count, which must still mean the last sample, not an empty copy.
std::pair<int, int> CPatternAnalyzer::markedSpan(int n, float start, float end)
{
    auto sampleAt = [n](float product) { return static_cast<int>(std::clamp<double>(product, 0.0, n)); };
    const int first = sampleAt(start * static_cast<float>(n));
    return {first, std::max(sampleAt(static_cast<float>(n) * end), first)};
}

void CPatternAnalyzer::DoAnalyze()
{
    JuceDemoPluginAudioProcessor& p = processor();
    helpVisible = false;
    if (p.thumbnail == nullptr)
        return; // "NO WAVE LOADED": nothing to transcribe, the pattern stays
    const int n = p.sampleBuffer.getNumSamples();
    const auto [first, last] = markedSpan(n, selectionStart, selectionEnd);

    WaveBuffer wave;
    wave.size = last - first;
    wave.sampleRate = rateOf(p.sampleFileRate);
    wave.allocate(static_cast<unsigned long>(wave.size));
    if (wave.data == nullptr)
        return; // no memory for the copy: the pattern stays as it was
    if (wave.size > 0 && p.sampleBuffer.getNumChannels() > 0)
        std::memcpy(wave.data, p.sampleBuffer.getReadPointer(0, first), sizeof(float) * static_cast<size_t>(wave.size));
    wave.normalize();

    Vst303Pattern& pattern = currentPattern();
    const int length = pattern.getStepCount();
    int notes[Vst303Pattern::kMaxSteps] = {};
    int gates[Vst303Pattern::kMaxSteps] = {};
    int accents[Vst303Pattern::kMaxSteps] = {};
    int slides[Vst303Pattern::kMaxSteps] = {};
    try
    {
        wave.audioAnalyze(notes, gates, accents, slides, length);
    }
    catch (const std::bad_alloc&)
    {
        wave.release();
        return;
    }
    wave.release();
    pattern.setFrom(length, notes, gates, accents, slides, 1, 1, 1, 1);
    pattern.tidy303Pattern();
}
