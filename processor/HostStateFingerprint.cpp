#include "processor/HostStateFingerprint.h"

#include <cstddef>

#include "processor/PluginProcessor.h"

namespace
{
using Processor = JuceDemoPluginAudioProcessor;

// The root attributes of the saved state that are neither a host parameter (the trims are ones)
// nor the current pattern.
constexpr int Processor::*kStoredIntFields[] = {
    &Processor::uiWidth,        &Processor::uiHeight,      &Processor::MidiMode,          &Processor::SyncMode,
    &Processor::MidiOutput,     &Processor::VCOVibrato,    &Processor::VCAClicks,         &Processor::VCANoise,
    &Processor::VCOMode,        &Processor::OutputClipping, &Processor::PatternLock,      &Processor::PatternKnob,
    &Processor::ShowSticker,    &Processor::VCOPhaseReset, &Processor::ImprovedEmulation, &Processor::TuningMode,
    &Processor::EmulationEngine,
};

// The spare flag bits stay with the instance.
constexpr std::uint8_t kSavedFlags = static_cast<std::uint8_t>(~step_t::kSpare);

// 64-bit FNV-1a over the bytes of each value added.
class Digest
{
public:
    template <typename T>
    void add(const T& value)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (std::size_t i = 0; i < sizeof value; ++i)
            hash = (hash ^ bytes[i]) * kPrime;
    }

    std::uint64_t value() const { return hash; }

private:
    static constexpr std::uint64_t kOffsetBasis = 14695981039346656037ull;
    static constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t hash = kOffsetBasis;
};

void addPattern(Digest& digest, const Vst303Pattern& pattern)
{
    digest.add(pattern.getLength());
    digest.add(pattern.getTriplet());
    for (const step_t& step : pattern.steps)
    {
        digest.add(step.pitch);
        digest.add(static_cast<std::uint8_t>(step.flags & kSavedFlags));
    }
}

void addRandomiser(Digest& digest, AdvancedRandom_t settings)
{
    for (std::int32_t& degree : settings.scale)
        degree &= 1; // only a degree's on bit is saved
    digest.add(settings);
}
} // namespace

namespace oxn3
{
std::uint64_t storedStateFingerprint(const JuceDemoPluginAudioProcessor& processor)
{
    Digest digest;
    for (int Processor::*field : kStoredIntFields)
        digest.add(processor.*field);
    for (int n = 0; n < kUserPatterns; ++n)
        addPattern(digest, processor.synth->patterns[n]);
    digest.add(processor.midiCCMap);
    digest.add(processor.midiKeyMap);
    digest.add(processor.tuningTable);
    addRandomiser(digest, processor.advancedRandom);
    return digest.value();
}
} // namespace oxn3
