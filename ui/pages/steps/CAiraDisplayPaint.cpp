// Paint of the step table: the three buttons, the row labels, the cells with their markers, the
// pitch bars of the pitch-bar view, and the page thumb.
#include <algorithm>
#include <cstdio>

#include "engine/Synth303.h"
#include "ui/pages/steps/CAiraDisplay.h"
#include "ui/framework/CaptionFit.h"

using namespace oxn3::aira;

namespace
{
const char* const kRowLabels[kRows] = {"Step", "Pitch", "Gate", "Down", "Up", "Accent", "Slide"};
const juce::Colour kLabelBack(34, 36, 40);
const juce::Colour kLabelText(154, 162, 180);
const juce::Colour kThumb(129, 135, 150);
const juce::Colour kRecordMarker(219, 0, 0);
const juce::Colour kPlayMarker(154, 229, 180);
const juce::Colour kLengthMarker(0, 180, 255);

// The page's blue-tinted grey of brightness b.
juce::Colour grey(int b)
{
    return juce::Colour(static_cast<juce::uint8>(static_cast<int>(0.86 * b) & 255),
                        static_cast<juce::uint8>(static_cast<int>(0.9 * b) & 255),
                        static_cast<juce::uint8>(b & 255));
}

void fillTriangle(juce::Graphics& g, float x1, float y1, float x2, float y2, float x3, float y3)
{
    juce::Path path;
    path.addTriangle(x1, y1, x2, y2, x3, y3);
    g.fillPath(path);
}

juce::Rectangle<float> scaled(float x, float y, float w, float h, float s)
{
    return {x * s, y * s, w * s, h * s};
}
} // namespace

void CAiraDisplay::paint(juce::Graphics& g)
{
    if (synth == nullptr)
        return;
    const Vst303Pattern& p = synth->activePattern();
    paintButtons(g, p);
    for (int row = 0; row < kRows; ++row)
        paintRow(g, p, row);
    g.setColour(hoverZone == kZoneThumb ? grey(static_cast<int>(hoverGlow * 50 + 150)) : kThumb);
    g.fillRect(thumbRect());
}

void CAiraDisplay::paintButtons(juce::Graphics& g, const Vst303Pattern& p)
{
    const float s = scale;
    auto buttonColour = [this](int zone) {
        return grey(hoverZone == zone ? static_cast<int>(hoverGlowTarget * 30 + 150) : 150);
    };

    g.setColour(buttonColour(kZoneRunStop));
    g.fillRoundedRectangle(runStopRect, 3 * s);
    g.setColour(juce::Colours::black);
    const auto centre = runStopRect.getCentre();
    if (synth->running != 0)
    {
        const float inset = std::min(14 * s, runStopRect.getWidth() / 2);
        g.fillRect(runStopRect.reduced(inset));
    }
    else
        fillTriangle(g, centre.x - 5.25f * s, centre.y - 7.5f * s, centre.x + 9.75f * s, centre.y,
                     centre.x - 5.25f * s, centre.y + 7.5f * s);

    clearRect = scaled(3, 47, 40, 40, s);
    g.setColour(buttonColour(kZoneClear));
    g.fillRoundedRectangle(clearRect, 3 * s);
    g.setColour(juce::Colours::black);
    const auto c = clearRect.getCentre();
    g.drawLine(c.x - 10 * s, c.y - 10 * s, c.x + 10 * s, c.y + 10 * s, 4 * s);
    g.drawLine(c.x - 10 * s, c.y + 10 * s, c.x + 10 * s, c.y - 10 * s, 4 * s);

    lengthRect = scaled(3, 92, 40, 40, s);
    g.setColour(buttonColour(kZoneLength));
    g.fillRoundedRectangle(lengthRect, 3 * s);
    g.setColour(juce::Colours::black);
    g.setFont(juce::Font(16 * s, juce::Font::bold));
    char text[16];
    std::snprintf(text, sizeof(text), "%2d", p.getLength());
    g.drawText(text, lengthRect, juce::Justification::centred, true);
}

void CAiraDisplay::paintRow(juce::Graphics& g, const Vst303Pattern& p, int row)
{
    const float s = scale;
    const double fade = std::clamp(pitchBarFade, 0.0, 1.0);
    float offset = row * rowHeight;
    if (row >= 2)
        offset += static_cast<int>(fade * 100); // in double: the ninth tick of 0.1 steps is 89, not 90

    const auto label = scaled(originX - 50, originY + 2 + offset, 50, cellBoxHeight + 4, s);
    g.setColour(kLabelBack);
    g.fillRoundedRectangle(label, 1);
    g.setColour(kLabelText);
    g.setFont(juce::Font(12 * s));
    oxn3::drawCaption(g, kRowLabels[row], label, juce::Justification::centred);

    if (row == 1)
    {
        // The view switch: points right in the table view, down in the pitch-bar view.
        juce::Path arrow;
        arrow.addTriangle(-3 * s, -3 * s, 3 * s, 0, -3 * s, 3 * s);
        const float turn = static_cast<float>(fade) * juce::MathConstants<float>::halfPi;
        arrow.applyTransform(juce::AffineTransform::rotation(turn, -1, 0)
                                 .translated(label.getRight() - 5 * s, label.getCentreY() + s));
        g.fillPath(arrow);
    }
    if (row >= 2 && pitchBarView != 0 && pitchBarFade >= 1.0)
        return;

    g.setColour(kLabelBack);
    g.fillRoundedRectangle(scaled(originX + 2, originY + 2 + offset, 16 * columnWidth + 3, cellBoxHeight + 4, s), 1);
    for (int column = 0; column < kColumns; ++column)
        paintCell(g, p, row, column, offset);
}

void CAiraDisplay::paintCell(juce::Graphics& g, const Vst303Pattern& p, int row, int column, float offset)
{
    const float s = scale;
    const int k = pageOffset + column;
    const int length = p.getLength();
    const bool beyond = k >= length;
    const step_t& step = p.steps[k];
    const auto box = scaled(originX + 5 + column * columnWidth, originY + 4 + offset, cellBoxWidth, cellBoxHeight, s);

    int b = (column == cellColumn && row == cellRow) ? static_cast<int>(hoverGlow * 60 + 140) : 140;
    if (beyond)
        b /= 2;

    if (row >= 1)
    {
        g.setColour(grey(b));
        if (row >= 2 && step.has(kRowFlag[row]) && pitchBarFade < 1.0)
            g.fillRoundedRectangle(box, 2);
        g.drawRoundedRectangle(box, 2, LINE_THICKNESS);
    }
    if (row == 0)
    {
        char text[16];
        std::snprintf(text, sizeof(text), "%02d", k + 1);
        g.setColour(grey(k % 4 == 0 ? 240 : 150));
        g.drawText(text, box, juce::Justification::centred, true);
        const float x = box.getX(), y = box.getY();
        const bool recording = synth->stepRecord != 0;
        if (k == (recording ? synth->editStep : synth->playStep))
        {
            g.setColour(recording ? kRecordMarker : kPlayMarker);
            fillTriangle(g, x + 6 * s, y + 6 * s, x - 2 * s, y + 3 * s, x - 2 * s, y + 10 * s);
        }
        if (k == length - 1)
        {
            g.setColour(kLengthMarker);
            fillTriangle(g, x + (cellBoxWidth - 6) * s, y + 6 * s, x + (cellBoxWidth + 2) * s, y + 3 * s,
                         x + (cellBoxWidth + 2) * s, y + 10 * s);
        }
    }
    if (row != 1)
        return;

    char name[step_t::kPitchTextSize];
    step.getPitchTextIgnoreUpDown(name);
    g.setColour(grey(beyond ? 120 : 240));
    g.drawText(name, box, juce::Justification::centred, true);
    if (pitchBarFade <= 0)
        return;

    const int divide = beyond ? 2 : 1;
    const float bottom = box.getBottom();
    g.setColour(grey(static_cast<int>(pitchBarFade * 100) / divide));
    g.drawRect(juce::Rectangle<float>(box.getCentreX() - s, bottom + 8 * s, 4 * s, 80 * s), 1.0f);
    const juce::Rectangle<float> handle(box.getX() + 5 * s, bottom + 84 * s - 1.6f * (step.pitch + 12) * s,
                                        (cellBoxWidth - 8) * s, 4 * s);
    g.setColour(juce::Colours::black);
    g.fillRect(handle);
    g.setColour(grey(static_cast<int>(pitchBarFade * 200) / divide));
    g.drawRect(handle, 1.0f);
}
