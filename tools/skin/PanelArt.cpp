#include "SkinArt.h"
#include "SkinImages.h"

using namespace skinart;

namespace skinimages
{
namespace
{
constexpr float kDesignW = 754.0f, kDesignH = 276.0f;
const juce::Colour kInk(24, 24, 28);
const juce::Colour kOrange(240, 120, 30);
constexpr float kPi = juce::MathConstants<float>::pi;

juce::Point<float> polar(float cx, float cy, float radius, float degrees)
{
    const float a = degrees * kPi / 180.0f;
    return {cx + radius * std::sin(a), cy - radius * std::cos(a)};
}

void knobScale(juce::Graphics& g, const KnobPlace& k)
{
    const float cx = k.x + k.size / 2, cy = k.y + k.size / 2, r = k.size / 2;
    g.setColour(kInk);
    for (int i = 0; i <= 10; ++i)
    {
        const float degrees = -kKnobSweepDegrees / 2 + kKnobSweepDegrees * (float) i / 10.0f;
        const bool major = i % 5 == 0;
        g.drawLine(juce::Line<float>(polar(cx, cy, r + 1.0f, degrees), polar(cx, cy, r + (major ? 4.5f : 3.2f), degrees)),
                   major ? 0.9f : 0.6f);
    }
    caption(g, k.caption, cx, k.y + k.size + 5.0f, 6.5f, kInk);
}

void viewKnobLegend(juce::Graphics& g)
{
    static const char* names[kViewPositions] = {"CLASSIC", "PATTERN", "ANALYZER", "RANDOM", "SETUP"};
    const float cx = kViewKnobX + kViewKnobSize / 2, cy = kViewKnobY + kViewKnobSize / 2;
    for (int i = 0; i < kViewPositions; ++i)
    {
        const float degrees = kViewStepDegrees * (float) i;
        const auto dot = polar(cx, cy, kViewKnobSize / 2 + 2.5f, degrees);
        g.setColour(kInk);
        g.fillEllipse(dot.x - 1.0f, dot.y - 1.0f, 2.0f, 2.0f);
        const auto at = polar(cx, cy, kViewKnobSize / 2 + 6.0f, degrees);
        if (i == 0)
            caption(g, names[i], at.x, at.y - 6.0f, 5.5f, kInk);
        else if (i == kViewPositions - 1)
            caption(g, names[i], at.x, at.y, 5.5f, kInk);
        else
            captionLeft(g, names[i], at.x, at.y - 2.75f, 5.5f, kInk);
    }
}

void waveformLegend(juce::Graphics& g)
{
    const float y0 = kSwitchY + 3.0f, y1 = kSwitchY + kSwitchH - 3.0f;
    juce::Path saw;
    const float sx = kSwitchX - 12.0f;
    saw.startNewSubPath(sx, y1);
    saw.lineTo(sx + 4.0f, y0);
    saw.lineTo(sx + 4.0f, y1);
    saw.lineTo(sx + 8.0f, y0);
    saw.lineTo(sx + 8.0f, y1);
    juce::Path square;
    const float qx = kSwitchX + kSwitchW + 3.0f;
    square.startNewSubPath(qx, y1);
    square.lineTo(qx, y0);
    square.lineTo(qx + 4.0f, y0);
    square.lineTo(qx + 4.0f, y1);
    square.lineTo(qx + 8.0f, y1);
    square.lineTo(qx + 8.0f, y0);
    g.setColour(kInk);
    g.strokePath(saw, juce::PathStrokeType(0.9f));
    g.strokePath(square, juce::PathStrokeType(0.9f));
    caption(g, "WAVEFORM", kSwitchX + kSwitchW / 2, kSwitchY + kSwitchH + 1.5f, 5.5f, kInk);
}

void logoBadge(juce::Graphics& g)
{
    // Inside the clickable logo area (20..104, 55..98).
    const auto badge = juce::Rectangle<float>(23.0f, 58.0f, 78.0f, 37.0f);
    recessedWindow(g, badge, 3.0f, juce::Colour(22, 23, 26));
    caption(g, "OXN3", badge.getCentreX(), badge.getY() + 4.0f, 24.0f, juce::Colours::white);
    g.setColour(kOrange);
    g.fillRect(badge.getX() + 8.0f, badge.getBottom() - 7.0f, badge.getWidth() - 16.0f, 1.6f);
}
} // namespace

juce::Image background()
{
    auto image = newImage((int) (kDesignW * kPixelsPerUnit), (int) (kDesignH * kPixelsPerUnit));
    brushedMetal(image, image.getBounds(), juce::Colour(194, 196, 200), 9, 303);
    Canvas c(image, kPixelsPerUnit);
    auto& g = c.g;

    // The dark screen behind the pages (page rectangle 66, 130, 622, 133 and the taller step table).
    recessedWindow(g, {63.5f, 127.5f, 627.0f, 141.0f}, 4.0f, juce::Colour(10, 12, 15));
    // The display window behind the status line and the pattern number.
    recessedWindow(g, {240.0f, 3.0f, 272.0f, 31.0f}, 2.5f, juce::Colour(22, 20, 10));

    for (const auto& k : kKnobs)
        knobScale(g, k);
    viewKnobLegend(g);
    waveformLegend(g);
    logoBadge(g);

    captionLeft(g, "Quellbrook", 20.0f, 8.0f, 15.0f, kInk);
    captionLeft(g, "BASS LINE SYNTHESIZER & SEQUENCER", 21.0f, 25.0f, 5.5f, kInk, false);
    g.setColour(kOrange);
    g.fillRect(21.0f, 33.0f, 110.0f, 1.4f);

    caption(g, "PATTERN", kRockerX + kRockerW / 2, kRockerY + kRockerH + 1.5f, 5.0f, kInk);
    lampSocket(g, 570.9f, 19.0f, 3.5f);
    caption(g, "MIDI", 570.9f, 25.5f, 5.0f, kInk);

    g.setColour(kInk);
    g.setFont(boldFont(11.0f));
    g.drawText("OXN3", juce::Rectangle<float>(590.0f, 7.0f, 146.0f, 12.0f), juce::Justification::centredRight, false);
    g.setFont(plainFont(5.0f));
    g.drawText("MONOPHONIC BASS SYNTHESIZER", juce::Rectangle<float>(590.0f, 20.0f, 146.0f, 6.0f),
               juce::Justification::centredRight, false);
    g.drawText("64-STEP PATTERN SEQUENCER", juce::Rectangle<float>(590.0f, 26.0f, 146.0f, 6.0f),
               juce::Justification::centredRight, false);

    screw(g, 8.0f, 8.0f, 3.2f, 0.4f);
    screw(g, 746.0f, 8.0f, 3.2f, 1.3f);
    screw(g, 8.0f, 268.0f, 3.2f, 2.2f);
    screw(g, 746.0f, 268.0f, 3.2f, 0.9f);
    return image;
}

juce::Image overlay()
{
    auto image = newImage((int) (kDesignW * kPixelsPerUnit), (int) (kDesignH * kPixelsPerUnit));
    Canvas c(image, kPixelsPerUnit);
    auto& g = c.g;
    // A faint sheen from above and shade towards the lower edge, as light falls on a front panel.
    g.setGradientFill(juce::ColourGradient(juce::Colours::white.withAlpha(0.16f), 0, 0,
                                           juce::Colours::white.withAlpha(0.0f), 0, 70.0f, false));
    g.fillRect(0.0f, 0.0f, kDesignW, 70.0f);
    g.setGradientFill(juce::ColourGradient(juce::Colours::black.withAlpha(0.0f), 0, 230.0f,
                                           juce::Colours::black.withAlpha(0.16f), 0, kDesignH, false));
    g.fillRect(0.0f, 230.0f, kDesignW, kDesignH - 230.0f);
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    g.drawRect(0.0f, 0.0f, kDesignW, kDesignH, 0.8f);
    return image;
}

juce::Image sticker()
{
    auto image = newImage((int) (kStickerW * kPixelsPerUnit), (int) (kStickerH * kPixelsPerUnit));
    Canvas c(image, kPixelsPerUnit);
    auto& g = c.g;
    g.addTransform(juce::AffineTransform::rotation(-0.07f, kStickerW / 2, kStickerH / 2));
    const auto label = juce::Rectangle<float>(6.0f, 8.0f, kStickerW - 12.0f, kStickerH - 16.0f);
    g.setColour(juce::Colours::black.withAlpha(0.3f));
    g.fillRoundedRectangle(label.translated(1.0f, 1.5f), 5.0f);
    g.setColour(juce::Colour(252, 212, 36));
    g.fillRoundedRectangle(label, 5.0f);
    g.setColour(kInk);
    g.drawRoundedRectangle(label.reduced(2.0f), 4.0f, 0.8f);
    caption(g, "ACID", label.getCentreX(), label.getY() + 5.0f, 19.0f, kInk);
    caption(g, "HAND TUNED", label.getCentreX(), label.getY() + 26.0f, 7.0f, kInk);
    return image;
}

juce::Image logo()
{
    auto image = newImage(520, 240);
    Canvas c(image, kPixelsPerUnit);
    auto& g = c.g;
    g.setColour(juce::Colours::white);
    g.setFont(boldFont(70.0f));
    g.drawText("OXN3", juce::Rectangle<float>(12.0f, 12.0f, 240.0f, 70.0f), juce::Justification::centredLeft, false);
    g.setColour(kOrange);
    g.fillRect(14.0f, 84.0f, 200.0f, 2.5f);
    g.setColour(juce::Colours::white);
    g.setFont(plainFont(16.0f));
    g.drawText("Quellbrook", juce::Rectangle<float>(14.0f, 90.0f, 240.0f, 18.0f), juce::Justification::centredLeft,
               false);
    return image;
}
} // namespace skinimages
