#include "SkinArt.h"
#include "SkinImages.h"
#include "SwitchboardLayout.h"

using namespace skinart;
using namespace switchboardlayout;

// The classic front panel's picture: keys, function buttons and lamp sockets drawn exactly
// where the panel's push areas and lamps are, in panel units (622 x 133), four pixels per unit.
namespace skinimages
{
namespace
{
constexpr float kPanelW = 622.0f, kPanelH = 133.0f;
constexpr float kPanelPixelsPerUnit = 4.0f;
constexpr float kLampRadius = 3.4f;

// Captions in near-white on a thin dark shadow, so they read on the brushed metal at any scale.
const juce::Colour kPrint(246, 247, 250);
const juce::Colour kPrintShadow = juce::Colours::black.withAlpha(0.7f);
constexpr float kShadowOffset = 0.35f;

// Caption heights in panel units: as large as the room between keys, lamps and read-outs allows.
constexpr float kBelowKeyCaption = 8.6f;   // under the white and function keys
constexpr float kBelowBlackCaption = 7.6f; // under the black keys, above the white keys' lamps
constexpr float kAboveKeyCaption = 6.4f;
constexpr float kOnKeyCaption = 7.0f;
constexpr float kOnLargeKeyCaption = 8.4f;
constexpr float kOnSmallKeyCaption = 11.0f;
constexpr float kHeading = 7.6f;
constexpr float kSideCaption = 6.6f;

void printed(juce::Graphics& g, const juce::String& text, float cx, float top, float height)
{
    caption(g, text, cx + kShadowOffset, top + kShadowOffset, height, kPrintShadow);
    caption(g, text, cx, top, height, kPrint);
}

void printedLeft(juce::Graphics& g, const juce::String& text, float x, float top, float height)
{
    captionLeft(g, text, x + kShadowOffset, top + kShadowOffset, height, kPrintShadow);
    captionLeft(g, text, x, top, height, kPrint);
}

juce::Colour keyTop(Look look)
{
    switch (look)
    {
        case Look::whiteKey: return juce::Colour(236, 235, 228);
        case Look::blackKey: return juce::Colour(58, 58, 62);
        case Look::accentKey: return juce::Colour(236, 124, 40);
        case Look::functionKey:
        case Look::smallKey: break;
    }
    return juce::Colour(168, 170, 176);
}

// A small arrow for the shift and transpose keys: < > ^ v.
void arrow(juce::Graphics& g, juce::Rectangle<float> r, char direction)
{
    const float cx = r.getCentreX(), cy = r.getCentreY(), a = 2.6f;
    juce::Path p;
    if (direction == '<')
        p.addTriangle(cx + a * 0.7f, cy - a, cx + a * 0.7f, cy + a, cx - a, cy);
    else if (direction == '>')
        p.addTriangle(cx - a * 0.7f, cy - a, cx - a * 0.7f, cy + a, cx + a, cy);
    else if (direction == '^')
        p.addTriangle(cx - a, cy + a * 0.7f, cx + a, cy + a * 0.7f, cx, cy - a);
    else
        p.addTriangle(cx - a, cy - a * 0.7f, cx + a, cy - a * 0.7f, cx, cy + a);
    g.setColour(juce::Colour(30, 30, 34));
    g.fillPath(p);
}

void drawKey(juce::Graphics& g, const Key& k)
{
    const auto r = juce::Rectangle<float>(k.x, k.y, k.w, k.h);
    g.setColour(juce::Colours::black.withAlpha(0.6f));
    g.fillRoundedRectangle(r.translated(0.5f, 1.0f).expanded(0.5f), 1.8f);
    const auto top = keyTop(k.look);
    g.setGradientFill(juce::ColourGradient(top.brighter(0.15f), k.x, k.y, top.darker(0.25f), k.x, k.y + k.h, false));
    g.fillRoundedRectangle(r, 1.5f);
    g.setColour(top.darker(0.6f));
    g.drawRoundedRectangle(r.reduced(0.25f), 1.5f, 0.5f);

    const juce::String text(k.caption);
    if (text.length() == 1 && juce::String("<>^v").containsChar(text[0]))
    {
        arrow(g, r, k.caption[0]);
        return;
    }
    if (k.place == Place::onKey)
    {
        const float size = k.look == Look::smallKey ? kOnSmallKeyCaption
                           : k.h >= 30.0f           ? kOnLargeKeyCaption
                                                    : kOnKeyCaption;
        const auto ink = k.look == Look::blackKey ? kPrint : juce::Colour(16, 16, 20);
        caption(g, text, r.getCentreX(), r.getCentreY() - size / 2, size, ink);
    }
    else if (k.place == Place::below && k.look == Look::blackKey)
        printed(g, text, r.getCentreX(), r.getBottom() + 0.8f, kBelowBlackCaption);
    else if (k.place == Place::below)
        printed(g, text, r.getCentreX(), r.getBottom() + 1.8f, kBelowKeyCaption);
    else
        printed(g, text, r.getCentreX(), r.getY() - kAboveKeyCaption - 1.4f, kAboveKeyCaption);
}

void readout(juce::Graphics& g, juce::Rectangle<float> r, const char* label, float labelX, float labelY)
{
    recessedWindow(g, r, 1.5f, juce::Colour(6, 8, 10));
    printed(g, label, labelX, labelY, kSideCaption + 0.4f);
}
} // namespace

juce::Image switchboard()
{
    auto image = newImage((int) (kPanelW * kPanelPixelsPerUnit), (int) (kPanelH * kPanelPixelsPerUnit));
    brushedMetal(image, image.getBounds(), juce::Colour(54, 57, 63), 6, 120);
    Canvas c(image, kPanelPixelsPerUnit);
    auto& g = c.g;

    // Section lines: the keyboard, the pitch modifiers and the step controls.
    g.setColour(juce::Colour(110, 114, 122));
    g.drawLine(132.0f, 6.0f, 132.0f, 126.0f, 0.5f);
    g.drawLine(412.0f, 6.0f, 412.0f, 126.0f, 0.5f);
    g.drawLine(558.0f, 6.0f, 558.0f, 126.0f, 0.5f);
    printed(g, "PITCH", 272.0f, 3.5f, kHeading);
    printed(g, "TRANSPOSE", 33.5f, 32.2f, kSideCaption);
    printedLeft(g, "SHIFT", 54.5f, 50.2f, kSideCaption);
    printed(g, "PATTERN", 447.5f, 3.5f, kHeading);
    printed(g, "STEP", 590.0f, 113.8f, kBelowKeyCaption);

    auto box = [](const float (&r)[4]) { return juce::Rectangle<float>(r[0], r[1], r[2], r[3]); };
    readout(g, box(kLengthReadout), "LENGTH", 97.0f, 62.6f);
    readout(g, box(kStepReadout), "", 0.0f, 0.0f);

    for (const auto& k : kKeys)
        drawKey(g, k);
    for (const auto& lamp : kLamps)
        lampSocket(g, lamp[0] - 2.5f, lamp[1], kLampRadius);

    g.setColour(juce::Colours::black.withAlpha(0.8f));
    g.drawRoundedRectangle(0.5f, 0.5f, kPanelW - 1.0f, kPanelH - 1.0f, 3.0f, 1.0f);
    return image;
}
} // namespace skinimages
