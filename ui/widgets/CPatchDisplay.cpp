#include "ui/widgets/CPatchDisplay.h"

#include "engine/Synth303.h"
#include "processor/PluginProcessor.h"
#include "ui/window/PluginEditor.h"
#include "ui/framework/CaptionFit.h"
#include "ui/framework/ValueChangedListener.h"

CPatchDisplay::CPatchDisplay(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : MyCustomDisplay(image_, editor_)
{
}

CPatchDisplay::~CPatchDisplay() = default;

static int toggled(int mode)
{
    return mode == 0 ? 1 : 0;
}

void CPatchDisplay::press(int x, bool shift)
{
    if (!shift)
    {
        if (listener != nullptr) listener->valueChanged(tag, 1.0f);
        return;
    }
    if (editor == nullptr) return;
    JuceDemoPluginAudioProcessor& p = editor->processor;
    if (x < getWidth() / 2)
    {
        p.MidiMode = toggled(p.MidiMode);
        Synth303* s = synth != nullptr ? synth : editor->synth;
        if (s != nullptr)
        {
            if (p.MidiMode == oxn3::kNoteMode)
                s->running = 0, s->keyHeld = 0, s->gate = 0, s->slideActive = 0, s->runRequest = 0;
            s->setRunStop(0);
        }
    }
    else
        p.SyncMode = toggled(p.SyncMode);
    editor->statusCounter = 0;
}

void CPatchDisplay::release()
{
    if (listener != nullptr) listener->valueChanged(tag, 0.0f);
}

void CPatchDisplay::mouseDown(const juce::MouseEvent& e)
{
    press(e.x, e.mods.isShiftDown());
}
void CPatchDisplay::mouseUp(const juce::MouseEvent&)
{
    release();
}
void CPatchDisplay::mouseExit(const juce::MouseEvent&)
{
    release();
}

void CPatchDisplay::paint(juce::Graphics& g)
{
    g.setColour(textColour);
    g.setFont(fontAt(scale));
    oxn3::drawCaption(g, text, getLocalBounds().toFloat(), juce::Justification::topLeft);
}

juce::Font CPatchDisplay::fontAt(float scale)
{
    return juce::Font(14.0f * scale);
}
