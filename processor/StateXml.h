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

// prefix + decimal n, as "%s%d" writes it ("step12").
juce::String numberedName(const char* prefix, int n);

// For each n in 0..count-1 the first child named numberedName(prefix, n), or null; one pass over
// the children, so a state with very many children costs no more than reading them.
void findNumberedChildren(const juce::XmlElement& parent, const char* prefix, const juce::XmlElement** children,
                          int count);
} // namespace oxn3state
