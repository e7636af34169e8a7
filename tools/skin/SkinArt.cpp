#include "SkinArt.h"

namespace skinart
{
namespace
{
juce::Typeface::Ptr loadTypeface(const char* path)
{
    juce::MemoryBlock data;
    if (juce::File(path).loadFileAsData(data))
        return juce::Typeface::createSystemTypefaceFor(data.getData(), data.getSize());
    return nullptr;
}

juce::Font fontFrom(const juce::Typeface::Ptr& face, float height, int fallbackStyle)
{
    if (face != nullptr)
        return juce::Font(face).withHeight(height);
    return juce::Font(height, fallbackStyle);
}
} // namespace

juce::Font plainFont(float height)
{
    static juce::Typeface::Ptr face = loadTypeface("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf");
    return fontFrom(face, height, juce::Font::plain);
}

juce::Font boldFont(float height)
{
    static juce::Typeface::Ptr face = loadTypeface("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf");
    return fontFrom(face, height, juce::Font::bold);
}

Canvas::Canvas(juce::Image& image, float pixelsPerUnit) : g(image)
{
    g.setImageResamplingQuality(juce::Graphics::highResamplingQuality);
    g.addTransform(juce::AffineTransform::scale(pixelsPerUnit));
}

void brushedMetal(juce::Image& image, juce::Rectangle<int> pixels, juce::Colour base, int grain, juce::int64 seed)
{
    juce::Random random(seed);
    juce::Image::BitmapData data(image, juce::Image::BitmapData::readWrite);
    float streak = 0.0f;
    for (int y = pixels.getY(); y < pixels.getBottom(); ++y)
    {
        // Neighbouring rows share part of their grain, as a brushed sheet does.
        streak = streak * 0.55f + (random.nextFloat() - 0.5f) * (float) grain;
        for (int x = pixels.getX(); x < pixels.getRight(); ++x)
        {
            // A soft light falling from the upper left.
            const float light = 6.0f * (1.0f - (float) x / (float) image.getWidth())
                                - 5.0f * (float) y / (float) image.getHeight();
            const float d = streak + light;
            auto channel = [d](juce::uint8 c) { return (juce::uint8) juce::jlimit(0, 255, juce::roundToInt(c + d)); };
            data.setPixelColour(x, y, juce::Colour(channel(base.getRed()), channel(base.getGreen()),
                                                   channel(base.getBlue())));
        }
    }
}

void caption(juce::Graphics& g, const juce::String& text, float cx, float top, float height, juce::Colour colour,
             bool bold)
{
    g.setColour(colour);
    g.setFont(bold ? boldFont(height) : plainFont(height));
    const float width = 200.0f;
    g.drawText(text, juce::Rectangle<float>(cx - width / 2, top, width, height), juce::Justification::centred, false);
}

void captionLeft(juce::Graphics& g, const juce::String& text, float x, float top, float height, juce::Colour colour,
                 bool bold)
{
    g.setColour(colour);
    g.setFont(bold ? boldFont(height) : plainFont(height));
    g.drawText(text, juce::Rectangle<float>(x, top, 200.0f, height), juce::Justification::centredLeft, false);
}

void screw(juce::Graphics& g, float cx, float cy, float radius, float angle)
{
    const auto box = juce::Rectangle<float>(cx - radius, cy - radius, 2 * radius, 2 * radius);
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    g.fillEllipse(box.translated(0.3f, 0.4f).expanded(0.3f));
    g.setGradientFill(juce::ColourGradient(juce::Colour(235, 236, 238), cx - radius, cy - radius,
                                           juce::Colour(120, 122, 126), cx + radius, cy + radius, false));
    g.fillEllipse(box);
    juce::Path slot;
    slot.addRectangle(-radius * 0.8f, -radius * 0.13f, radius * 1.6f, radius * 0.26f);
    g.setColour(juce::Colour(60, 60, 64));
    g.fillPath(slot, juce::AffineTransform::rotation(angle).translated(cx, cy));
}

void lampSocket(juce::Graphics& g, float cx, float cy, float radius)
{
    const float outer = radius + 1.1f;
    g.setColour(juce::Colour(12, 12, 14));
    g.fillEllipse(cx - outer, cy - outer, 2 * outer, 2 * outer);
    g.setColour(juce::Colour(96, 98, 104));
    g.drawEllipse(cx - outer, cy - outer, 2 * outer, 2 * outer, 0.5f);
    g.setColour(juce::Colour(38, 30, 30));
    g.fillEllipse(cx - radius + 0.6f, cy - radius + 0.6f, 2 * radius - 1.2f, 2 * radius - 1.2f);
}

void recessedWindow(juce::Graphics& g, juce::Rectangle<float> r, float corner, juce::Colour inside)
{
    g.setColour(juce::Colours::white.withAlpha(0.45f));
    g.fillRoundedRectangle(r.translated(0.0f, 0.6f).expanded(0.6f), corner + 0.6f);
    g.setColour(juce::Colours::black.withAlpha(0.7f));
    g.fillRoundedRectangle(r.expanded(0.6f), corner + 0.6f);
    g.setColour(inside);
    g.fillRoundedRectangle(r, corner);
    g.setGradientFill(juce::ColourGradient(juce::Colours::black.withAlpha(0.55f), r.getX(), r.getY(),
                                           juce::Colours::transparentBlack, r.getX(), r.getY() + 3.0f, false));
    g.fillRoundedRectangle(r, corner);
}

juce::Image newImage(int width, int height)
{
    return juce::Image(juce::Image::ARGB, width, height, true);
}
} // namespace skinart
