#include "ui/pages/grid/CPatternDisplay.h"

#include "engine/Synth303.h"
#include "processor/PluginProcessor.h"
#include "ui/pages/grid/PatternGridGeometry.h"
#include "ui/window/PluginEditor.h"

using namespace oxn3::grid;

namespace
{
constexpr int kStatusTicks = 30;
const juce::Colour kBackground(64, 0, 0);
} // namespace

CPatternDisplay::CPatternDisplay(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : editor(editor_), image(image_)
{
    setRepaintsOnMouseActivity(false);
}

CPatternDisplay::~CPatternDisplay()
{
    delete image;
}

Vst303Pattern* CPatternDisplay::pattern() const
{
    return synth != nullptr ? &synth->activePattern() : nullptr;
}

juce::Point<int> CPatternDisplay::toDesign(juce::Point<int> pos) const
{
    return {static_cast<int>(pos.x / scale), static_cast<int>(pos.y / scale)};
}

void CPatternDisplay::showStep(int step)
{
    Vst303Pattern* p = pattern();
    if (editor == nullptr || p == nullptr)
        return;
    char pitch[step_t::kPitchTextSize];
    p->steps[step].getPitchText(pitch);
    editor->setPatchDisplayText(juce::String::formatted("Step: %d Pitch: %s", step + 1, pitch), kStatusTicks);
}

void CPatternDisplay::mouseMove(const juce::MouseEvent& e) { pointerMoved(e.getPosition()); }
void CPatternDisplay::mouseExit(const juce::MouseEvent&) { pointerLeft(); }
void CPatternDisplay::mouseDown(const juce::MouseEvent& e) { pointerPressed(e.getPosition()); }
void CPatternDisplay::mouseDrag(const juce::MouseEvent& e) { pointerDragged(e.getPosition(), e.mods); }
void CPatternDisplay::mouseUp(const juce::MouseEvent&) { dragStep = -1; }

void CPatternDisplay::pointerMoved(juce::Point<int> pos)
{
    glowTarget = 0;
    const int column = columnAt(toDesign(pos).x);
    if (!isStep(column))
        return;
    hoverStep = column;
    glowTarget = 1;
    showStep(column);
}

void CPatternDisplay::pointerLeft()
{
    glowTarget = 0;
    if (editor != nullptr)
        editor->statusState = 0;
}

void CPatternDisplay::pointerPressed(juce::Point<int> pos)
{
    Vst303Pattern* p = pattern();
    const auto d = toDesign(pos);
    const int column = columnAt(d.x);
    if (p == nullptr || !isStep(column))
        return;
    step_t& step = p->steps[column];
    switch (targetAt(d.y))
    {
    case kPitch:
        step.pitch = static_cast<std::int8_t>(pitchAt(d.y));
        dragStep = column;
        showStep(column);
        break;
    case kGate: step.set(step_t::kGate, !step.has(step_t::kGate)); break;
    case kAccent: step.set(step_t::kAccent, !step.has(step_t::kAccent)); break;
    case kSlide: step.set(step_t::kSlide, !step.has(step_t::kSlide)); break;
    case kOctave:
    {
        const std::uint8_t flag = isDownBox(d.x, column) ? step_t::kDown : step_t::kUp;
        step.set(flag, !step.has(flag));
        break;
    }
    case kNothing: break;
    }
}

// Shift sweeps the pitch across the columns passed; without it the pressed step keeps the drag.
void CPatternDisplay::pointerDragged(juce::Point<int> pos, juce::ModifierKeys mods)
{
    Vst303Pattern* p = pattern();
    if (p == nullptr)
        return;
    const auto d = toDesign(pos);
    int edited = dragStep;
    if (mods.isShiftDown())
    {
        edited = columnAt(d.x);
        hoverStep = edited;
    }
    if (!isStep(dragStep))
        return;
    if (isStep(edited))
        p->steps[edited].pitch = static_cast<std::int8_t>(pitchAt(d.y));
    dragStep = edited;
    repaint();
    if (isStep(edited))
        showStep(edited);
}

bool CPatternDisplay::takeGuiRefresh()
{
    if (editor == nullptr || editor->processor.guiRefresh == 0)
        return false;
    editor->processor.guiRefresh = 0;
    return true;
}

void CPatternDisplay::onIdle(bool tick)
{
    if (takeGuiRefresh())
        repaint();
    if (!tick)
        return;
    glow += (glowTarget - glow) * 0.5f;
    if (takeGuiRefresh())
        repaint();
    repaint();
}

void CPatternDisplay::draw_box_xy(float cx, float cy, float w, float h, bool on, juce::Graphics& g,
                                  juce::Colour onColour, juce::Colour offColour)
{
    const juce::Rectangle<float> r(cx - w / 2, cy - h / 2, w, h);
    g.setColour(on ? onColour : offColour);
    if (on)
        g.fillRect(r);
    else
        g.drawRect(r, 1.0f);
}

void CPatternDisplay::draw_lamp_xy(float cx, float cy, float w, float h, bool on, juce::Graphics& g,
                                   juce::Colour onColour, juce::Colour offColour)
{
    const juce::Rectangle<float> r(cx - w / 2, cy - h / 2, w, h);
    g.setColour(on ? onColour : offColour);
    if (on)
        g.fillEllipse(r);
    else
        g.drawEllipse(r, 1.0f);
}

void CPatternDisplay::paint(juce::Graphics& g)
{
    g.fillAll(kBackground);
    const Vst303Pattern* p = pattern();
    if (p == nullptr)
        return;
    const float s = scale;
    for (int i = 0; i < kSteps; ++i)
    {
        const float x = stepCentre(i) * s;
        const float hover = i == hoverStep ? 1.0f : 0.0f;
        const step_t& step = p->steps[i];

        g.setColour(juce::Colours::white.withAlpha(static_cast<juce::uint8>(hover != 0 ? glow * 50 + 100 : 100)));
        g.drawRect(juce::Rectangle<float>(x - 3 * s + 1, 15 * s, 3 * s, 74 * s), 1.0f);

        const juce::Rectangle<float> bar(x - 10 * s, 15 * s + (72 - 2 * step.pitch) * s - 2 * s, 20 * s, 4 * s);
        g.setColour(juce::Colours::black);
        g.fillRect(bar);
        g.setColour(juce::Colours::white.withAlpha(static_cast<juce::uint8>(hover * glow * 50 + 150)));
        g.drawRect(bar, 1.0f);

        const auto alpha = static_cast<juce::uint8>(hover * glow * 35 + 220);
        const juce::Colour on = juce::Colour(255, 0, 0).withAlpha(alpha);
        const juce::Colour off = juce::Colour(140, 140, 140).withAlpha(alpha);
        const float size = 7.5f * s;
        draw_box_xy(x - 5 * s, 101 * s, size, size, step.has(step_t::kDown), g, on, off);
        draw_box_xy(x + 5 * s, 101 * s, size, size, step.has(step_t::kUp), g, on, off);
        draw_lamp_xy(x, 6 * s, size, size, step.has(step_t::kGate), g, on, off);
        draw_lamp_xy(x, 115 * s, size, size, step.has(step_t::kAccent), g, on, off);
        draw_lamp_xy(x, 129 * s, size, size, step.has(step_t::kSlide), g, on, off);
    }
}
