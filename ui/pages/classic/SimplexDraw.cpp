#include "ui/pages/classic/SimplexDraw.h"

#include "ui/simplex/SimplexGlyphs.h"

namespace
{
bool inFont(int glyph)
{
    return glyph >= 0 && glyph < oxn3::kSimplexGlyphCount;
}
} // namespace

juce::Path simplexGlyphPath(juce::Point<float> origin, int glyph, float size)
{
    juce::Path path;
    if (!inFont(glyph))
        return path;
    const int* g = simplex[glyph];
    const int count = juce::jlimit(0, (oxn3::kSimplexGlyphInts - 2) / 2, g[0]);
    auto map = [&](int i) {
        return juce::Point<float>(origin.x + static_cast<float>(g[2 + 2 * i]) * size,
                                  origin.y - static_cast<float>(g[3 + 2 * i]) * size);
    };
    auto penUp = [&](int i) { return g[2 + 2 * i] == oxn3::kSimplexPenUp && g[3 + 2 * i] == oxn3::kSimplexPenUp; };
    for (int i = 1; i < count; ++i)
    {
        if (penUp(i - 1) || penUp(i))
            continue;
        path.startNewSubPath(map(i - 1));
        path.lineTo(map(i));
    }
    return path;
}

float simplexAdvance(int glyph, float size)
{
    return inFont(glyph) ? static_cast<float>(simplex[glyph][1]) * size : 0.0f;
}

float draw_simplex(juce::Point<float> origin, int glyph, float lineWidth, juce::Colour colour, float size,
                   juce::Graphics& g)
{
    g.setColour(colour);
    g.strokePath(simplexGlyphPath(origin, glyph, size), juce::PathStrokeType(lineWidth));
    return simplexAdvance(glyph, size);
}
