#include <gtest/gtest.h>

#include "ui/pages/classic/SimplexDraw.h"
#include "ui/simplex/SimplexGlyphs.h"

namespace
{
int glyphOf(char c)
{
    return c - oxn3::kSimplexFirstChar;
}

int lineCount(const juce::Path& path)
{
    int lines = 0;
    for (juce::Path::Iterator it(path); it.next();)
        lines += it.elementType == juce::Path::Iterator::lineTo ? 1 : 0;
    return lines;
}
} // namespace

TEST(SimplexFont, DrawnGlyphMapsFontUnitsUpwardFromTheOriginAndLiftsThePen)
{
    // '1' at (10, 50), half size: x 13..15.5, y from 50 up to 39.5.
    const juce::Path one = simplexGlyphPath({10.0f, 50.0f}, glyphOf('1'), 0.5f);
    EXPECT_EQ(one.getBounds(), juce::Rectangle<float>(13.0f, 39.5f, 2.5f, 10.5f));
    EXPECT_EQ(lineCount(one), 3);
    // '!' lifts the pen once: the bar and the four sides of the dot, never bar to dot.
    EXPECT_EQ(lineCount(simplexGlyphPath({0, 0}, glyphOf('!'), 1.0f)), 5);

    juce::Image image(juce::Image::ARGB, 20, 20, true);
    juce::Graphics g(image);
    EXPECT_FLOAT_EQ(draw_simplex({2, 15}, glyphOf('8'), 1.5f, juce::Colours::red, 0.5f, g), 10.0f);
    EXPECT_FLOAT_EQ(draw_simplex({2, 15}, -1, 1.5f, juce::Colours::red, 0.5f, g), 0.0f);
    EXPECT_TRUE(simplexGlyphPath({0, 0}, oxn3::kSimplexGlyphCount, 1.0f).isEmpty());
}
