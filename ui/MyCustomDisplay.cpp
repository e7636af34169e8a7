#include "ui/MyCustomDisplay.h"

// Placeholder: the framework's behaviour arrives with the control-panel framework.
float LINE_THICKNESS = 0.75f;

MyCustomDisplay::MyCustomDisplay(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : image(image_), editor(editor_)
{
}
MyCustomDisplay::~MyCustomDisplay() = default;
void MyCustomDisplay::setSynth(Synth303* s) { synth = s; }
void MyCustomDisplay::setScale(float s) { scale = s; }
PanelControl* MyCustomDisplay::addControl(int tag, int type, float x, float y, float w, float h, const char* label,
                                          float value)
{
    if (controlCount >= oxn3::kMaxPanelControls)
        return nullptr;
    PanelControl& c = controls[controlCount++];
    c = PanelControl{};
    c.tag = tag, c.type = type, c.x = x, c.y = y, c.w = w, c.h = h, c.value = value;
    juce::String(label).copyToUTF8(c.label, sizeof(c.label));
    return &c;
}
PanelControl* MyCustomDisplay::getControlWithTag(int tag)
{
    for (int i = 0; i < controlCount; ++i)
        if (controls[i].tag == tag)
            return &controls[i];
    return nullptr;
}
void MyCustomDisplay::drawLabel(juce::Graphics&, juce::Rectangle<float>, juce::String, bool) {}
void MyCustomDisplay::drawLeftLabel(juce::Graphics&, juce::Rectangle<float>, juce::String) {}
void MyCustomDisplay::drawButton(juce::Graphics&, juce::Rectangle<float>, juce::String, juce::Colour, juce::Colour) {}
void MyCustomDisplay::drawButton2(juce::Graphics&, juce::Rectangle<float>, juce::String, juce::Colour, juce::Colour) {}
void MyCustomDisplay::drawSimpleKnob(juce::Graphics&, juce::Rectangle<float>, float, int, bool) {}
void MyCustomDisplay::drawKnob(juce::Graphics&, juce::Rectangle<float>, float, juce::String*, int, int) {}
void MyCustomDisplay::drawSlider(juce::Graphics&, juce::Rectangle<float>, float) {}
void MyCustomDisplay::drawRoundedButton(juce::Graphics&, juce::Rectangle<float>, float, float, float, juce::String) {}
void MyCustomDisplay::drawToggleButton(juce::Graphics&, juce::Rectangle<float>, float, juce::String) {}
void MyCustomDisplay::drawToggleSwitch(juce::Graphics&, juce::Rectangle<float>, float, juce::String) {}
void MyCustomDisplay::drawPlayButton(juce::Graphics&, juce::Rectangle<float>, float, int) {}
void MyCustomDisplay::onIdle(bool) {}
void MyCustomDisplay::invalidateRects() {}
void MyCustomDisplay::mouseMove(const juce::MouseEvent&) {}
void MyCustomDisplay::mouseExit(const juce::MouseEvent&) {}
void MyCustomDisplay::mouseDown(const juce::MouseEvent&) {}
void MyCustomDisplay::mouseDrag(const juce::MouseEvent&) {}
void MyCustomDisplay::mouseUp(const juce::MouseEvent&) {}
void MyCustomDisplay::paint(juce::Graphics&) {}
