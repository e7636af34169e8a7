#pragma once

#include <juce_graphics/juce_graphics.h>

// Shared drawing helpers of the default-skin generator. Every picture is drawn in design units
// (the window is 754 x 276 of them) onto an image of twice (or, for the classic panel, four
// times) that size, so the skin stays sharp on large windows.
namespace skinart
{
// The generator's two typefaces, loaded from fonts-dejavu-core so the output is the same on
// every machine with that package.
juce::Font plainFont(float height);
juce::Font boldFont(float height);

// A graphics context on `image` whose unit is one design unit.
struct Canvas
{
    Canvas(juce::Image& image, float pixelsPerUnit);
    juce::Graphics g;
};

// Brushed metal: horizontal grain of row-wise brightness from a fixed seed.
void brushedMetal(juce::Image& image, juce::Rectangle<int> pixels, juce::Colour base, int grain, juce::int64 seed);

// Printed text, centred on (cx, baseline band top..top+height).
void caption(juce::Graphics& g, const juce::String& text, float cx, float top, float height, juce::Colour colour,
             bool bold = true);
void captionLeft(juce::Graphics& g, const juce::String& text, float x, float top, float height,
                 juce::Colour colour, bool bold = true);

// A slotted screw head.
void screw(juce::Graphics& g, float cx, float cy, float radius, float angle);

// A sunken lamp or LED socket for a lamp of `radius` at (cx, cy).
void lampSocket(juce::Graphics& g, float cx, float cy, float radius);

// A recessed dark window with a bevel.
void recessedWindow(juce::Graphics& g, juce::Rectangle<float> r, float corner, juce::Colour inside);

juce::Image newImage(int width, int height);
} // namespace skinart
