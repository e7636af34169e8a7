#include "processor/StateXml.h"

#include <cmath>
#include <cstring>
#include <locale>
#include <sstream>

#include "patterns/TextScanner.h"

namespace oxn3state
{
namespace
{
constexpr int kMaxIndexDigits = 4; // every numbered child of the state counts below 10000
} // namespace

int readInt(const juce::XmlElement& xml, const char* name, int fallback)
{
    if (!xml.hasAttribute(name))
        return fallback;
    const char* text = xml.getStringAttribute(name).toRawUTF8();
    int value = 0;
    return textscan::parseInt(&text, &value) ? value : 0;
}

double readDouble(const juce::XmlElement& xml, const char* name, double fallback)
{
    if (!xml.hasAttribute(name))
        return fallback;
    std::istringstream text(xml.getStringAttribute(name).toStdString());
    text.imbue(std::locale::classic());
    double value = 0.0;
    text >> value;
    return (!text.fail() && std::isfinite(value)) ? value : fallback;
}

juce::String numberedName(const char* prefix, int n)
{
    return juce::String(prefix) + juce::String(n);
}

void findNumberedChildren(const juce::XmlElement& parent, const char* prefix, const juce::XmlElement** children,
                          int count)
{
    for (int n = 0; n < count; ++n)
        children[n] = nullptr;

    const int prefixLength = static_cast<int>(std::strlen(prefix));
    for (const juce::XmlElement* child : parent.getChildIterator())
    {
        const juce::String& tag = child->getTagName();
        if (!tag.startsWith(prefix))
            continue;
        // Only the exact spelling "%d" gives: no sign, no leading zeros, nothing after the digits.
        const juce::String digits = tag.substring(prefixLength);
        if (digits.isEmpty() || digits.length() > kMaxIndexDigits || !digits.containsOnly("0123456789"))
            continue;
        const int n = digits.getIntValue();
        if (n < count && digits == juce::String(n) && children[n] == nullptr)
            children[n] = child;
    }
}
} // namespace oxn3state
