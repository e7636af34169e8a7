#pragma once

#include <juce_graphics/juce_graphics.h>

// The glyph's strokes as line segments: each vertex maps to (origin.x + x * size, origin.y - y * size),
// consecutive vertices join unless one of them lifts the pen. Empty for a glyph outside the font.
juce::Path simplexGlyphPath(juce::Point<float> origin, int glyph, float size);

// Advance width of the glyph times size; 0 outside the font.
float simplexAdvance(int glyph, float size);

// Strokes one glyph of the simplex font (glyph = character - 32) and returns its advance x size.
float draw_simplex(juce::Point<float> origin, int glyph, float lineWidth, juce::Colour colour, float size,
                   juce::Graphics& g);
