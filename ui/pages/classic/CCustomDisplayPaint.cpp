#include <cmath>

#include "engine/Synth303.h"
#include "processor/PluginProcessor.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/window/PluginEditor.h"
#include "ui/pages/classic/SimplexDraw.h"

using namespace classicpanel;

namespace
{
constexpr float kImageOpacity = 0.9f;
constexpr float kSkinOversampling = 0.25f; // the skin picture holds four pixels per panel unit
constexpr float kLampRadius = 3.4f;
constexpr float kLampOffsetX = 2.5f;
constexpr float kReadOutLineWidth = 1.5f;
constexpr int kDigitGlyph = 16; // glyph of '0'
constexpr int kStepRecordLamp = 20;
constexpr int kFaceCount = 10;

const juce::Colour kBoxOutline(80, 80, 80);
const juce::Colour kPressedOutline(160, 160, 255);
const juce::Colour kLearnFill(juce::uint8(50), 50, 50, juce::uint8(155));
const juce::Colour kUnlitLamp(140, 140, 140);
const juce::Colour kStepColour(255, 255, 0);
const juce::Colour kStepRecordColour(255, 0, 0);
const juce::Colour kLengthColour(0, 200, 255);
const juce::Colour kFaceColour(250, 250, 0);

int trunc(float v)
{
    return static_cast<int>(v);
}
} // namespace

void CCustomDisplay::paint(juce::Graphics& g)
{
    if (image != nullptr && image->isValid())
    {
        g.setOpacity(kImageOpacity);
        g.drawImage(*image, 0, 0, trunc(static_cast<float>(image->getWidth()) * scale * kSkinOversampling),
                    trunc(static_cast<float>(image->getHeight()) * scale * kSkinOversampling), 0, 0,
                    image->getWidth(), image->getHeight());
        g.setOpacity(1.0f);
    }
    for (int i = 0; i < kButtonCount; ++i)
    {
        g.setColour(kBoxOutline);
        g.drawRect(buttonBox(i, scale), 1);
    }
    paintLearnLabels(g);
    if (pressedIndex >= 0 && pressedIndex < kButtonCount)
    {
        g.setColour(kPressedOutline);
        g.drawRect(buttonBox(pressedIndex, scale), 1);
    }
    if (synth == nullptr)
        return;

    const Vst303Pattern& pattern = synth->activePattern();
    const step_t& step = pattern.steps[juce::jlimit(0, Vst303Pattern::kMaxSteps - 1, synth->editStep)];
    paintPitchLamps(g, step);
    paintFunctionLamps(g, step);
    if (chaseFrame >= 0 && chaseFrame < kChaseLength)
    {
        const int lamp = lampAnimation[chaseFrame];
        draw_lamp(lamp, 1, g, chaseColour(lamp));
    }
    if (!synth->stepRecord)
        draw_lamp(kStepRecordLamp, 0, g, kStepRecordColour);
    else if (frameCounter % 10 >= 6)
        draw_lamp(kStepRecordLamp, 1, g, kStepRecordColour);

    paintReadOut(g, synth->editStep + 1, {580, 73}, {590, 73}, 0.5f,
                 synth->stepRecord ? kStepRecordColour : kStepColour);
    paintReadOut(g, pattern.getStepCount(), {89, 83}, {96, 83}, 0.41f, kLengthColour);
    if (hiddenAnimationWanted(pattern))
        paintFaces(g);
}

void CCustomDisplay::paintLearnLabels(juce::Graphics& g)
{
    if (editor == nullptr || !editor->processor.midiLearnActive)
        return;
    g.setFont(juce::Font(10.0f * scale));
    for (int i = 0; i < kButtonCount; ++i)
    {
        const juce::Rectangle<int> box = buttonBox(i, scale);
        g.setColour(kLearnFill);
        g.fillRect(box);
        const int key = editor->processor.LookupMidiKey(buttonlist[i].tag);
        g.setColour(juce::Colours::white);
        g.drawText(key < 0 ? juce::String("-") : juce::String(key), box, juce::Justification::centred, false);
    }
}

void CCustomDisplay::paintPitchLamps(juce::Graphics& g, const step_t& step)
{
    const std::array<Lamp, 13> pitch = pitchLamps(step.pitch);
    for (int k = 0; k < 13; ++k)
        if (pitch[static_cast<size_t>(k)].drawn)
            draw_lamp(k, pitch[static_cast<size_t>(k)].lit ? 1 : 0, g, pitch[static_cast<size_t>(k)].colour);
}

void CCustomDisplay::paintFunctionLamps(juce::Graphics& g, const step_t& step)
{
    const juce::Colour white = juce::Colours::white;
    draw_lamp(13, step.has(step_t::kDown), g, white);
    draw_lamp(14, step.has(step_t::kUp), g, white);
    draw_lamp(15, step.has(step_t::kAccent), g, white);
    draw_lamp(16, step.has(step_t::kSlide), g, white);
    draw_lamp(17, step.has(step_t::kGate), g, white);
    draw_lamp(18, synth->running != 0, g, white);
    draw_lamp(19, synth->autoAdvance != 0, g, white);
}

// Two digits, the tens always drawn (01..64).
void CCustomDisplay::paintReadOut(juce::Graphics& g, int value, juce::Point<float> tens, juce::Point<float> ones,
                                  float size, juce::Colour colour)
{
    const int v = juce::jlimit(0, 99, value);
    draw_simplex(tens * scale, kDigitGlyph + v / 10, kReadOutLineWidth, colour, size * scale, g);
    draw_simplex(ones * scale, kDigitGlyph + v % 10, kReadOutLineWidth, colour, size * scale, g);
}

void CCustomDisplay::draw_lamp(int lamp, int lit, juce::Graphics& g, juce::Colour colour)
{
    if (lamp < 0 || lamp >= kLampCount)
        return;
    const float cx = (lamps[lamp].x - kLampOffsetX) * scale;
    const float cy = lamps[lamp].y * scale;
    const float r = kLampRadius * scale;
    if (lit)
    {
        g.setColour(colour);
        g.fillEllipse(cx - r, cy - r, 2 * r, 2 * r);
        return;
    }
    g.setColour(kUnlitLamp);
    g.drawEllipse(cx - r, cy - r, 2 * r, 2 * r, LINE_THICKNESS);
}

// Smiling faces travelling right to left on a wave.
void CCustomDisplay::paintFaces(juce::Graphics& g)
{
    const float s = scale;
    const float t = static_cast<float>(frameCounter % 400);
    for (int i = 0; i < kFaceCount; ++i)
    {
        const float cx = static_cast<float>(getWidth()) + 200.0f * static_cast<float>(i) * s - 10.0f * t * s;
        const float cy = std::sin(-0.1f * t + 0.01f * cx) * 15.0f * s + static_cast<float>(getHeight() / 2);
        g.setColour(kFaceColour);
        g.fillEllipse(cx - 35.0f * s, cy - 35.0f * s, 70.0f * s, 70.0f * s);
        g.setColour(juce::Colours::black);
        g.fillEllipse(cx - 12 * s, cy + 8 * s, 25 * s, 15 * s);
        g.setColour(kFaceColour);
        g.fillEllipse(cx - 15 * s, cy + 3 * s, 30 * s, 15 * s);
        g.setColour(juce::Colours::black);
        g.fillEllipse(cx - 17 * s, cy - 17 * s, 5 * s, 15 * s);
        g.fillEllipse(cx + 13 * s, cy - 17 * s, 5 * s, 15 * s);
    }
}
