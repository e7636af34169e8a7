#pragma once

#include "PluginHost.h"

// Our own state block inside the state a plug-in format keeps: VST3 holds it at the start of
// the base64 "IComponent" child of its XML block (JUCE's private data follows it there); LV2
// holds it as a base64 string property of its Turtle state.
namespace oxn3test
{
namespace detail
{
constexpr const char* kVst3ComponentChild = "IComponent";
constexpr const char* kLv2StateProperty = ":StateString> \"";

// Size of the XML state block at the start of `bytes`: header, text and its terminating NUL.
inline size_t xmlBlockSize(const juce::MemoryBlock& bytes)
{
    if (bytes.getSize() < 8)
        return 0;
    const size_t text = juce::ByteOrder::littleEndianInt(static_cast<const char*>(bytes.getData()) + 4);
    return std::min(bytes.getSize(), 8 + text + 1);
}

struct Lv2Literal
{
    juce::String text;
    int start = -1;
    int end = -1;
};

inline Lv2Literal findLv2Literal(const juce::MemoryBlock& formatState)
{
    Lv2Literal literal;
    literal.text = formatState.toString();
    const int key = literal.text.indexOf(kLv2StateProperty);
    if (key >= 0)
    {
        literal.start = key + static_cast<int>(std::strlen(kLv2StateProperty));
        literal.end = literal.text.indexOfChar(literal.start, '"');
    }
    return literal;
}
} // namespace detail

inline juce::MemoryBlock innerState(oxn3host::Format format, const juce::MemoryBlock& formatState)
{
    juce::MemoryBlock inner;
    if (format == oxn3host::Format::vst3)
    {
        const auto xml = juce::AudioProcessor::getXmlFromBinary(formatState.getData(), static_cast<int>(formatState.getSize()));
        const juce::XmlElement* component = xml != nullptr ? xml->getChildByName(detail::kVst3ComponentChild) : nullptr;
        juce::MemoryBlock bytes;
        if (component != nullptr && bytes.fromBase64Encoding(component->getAllSubText()))
            inner.append(bytes.getData(), detail::xmlBlockSize(bytes));
        return inner;
    }
    const detail::Lv2Literal literal = detail::findLv2Literal(formatState);
    if (literal.start >= 0 && literal.end > literal.start)
        inner.fromBase64Encoding(literal.text.substring(literal.start, literal.end));
    return inner;
}

inline juce::MemoryBlock withInnerState(oxn3host::Format format, const juce::MemoryBlock& formatState,
                                        const juce::MemoryBlock& inner)
{
    juce::MemoryBlock result;
    if (format == oxn3host::Format::vst3)
    {
        auto xml = juce::AudioProcessor::getXmlFromBinary(formatState.getData(), static_cast<int>(formatState.getSize()));
        juce::XmlElement* component = xml != nullptr ? xml->getChildByName(detail::kVst3ComponentChild) : nullptr;
        juce::MemoryBlock bytes;
        if (component == nullptr || !bytes.fromBase64Encoding(component->getAllSubText()))
            return result;
        juce::MemoryBlock replaced = inner;
        const size_t ours = detail::xmlBlockSize(bytes);
        replaced.append(static_cast<const char*>(bytes.getData()) + ours, bytes.getSize() - ours);
        component->deleteAllTextElements();
        component->addTextElement(replaced.toBase64Encoding());
        juce::AudioProcessor::copyXmlToBinary(*xml, result);
        return result;
    }
    const detail::Lv2Literal literal = detail::findLv2Literal(formatState);
    if (literal.start < 0 || literal.end <= literal.start)
        return result;
    const juce::String text = literal.text.replaceSection(literal.start, literal.end - literal.start,
                                                          inner.toBase64Encoding());
    result.append(text.toRawUTF8(), text.getNumBytesAsUTF8());
    return result;
}
} // namespace oxn3test
