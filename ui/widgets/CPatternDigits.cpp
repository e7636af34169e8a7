#include "ui/widgets/CPatternDigits.h"

#include "engine/Synth303.h"
#include "processor/PluginProcessor.h"
#include "ui/widgets/DisplayRules.h"
#include "ui/window/PluginEditor.h"

CPatternDigits::CPatternDigits(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : MyCustomDisplay(image_, editor_)
{
    scale = 1.0f;
}

CPatternDigits::~CPatternDigits() = default;

Synth303* CPatternDigits::engine() const
{
    if (synth != nullptr) return synth;
    return editor != nullptr ? editor->synth : nullptr;
}

void CPatternDigits::setText(juce::String t)
{
    if (t == text) return;
    text = t;
    repaint();
}

void CPatternDigits::getMidiNoteText(char* out, int note)
{
    oxn3::midiNoteText(out, note);
}

void CPatternDigits::updatePatchDisplay()
{
    Synth303* s = engine();
    if (s == nullptr || editor == nullptr) return;
    char line[64];
    oxn3::patternStatusText(line, sizeof(line), s->currentPattern);
    editor->setPatchDisplayText(line, 50);
}

void CPatternDigits::press(int x, int y)
{
    pressZone = -1;
    Synth303* s = engine();
    switch (oxn3::digitsZone(x, getWidth(), scale))
    {
    case 0:
        if (s != nullptr) s->setRunStop(!s->running);
        pressZone = 0;
        break;
    case 2:
        if (editor != nullptr)
        {
            int& lock = editor->processor.PatternLock;
            lock = lock == 0 ? 1 : 0;
            repaint();
            editor->setPatchDisplayText(lock ? "Pattern Lock: On" : "Pattern Lock: Off", 50);
        }
        pressZone = 2;
        break;
    default:
        startPattern = s != nullptr ? s->currentPattern : 0;
        lastY = y;
        updatePatchDisplay();
        pressZone = 1;
        break;
    }
}

void CPatternDigits::drag(int y)
{
    Synth303* s = engine();
    if (pressZone != 1 || s == nullptr) return;
    startPattern = s->currentPattern;
    s->currentPattern = oxn3::dragPattern(s->currentPattern, y, lastY);
    updatePatchDisplay();
    lastY = y;
}

void CPatternDigits::wheel(float deltaY, bool reversed)
{
    Synth303* s = engine();
    if (s == nullptr) return;
    startPattern = s->currentPattern;
    s->currentPattern = oxn3::wheelPattern(s->currentPattern, deltaY, reversed);
    updatePatchDisplay();
}

void CPatternDigits::mouseDown(const juce::MouseEvent& e)
{
    press(e.x, e.y);
}
void CPatternDigits::mouseDrag(const juce::MouseEvent& e)
{
    drag(e.y);
}
void CPatternDigits::mouseUp(const juce::MouseEvent&)
{
    pressZone = -1;
}
void CPatternDigits::mouseExit(const juce::MouseEvent&)
{
    pressZone = -1;
}

void CPatternDigits::mouseWheelMove(const juce::MouseEvent&, const juce::MouseWheelDetails& w)
{
    wheel(w.deltaY, w.isReversed);
}

void CPatternDigits::paint(juce::Graphics& g)
{
    const auto bounds = getLocalBounds();
    const float s = scale, bx = (float)bounds.getX(), by = (float)bounds.getY();
    const float w = (float)bounds.getWidth();
    const float midY = by + (float)(bounds.getHeight() / 2);
    Synth303* engine_ = engine();
    g.setColour(textColour);

    juce::Path triangle;
    triangle.addTriangle(-3.0f * s, -3.0f * s, 3.0f * s, 0.0f, -3.0f * s, 3.0f * s);
    triangle.applyTransform(juce::AffineTransform::translation(bx + 8.0f * s, midY + s));
    if (engine_ != nullptr && engine_->running)
        g.fillPath(triangle);
    else
        g.strokePath(triangle, juce::PathStrokeType(LINE_THICKNESS));

    g.setFont(14.0f * s);
    g.drawText(text, bounds, juce::Justification::centred, true);

    const bool locked = editor != nullptr && editor->processor.PatternLock != 0;
    juce::Path padlock;
    padlock.addRectangle(-3.0f, -2.0f, 6.0f, 5.0f);
    const float pi = juce::MathConstants<float>::pi;
    padlock.addArc(-2.0f, 0.0f, 4.0f, 6.0f, pi / 2.0f, locked ? 3.0f * pi / 2.0f : pi, true);
    padlock.applyTransform(
        juce::AffineTransform::scale(1.2f * s, -1.2f * s).translated(bx + w - 8.0f * s, midY + 3.0f * s));
    g.strokePath(padlock, juce::PathStrokeType(LINE_THICKNESS));
}
