#pragma once

#include <juce_core/juce_core.h>

// Reading the saved state's XML safely: any attribute text and any number of children are
// allowed to arrive from a damaged or hostile host state.
namespace oxn3state
{
// The integer attribute `name`, or `fallback` when it is missing. Read like JUCE reads it
// (leading white space, optional sign, the digits up to the first other character; no digits
// reads 0), except that a value beyond the int range saturates instead of overflowing.
int readInt(const juce::XmlElement& xml, const char* name, int fallback);

// The double attribute `name`, or `fallback` when it is missing or its text does not start with
// a finite number. Always read with the "C" locale's decimal point.
double readDouble(const juce::XmlElement& xml, const char* name, double fallback);

// Whether JUCE's XML parser can take the text of a state block without danger. JUCE's block is a
// 4-byte mark, a 4-byte text length and the text; AudioProcessor::getXmlFromBinary parses at most
// that length of what follows. The parser reads past the end of a text that is not valid UTF-8
// or that ends inside a numeric character reference; it recurses once per element level; it
// expands entities that a document type declaration defines into further elements; and it loops
// for ever on a processing instruction inside an element. True when the text is valid UTF-8,
// every "&#" is a complete reference, there is no "<!DOCTYPE", no "<?" after the root element
// begins, and an upper bound of the element nesting, never below what the parser reaches, is at
// most `maxDepth`. Comments, CDATA sections, processing instructions and quoted attribute values
// are passed over as the parser does.
bool isSafeStateBlock(const void* data, int size, int maxDepth);

// prefix + decimal n, as "%s%d" writes it ("step12").
juce::String numberedName(const char* prefix, int n);

// For each n in 0..count-1 the first child named numberedName(prefix, n), or null; one pass over
// the children, so a state with very many children costs no more than reading them.
void findNumberedChildren(const juce::XmlElement& parent, const char* prefix, const juce::XmlElement** children,
                          int count);
} // namespace oxn3state
