#pragma once

#include <cstring>

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

// Hands our block inside `formatState` to `replace` and returns the format state holding the block
// `replace` returns instead; empty when the format state holds no block of ours.
template <typename Replace>
juce::MemoryBlock replaceInnerState(oxn3host::Format format, const juce::MemoryBlock& formatState, Replace replace)
{
    juce::MemoryBlock result;
    if (format == oxn3host::Format::vst3)
    {
        auto xml = juce::AudioProcessor::getXmlFromBinary(formatState.getData(), static_cast<int>(formatState.getSize()));
        juce::XmlElement* component = xml != nullptr ? xml->getChildByName(kVst3ComponentChild) : nullptr;
        juce::MemoryBlock bytes;
        if (component == nullptr || !bytes.fromBase64Encoding(component->getAllSubText()))
            return result;
        const size_t ours = xmlBlockSize(bytes);
        juce::MemoryBlock replaced = replace(juce::MemoryBlock(bytes.getData(), ours));
        replaced.append(static_cast<const char*>(bytes.getData()) + ours, bytes.getSize() - ours);
        component->deleteAllTextElements();
        component->addTextElement(replaced.toBase64Encoding());
        juce::AudioProcessor::copyXmlToBinary(*xml, result);
        return result;
    }
    const juce::String text = formatState.toString();
    const int key = text.indexOf(kLv2StateProperty);
    const int start = key + static_cast<int>(std::strlen(kLv2StateProperty));
    const int end = key >= 0 ? text.indexOfChar(start, '"') : -1;
    if (end <= start)
        return result;
    juce::MemoryBlock inner;
    inner.fromBase64Encoding(text.substring(start, end));
    const juce::String replaced = text.replaceSection(start, end - start, replace(inner).toBase64Encoding());
    result.append(replaced.toRawUTF8(), replaced.getNumBytesAsUTF8());
    return result;
}
} // namespace detail

inline juce::MemoryBlock innerState(oxn3host::Format format, const juce::MemoryBlock& formatState)
{
    juce::MemoryBlock inner;
    detail::replaceInnerState(format, formatState, [&inner](const juce::MemoryBlock& ours) { return inner = ours; });
    return inner;
}

inline juce::MemoryBlock withInnerState(oxn3host::Format format, const juce::MemoryBlock& formatState,
                                        const juce::MemoryBlock& inner)
{
    return detail::replaceInnerState(format, formatState, [&inner](const juce::MemoryBlock&) { return inner; });
}
} // namespace oxn3test
