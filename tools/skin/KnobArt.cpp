#include "SkinArt.h"
#include "SkinImages.h"

using namespace skinart;

namespace skinimages
{
namespace
{
constexpr float kPi = juce::MathConstants<float>::pi;

float radians(float degrees)
{
    return degrees * kPi / 180.0f;
}

// Point at `radius` from (cx, cy) in direction `angle` (0 = up, clockwise).
juce::Point<float> polar(float cx, float cy, float radius, float angle)
{
    return {cx + radius * std::sin(angle), cy - radius * std::cos(angle)};
}

// A black skirted knob with an aluminium cap and a white pointer, turned to `angle`.
void drawKnob(juce::Graphics& g, float cx, float cy, float size, float angle)
{
    const float skirt = size * 0.46f, cap = size * 0.31f;
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    g.fillEllipse(cx - skirt + 0.6f, cy - skirt + 1.4f, 2 * skirt, 2 * skirt);
    g.setGradientFill(juce::ColourGradient(juce::Colour(70, 70, 74), cx, cy - skirt, juce::Colour(14, 14, 16), cx,
                                           cy + skirt, false));
    g.fillEllipse(cx - skirt, cy - skirt, 2 * skirt, 2 * skirt);
    // The knurled rim turns with the knob.
    g.setColour(juce::Colour(95, 95, 100));
    for (int i = 0; i < 36; ++i)
    {
        const float a = angle + radians(10.0f * (float) i);
        g.drawLine(juce::Line<float>(polar(cx, cy, skirt * 0.80f, a), polar(cx, cy, skirt * 0.97f, a)), 0.45f);
    }
    g.setGradientFill(juce::ColourGradient(juce::Colour(236, 237, 240), cx - cap * 0.6f, cy - cap * 0.8f,
                                           juce::Colour(118, 120, 126), cx + cap * 0.6f, cy + cap, true));
    g.fillEllipse(cx - cap, cy - cap, 2 * cap, 2 * cap);
    g.setColour(juce::Colour(60, 60, 64));
    g.drawEllipse(cx - cap, cy - cap, 2 * cap, 2 * cap, 0.5f);
    g.setColour(juce::Colours::white);
    g.drawLine(juce::Line<float>(polar(cx, cy, cap * 1.05f, angle), polar(cx, cy, skirt * 0.95f, angle)), 1.6f);
    g.setColour(juce::Colour(30, 30, 34));
    g.drawLine(juce::Line<float>(polar(cx, cy, cap * 0.15f, angle), polar(cx, cy, cap * 0.85f, angle)), 1.0f);
}

juce::Image strip(float w, float h, int frames)
{
    return newImage(juce::roundToInt(w * kPixelsPerUnit), juce::roundToInt(h * kPixelsPerUnit) * frames);
}
} // namespace

juce::Image knobStrip(float size)
{
    auto image = strip(size, size, kKnobFrames);
    Canvas c(image, kPixelsPerUnit);
    for (int frame = 0; frame < kKnobFrames; ++frame)
    {
        const float position = (float) frame / (float) (kKnobFrames - 1);
        const float angle = radians(-kKnobSweepDegrees / 2 + kKnobSweepDegrees * position);
        drawKnob(c.g, size / 2, size * (float) frame + size / 2, size, angle);
    }
    return image;
}

juce::Image viewKnobStrip()
{
    const float size = kViewKnobSize;
    auto image = strip(size, size, kViewPositions);
    Canvas c(image, kPixelsPerUnit);
    for (int frame = 0; frame < kViewPositions; ++frame)
    {
        const float cx = size / 2, cy = size * (float) frame + size / 2;
        const float angle = radians(kViewStepDegrees * (float) frame);
        drawKnob(c.g, cx, cy, size * 0.86f, angle);
        // A pointer bar across the cap makes it read as a selector.
        juce::Path bar;
        bar.addRoundedRectangle(-2.2f, -size * 0.40f, 4.4f, size * 0.62f, 2.0f);
        c.g.setColour(juce::Colour(28, 28, 32));
        c.g.fillPath(bar, juce::AffineTransform::rotation(angle).translated(cx, cy));
        c.g.setColour(juce::Colour(255, 150, 40));
        c.g.drawLine(juce::Line<float>(polar(cx, cy, size * 0.12f, angle), polar(cx, cy, size * 0.38f, angle)), 1.2f);
    }
    return image;
}

juce::Image waveformSwitch()
{
    auto image = strip(kSwitchW, kSwitchH, 2);
    Canvas c(image, kPixelsPerUnit);
    for (int frame = 0; frame < 2; ++frame)
    {
        const auto slot = juce::Rectangle<float>(1.0f, kSwitchH * (float) frame + 2.0f, kSwitchW - 2.0f, kSwitchH - 4.0f);
        recessedWindow(c.g, slot, 2.0f, juce::Colour(20, 20, 22));
        auto lever = juce::Rectangle<float>(0, 0, kSwitchW * 0.5f, kSwitchH - 3.0f)
                         .withCentre({frame == 0 ? kSwitchW * 0.29f : kSwitchW * 0.71f, slot.getCentreY()});
        c.g.setGradientFill(juce::ColourGradient(juce::Colour(230, 231, 234), lever.getX(), lever.getY(),
                                                 juce::Colour(130, 132, 138), lever.getX(), lever.getBottom(), false));
        c.g.fillRoundedRectangle(lever, 1.5f);
        c.g.setColour(juce::Colour(80, 80, 86));
        for (int i = -1; i <= 1; ++i)
            c.g.drawVerticalLine(juce::roundToInt(lever.getCentreX() + 2.5f * (float) i), lever.getY() + 2.0f,
                                 lever.getBottom() - 2.0f);
        c.g.drawRoundedRectangle(lever, 1.5f, 0.5f);
    }
    return image;
}

juce::Image rocker()
{
    auto image = strip(kRockerW, kRockerH, 3);
    Canvas c(image, kPixelsPerUnit);
    for (int frame = 0; frame < 3; ++frame) // rest, upper pressed, lower pressed
    {
        const float top = kRockerH * (float) frame;
        const auto body = juce::Rectangle<float>(1.0f, top + 1.0f, kRockerW - 2.0f, kRockerH - 2.0f);
        recessedWindow(c.g, body, 2.5f, juce::Colour(16, 16, 18));
        for (int half = 0; half < 2; ++half)
        {
            const bool pressed = frame == half + 1;
            auto key = juce::Rectangle<float>(body.getX() + 1.5f, body.getY() + 1.5f + (float) half * (body.getHeight() / 2),
                                              body.getWidth() - 3.0f, body.getHeight() / 2 - 3.0f);
            if (pressed)
                key = key.reduced(0.6f);
            c.g.setGradientFill(juce::ColourGradient(pressed ? juce::Colour(120, 122, 128) : juce::Colour(215, 216, 220),
                                                     key.getX(), key.getY(), juce::Colour(110, 112, 118), key.getX(),
                                                     key.getBottom(), false));
            c.g.fillRoundedRectangle(key, 1.5f);
            juce::Path arrow;
            const float cx = key.getCentreX(), cy = key.getCentreY(), a = 3.0f;
            if (half == 0)
                arrow.addTriangle(cx - a, cy + a * 0.6f, cx + a, cy + a * 0.6f, cx, cy - a * 0.7f);
            else
                arrow.addTriangle(cx - a, cy - a * 0.6f, cx + a, cy - a * 0.6f, cx, cy + a * 0.7f);
            c.g.setColour(juce::Colour(35, 35, 40));
            c.g.fillPath(arrow);
        }
    }
    return image;
}
} // namespace skinimages
