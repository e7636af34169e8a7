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

void CPatternAnalyzer::DoAnalyze()
{
    JuceDemoPluginAudioProcessor& p = processor();
    const int n = p.sampleBuffer.getNumSamples();
    const int first = static_cast<int>(selectionStart * static_cast<float>(n));
    const int last = static_cast<int>(static_cast<float>(n) * selectionEnd);

    WaveBuffer wave;
    wave.size = std::max(last - first, 0);
    wave.sampleRate = rateOf(p.sampleFileRate);
    wave.allocate(static_cast<unsigned long>(wave.size));
    helpVisible = false;
    if (wave.data == nullptr)
        return; // no memory for the copy: the pattern stays as it was
    if (wave.size > 0 && p.sampleBuffer.getNumChannels() > 0 && first >= 0 && last <= n)
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
