#include "ui/framework/CaptionFit.h"

namespace oxn3
{
std::vector<DrawnCaption>* drawnCaptions = nullptr;

namespace
{
// Room left for the glyphs' own rounding, so a fitted caption is never cut after all.
constexpr float kFitMargin = 0.98f;
} // namespace

float captionScale(const juce::Font& font, const juce::String& text, float width)
{
    const float natural = font.getStringWidthFloat(text);
    if (natural <= width || natural <= 0.0f)
        return 1.0f;
    return juce::jmax(kNarrowestCaption, width * kFitMargin / natural);
}

void drawCaption(juce::Graphics& g, const juce::String& text, juce::Rectangle<float> box,
                 juce::Justification justification)
{
    const juce::Font original = g.getCurrentFont();
    juce::Font font = original;
    font.setHorizontalScale(original.getHorizontalScale() * captionScale(original, text, box.getWidth()));
    if (drawnCaptions != nullptr)
        drawnCaptions->push_back({text, box, font.getStringWidthFloat(text)});
    g.setFont(font);
    g.drawText(text, box, justification, true);
    g.setFont(original);
}
} // namespace oxn3
