#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ui/SimplexDraw.h"
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

std::vector<int> record(char c)
{
    const int* g = simplex[glyphOf(c)];
    return {g, g + 2 + 2 * g[0]};
}
} // namespace

TEST(SimplexFont, GlyphsAsPublished)
{
    // {character, vertex count, advance, vertices (pen lifts as -1, -1)}
    EXPECT_EQ(record(' '), (std::vector<int>{0, 16}));
    EXPECT_EQ(record('1'), (std::vector<int>{4, 20, 6, 17, 8, 18, 11, 21, 11, 0}));
    EXPECT_EQ(record('!'), (std::vector<int>{8, 10, 5, 21, 5, 7, -1, -1, 5, 2, 4, 1, 5, 0, 6, 1, 5, 2}));
    EXPECT_EQ(record('A'), (std::vector<int>{8, 18, 9, 21, 1, 0, -1, -1, 9, 21, 17, 0, -1, -1, 4, 7, 14, 7}));
    EXPECT_EQ(simplex[glyphOf('@')][0], 55); // the longest glyph fills the record
    EXPECT_EQ(simplex[glyphOf('~')][1], 24);
}

TEST(SimplexFont, DigitsStandTwentyOneUnitsOnTheBaseline)
{
    for (char c = '0'; c <= '9'; ++c)
    {
        const int* g = simplex[glyphOf(c)];
        int low = 1000, high = -1000;
        for (int i = 0; i < g[0]; ++i)
            if (g[2 + 2 * i] != -1)
                low = std::min(low, g[3 + 2 * i]), high = std::max(high, g[3 + 2 * i]);
        EXPECT_EQ(low, 0) << c;
        EXPECT_EQ(high, 21) << c;
        EXPECT_EQ(g[1], 20) << c;
    }
}

TEST(SimplexFont, RecordsBeyondTheirVerticesAreZero)
{
    for (int glyph = 0; glyph < oxn3::kSimplexGlyphCount; ++glyph)
    {
        const int* g = simplex[glyph];
        ASSERT_LE(g[0], 55);
        for (int i = 2 + 2 * g[0]; i < oxn3::kSimplexGlyphInts; ++i)
            ASSERT_EQ(g[i], 0) << glyph;
    }
}

TEST(SimplexFont, DrawnGlyphMapsFontUnitsUpwardFromTheOrigin)
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
