#include "processor/StateXml.h"

#include <algorithm>
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
constexpr int kStateBlockHeader = 8;  // JUCE's mark and the text length
constexpr int kTextLengthOffset = 4;
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

namespace
{
// Reads over XML text; `at` always stays within the text.
struct XmlCursor
{
    const char* text;
    size_t size;
    size_t at = 0;

    bool startsWith(const char* word) const
    {
        const size_t length = std::strlen(word);
        return length <= size - at && std::memcmp(text + at, word, length) == 0;
    }

    // Moves to the next `word`; false, at the end of the text, when there is none.
    bool findAhead(const char* word)
    {
        while (at < size && !startsWith(word))
            ++at;
        return at < size;
    }

    // Moves past the next `word`, or to the end of the text.
    void skipPast(const char* word)
    {
        at = findAhead(word) ? at + std::strlen(word) : size;
    }

    // Passes over a comment or processing instruction at `at`; false when none starts there.
    bool skipCommentOrInstruction()
    {
        if (startsWith("<!--"))
            skipPast("-->");
        else if (startsWith("<?"))
            skipPast("?>");
        else
            return false;
        return true;
    }

    // Moves past the '>' that ends a tag, passing over quoted values, comments and processing
    // instructions; true when the tag ended with "/>".
    bool skipTag()
    {
        char quote = 0;
        while (at < size)
        {
            const char c = text[at];
            if (quote != 0)
                quote = c == quote ? 0 : quote;
            else if (skipCommentOrInstruction())
                continue;
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                return text[at++ - 1] == '/';
            ++at;
        }
        return false;
    }
};

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Every "&#" starts a complete numeric reference: digits and ';'. The parser steps over the
// ';' it expects after the digits, past the end of a text that ends inside a reference.
bool hasOnlyCompleteNumericReferences(const char* text, size_t size)
{
    XmlCursor cursor{text, size};
    while (cursor.findAhead("&#"))
    {
        cursor.at += 2;
        if (cursor.at < size && (text[cursor.at] == 'x' || text[cursor.at] == 'X'))
            ++cursor.at;
        const size_t digits = cursor.at;
        while (cursor.at < size && isHexDigit(text[cursor.at]))
            ++cursor.at;
        if (cursor.at == digits || cursor.at == size || text[cursor.at] != ';')
            return false;
    }
    return true;
}

// Our reading of the text ahead of JUCE's XML parser: element nesting within `maxDepth`, no
// document type, and no processing instruction once the root element has begun.
bool isShallowPlainXml(const char* text, size_t size, int maxDepth)
{
    XmlCursor cursor{text, size};
    int depth = 0;
    size_t rootStart = size;
    while (cursor.at < size)
    {
        if (text[cursor.at] != '<')
            ++cursor.at;
        else if (cursor.startsWith("<!DOCTYPE"))
            return false;
        else if (cursor.skipCommentOrInstruction())
            continue;
        else if (cursor.startsWith("<![CDATA["))
            cursor.skipPast("]]>");
        else if (cursor.startsWith("</"))
        {
            depth = std::max(0, depth - 1);
            cursor.skipTag();
        }
        else
        {
            rootStart = std::min(rootStart, cursor.at);
            ++cursor.at;
            if (++depth > maxDepth)
                return false;
            if (cursor.skipTag())
                --depth; // "<name ... />"
        }
    }
    // Inside the content the parser takes an instruction for white space, finds no element after
    // it, goes back before it and stops at its '<' again: for ever.
    XmlCursor content{text, size, rootStart};
    return !content.findAhead("<?");
}
} // namespace

bool isSafeStateBlock(const void* data, int size, int maxDepth)
{
    if (data == nullptr || size <= kStateBlockHeader)
        return false;
    const auto* bytes = static_cast<const char*>(data);
    const auto declared = static_cast<size_t>(juce::ByteOrder::littleEndianInt(bytes + kTextLengthOffset));
    const size_t length = std::min(static_cast<size_t>(size - kStateBlockHeader), declared);
    const char* text = bytes + kStateBlockHeader;
    return juce::CharPointer_UTF8::isValidString(text, static_cast<int>(length))
           && hasOnlyCompleteNumericReferences(text, length) && isShallowPlainXml(text, length, maxDepth);
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
