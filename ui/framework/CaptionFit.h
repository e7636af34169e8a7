#pragma once

#include <vector>

#include <juce_graphics/juce_graphics.h>

// Captions drawn in boxes sized for a narrower typeface than the one found here: a caption too
// wide for its box is narrowed horizontally, down to kNarrowestCaption of its width (the
// toolkit's own limit for fitted text), before the toolkit shortens it with an ellipsis.
namespace oxn3
{
constexpr float kNarrowestCaption = 0.7f;

// The horizontal scale that fits `text` in `width` with `font`: 1 when it fits as it is.
float captionScale(const juce::Font& font, const juce::String& text, float width);

// Draws `text` in `box` with the current font and colour, narrowed as far as needed and allowed.
void drawCaption(juce::Graphics& g, const juce::String& text, juce::Rectangle<float> box,
                 juce::Justification justification);

// While set (tests only), every caption drawn is added to it with its box and drawn width.
struct DrawnCaption
{
    juce::String text;
    juce::Rectangle<float> box;
    float width;
};
extern std::vector<DrawnCaption>* drawnCaptions;
} // namespace oxn3
