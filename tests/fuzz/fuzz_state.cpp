// setStateInformation: any block a host hands over leaves an instance whose fields are within
// their ranges and that still plays finite audio.
#include <cmath>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "processor/PluginProcessor.h"

namespace
{
constexpr double kRate = 44100.0;
constexpr int kBlock = 64;

JuceDemoPluginAudioProcessor& processor()
{
    // One instance for the run, like a host that recalls state after state into the same plug-in.
    static const std::unique_ptr<JuceDemoPluginAudioProcessor> instance = [] {
        auto made = std::make_unique<JuceDemoPluginAudioProcessor>();
        made->setRateAndBufferSizeDetails(kRate, kBlock);
        made->prepareToPlay(kRate, kBlock);
        return made;
    }();
    return *instance;
}

void requireFieldsInRange(JuceDemoPluginAudioProcessor& p)
{
    require(p.synth->currentPattern >= 0 && p.synth->currentPattern < oxn3::kUserPatterns);
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
        require(p.synth->patterns[n].getLength() >= 1 && p.synth->patterns[n].getLength() <= Vst303Pattern::kMaxSteps);
    for (const double value : p.parameterValues)
        require(value >= 0.0 && value <= 1.0);
    for (const double trim : {p.ResoTrim, p.GateTrim, p.TuningTrim, p.VCFTrim})
        require(trim >= 0.0 && trim <= 1.0);
    for (const int option : {p.MidiMode, p.SyncMode, p.MidiOutput, p.VCOVibrato, p.VCAClicks, p.VCANoise,
                             p.OutputClipping, p.PatternLock, p.ShowSticker, p.VCOPhaseReset, p.ImprovedEmulation})
        require(option == 0 || option == 1);
    for (const double frequency : p.tuningTable)
        require(std::isfinite(frequency));
    const AdvancedRandom_t& r = p.advancedRandom;
    require(r.patLength >= 1 && r.patLength <= Vst303Pattern::kMaxSteps);
    for (const int density : {r.noteDensity, r.gateDensity, r.slideDensity, r.accentDensity})
        require(density >= 0 && density <= 100);
    require(r.root >= 0 && r.root < AdvancedRandom_t::kScaleDegrees);
}

// A pattern note in pattern mode and a few blocks of the voice.
void requirePlayable(JuceDemoPluginAudioProcessor& p)
{
    p.MidiMode = oxn3::kPatternMode;
    p.midiLearnActive = 0;
    p.synth->stepRecord = 0;
    juce::AudioBuffer<float> audio(2, kBlock);
    juce::MidiBuffer midi;
    midi.addEvent(juce::MidiMessage::noteOn(1, p.synth->currentPattern, juce::uint8{100}), 0);
    for (int block = 0; block < 4; ++block)
    {
        audio.clear();
        p.processBlock(audio, midi);
        midi.clear();
        for (int i = 0; i < kBlock; ++i)
            require(std::isfinite(audio.getSample(0, i)));
    }
    midi.addEvent(juce::MidiMessage::allNotesOff(1), 0);
    p.processBlock(audio, midi);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Never shut down: at exit JUCE's shutdown would run after function-local statics it uses
    // (those of the processor's timer among them) are gone.
    static const auto* juceInitialiser = new juce::ScopedJuceInitialiser_GUI();
    juce::ignoreUnused(juceInitialiser);
    silenceStandardOutput();
    processor();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > static_cast<size_t>(std::numeric_limits<int>::max()))
        return 0;
    JuceDemoPluginAudioProcessor& p = processor();
    p.setStateInformation(data, static_cast<int>(size));
    requireFieldsInRange(p);
    requirePlayable(p);
    return 0;
}
