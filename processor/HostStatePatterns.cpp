// The 128 selectable patterns in the saved state: "oxn3pattern%d" with its "length" and "triplet"
// and 64 "step%d" children. The spare flag bits are not saved; a recall keeps the recalling
// instance's own, and so it does for the tie and triplet of older states, which lack them.
#include "processor/HostStateChildren.h"
#include "processor/PluginProcessor.h"
#include "processor/StateXml.h"

namespace oxn3state
{
namespace
{
constexpr const char* kPatternPrefix = "oxn3pattern";
constexpr const char* kStepPrefix = "step";
constexpr const char* kLengthAttribute = "length";
constexpr const char* kTripletAttribute = "triplet";
constexpr const char* kPitchAttribute = "pitch";

constexpr int kKeepCurrent = -1; // a missing attribute leaves the bit as the step has it

// The saved flags in the order they are written, with their bits and read defaults.
struct FlagAttribute
{
    const char* name;
    std::uint8_t bit;
    int readDefault;
};

constexpr FlagAttribute kFlagAttributes[] = {
    {"gate", step_t::kGate, 1},
    {"down", step_t::kDown, 0},
    {"up", step_t::kUp, 0},
    {"accent", step_t::kAccent, 0},
    {"slide", step_t::kSlide, 0},
    {"tie", step_t::kTie, kKeepCurrent},
};

std::unique_ptr<juce::XmlElement> patternElement(const Vst303Pattern& pattern, int n)
{
    auto element = std::make_unique<juce::XmlElement>(numberedName(kPatternPrefix, n));
    element->setAttribute(kLengthAttribute, pattern.getLength());
    element->setAttribute(kTripletAttribute, pattern.getTriplet());
    for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
    {
        const step_t& step = pattern.steps[s];
        juce::XmlElement* child = element->createNewChildElement(numberedName(kStepPrefix, s));
        child->setAttribute(kPitchAttribute, step.pitch);
        for (const FlagAttribute& flag : kFlagAttributes)
            child->setAttribute(flag.name, step.has(flag.bit) ? 1 : 0);
    }
    return element;
}

// Any non-zero flag value counts as set (the writer writes only 0 and 1).
void readStep(step_t& step, const juce::XmlElement& element)
{
    step.pitch = static_cast<std::int8_t>(readInt(element, kPitchAttribute, 0));
    auto flags = static_cast<std::uint8_t>(step.flags & step_t::kSpare);
    for (const FlagAttribute& flag : kFlagAttributes)
    {
        const int fallback = flag.readDefault == kKeepCurrent ? (step.has(flag.bit) ? 1 : 0) : flag.readDefault;
        if (readInt(element, flag.name, fallback) != 0)
            flags = static_cast<std::uint8_t>(flags | flag.bit);
    }
    step.flags = flags;
}

void readPattern(Vst303Pattern& pattern, const juce::XmlElement& element)
{
    pattern.setLength(readInt(element, kLengthAttribute, Vst303Pattern::kDefaultLength)); // clamps to 1..64
    pattern.setTriplet(readInt(element, kTripletAttribute, pattern.getTriplet()) != 0 ? 1 : 0);

    const juce::XmlElement* steps[Vst303Pattern::kMaxSteps];
    findNumberedChildren(element, kStepPrefix, steps, Vst303Pattern::kMaxSteps);
    for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
        if (steps[s] != nullptr)
            readStep(pattern.steps[s], *steps[s]);
}
} // namespace

void writePatterns(const JuceDemoPluginAudioProcessor& processor, juce::XmlElement& root)
{
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
        root.addChildElement(patternElement(processor.synth->patterns[n], n).release());
}

void readPatterns(JuceDemoPluginAudioProcessor& processor, const juce::XmlElement& root)
{
    const juce::XmlElement* patterns[oxn3::kUserPatterns];
    findNumberedChildren(root, kPatternPrefix, patterns, oxn3::kUserPatterns);
    for (int n = 0; n < oxn3::kUserPatterns; ++n)
        if (patterns[n] != nullptr)
            readPattern(processor.synth->patterns[n], *patterns[n]);
}
} // namespace oxn3state
