#include "SkinArt.h"
#include "SkinImages.h"

using namespace skinart;

// The classic front panel's picture: keys, function buttons and lamp sockets drawn exactly
// where the panel's push areas and lamps are, in panel units (622 x 133), four pixels per unit.
namespace skinimages
{
namespace
{
constexpr float kPanelW = 622.0f, kPanelH = 133.0f;
constexpr float kPanelPixelsPerUnit = 4.0f;
constexpr float kLampRadius = 3.4f;

enum class Look
{
    whiteKey,
    blackKey,
    functionKey,
    accentKey,
    smallKey
};

// How the caption sits: printed on the key, below it or above it.
enum class Place
{
    onKey,
    below,
    above
};

struct Key
{
    float x, y, w, h;
    Look look;
    const char* caption;
    Place place;
};

// The push areas of the classic panel in their table order.
constexpr Key kKeys[] = {
    {141, 82, 15, 30, Look::whiteKey, "C", Place::below},
    {158, 30, 15, 30, Look::blackKey, "C#", Place::below},
    {176, 82, 15, 30, Look::whiteKey, "D", Place::below},
    {193, 30, 15, 30, Look::blackKey, "D#", Place::below},
    {211, 82, 15, 30, Look::whiteKey, "E", Place::below},
    {246, 82, 15, 30, Look::whiteKey, "F", Place::below},
    {263, 30, 15, 30, Look::blackKey, "F#", Place::below},
    {281, 82, 15, 30, Look::whiteKey, "G", Place::below},
    {298, 30, 15, 30, Look::blackKey, "G#", Place::below},
    {316, 82, 15, 30, Look::whiteKey, "A", Place::below},
    {333, 30, 15, 30, Look::blackKey, "A#", Place::below},
    {351, 82, 15, 30, Look::whiteKey, "B", Place::below},
    {387, 82, 15, 30, Look::whiteKey, "C", Place::below},
    {423, 82, 15, 30, Look::functionKey, "DOWN", Place::below},
    {458, 82, 15, 30, Look::functionKey, "UP", Place::below},
    {493, 82, 15, 30, Look::functionKey, "ACCENT", Place::below},
    {529, 82, 15, 30, Look::functionKey, "SLIDE", Place::below},
    {501, 30, 30, 15, Look::functionKey, "GATE", Place::onKey},
    {575, 41, 30, 15, Look::functionKey, "BACK", Place::onKey},
    {568, 82, 45, 30, Look::functionKey, "NEXT", Place::onKey},
    {19, 14, 30, 15, Look::functionKey, "CLEAR", Place::onKey},
    {11, 82, 45, 30, Look::accentKey, "RUN/STOP", Place::onKey},
    {82, 14, 30, 15, Look::functionKey, "RANDOM", Place::onKey},
    {72, 71, 15, 15, Look::smallKey, "-", Place::onKey},
    {107, 71, 15, 15, Look::smallKey, "+", Place::onKey},
    {82, 41, 30, 15, Look::functionKey, "ALTER", Place::onKey},
    {423, 15, 15, 30, Look::functionKey, "COPY", Place::below},
    {457, 15, 15, 30, Look::functionKey, "PASTE", Place::below},
    {14, 47, 14, 13, Look::smallKey, "<", Place::onKey},
    {39, 47, 14, 13, Look::smallKey, ">", Place::onKey},
    {92, 100, 30, 15, Look::functionKey, "AUTO", Place::onKey},
    {27, 42, 13, 12, Look::smallKey, "^", Place::onKey},
    {27, 53, 13, 12, Look::smallKey, "v", Place::onKey},
    {575, 14, 30, 15, Look::functionKey, "STEP REC", Place::above},
};

// Lamp centres in lamp number order; the panel draws each lamp 2.5 units left of its entry.
constexpr float kLamps[21][2] = {
    {151, 74}, {168, 22}, {186, 74}, {203, 22}, {221, 74}, {256, 74}, {273, 22}, {291, 74}, {308, 22}, {326, 74},
    {343, 22}, {361, 74}, {397, 74}, {433, 74}, {468, 74}, {503, 74}, {539, 74}, {519, 22}, {36, 74}, {84, 107},
    {592, 21},
};

const juce::Colour kPrint(225, 228, 235);

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
    const float size = k.look == Look::smallKey ? 9.0f : 5.2f;
    if (k.place == Place::onKey)
    {
        const auto ink = k.look == Look::blackKey ? kPrint : juce::Colour(28, 28, 32);
        caption(g, text, r.getCentreX(), r.getCentreY() - size / 2, size, ink);
    }
    else if (k.place == Place::below)
        caption(g, text, r.getCentreX(), r.getBottom() + 2.0f, 5.6f, kPrint);
    else
        caption(g, text, r.getCentreX(), r.getY() - 7.5f, 5.2f, kPrint);
}

void readout(juce::Graphics& g, juce::Rectangle<float> r, const char* label, float labelX, float labelY)
{
    recessedWindow(g, r, 1.5f, juce::Colour(6, 8, 10));
    caption(g, label, labelX, labelY, 5.2f, kPrint);
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
    caption(g, "PITCH", 272.0f, 4.0f, 6.0f, kPrint);
    caption(g, "TRANSPOSE", 33.5f, 33.5f, 4.6f, kPrint);
    captionLeft(g, "SHIFT", 55.0f, 51.2f, 4.6f, kPrint);
    caption(g, "PATTERN", 447.5f, 4.0f, 6.0f, kPrint);
    caption(g, "STEP", 590.0f, 124.0f, 5.2f, kPrint);

    readout(g, {86.5f, 72.0f, 20.0f, 14.0f}, "LENGTH", 97.0f, 62.5f);
    readout(g, {575.5f, 59.0f, 29.0f, 16.0f}, "", 0.0f, 0.0f);

    for (const auto& k : kKeys)
        drawKey(g, k);
    for (const auto& lamp : kLamps)
        lampSocket(g, lamp[0] - 2.5f, lamp[1], kLampRadius);

    g.setColour(juce::Colours::black.withAlpha(0.8f));
    g.drawRoundedRectangle(0.5f, 0.5f, kPanelW - 1.0f, kPanelH - 1.0f, 3.0f, 1.0f);
    return image;
}
} // namespace skinimages
