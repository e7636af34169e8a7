#pragma once

#include <cstdint>

#include <juce_gui_basics/juce_gui_basics.h>

class JuceDemoPluginAudioProcessorEditor;
class Synth303;

// Stroke width of every vector outline; the editor picks it once for the screen it opens on.
extern float LINE_THICKNESS;

namespace oxn3
{
constexpr int kMaxPanelControls = 128;
constexpr int kPanelLabelSize = 64;
constexpr int kPanelOverlaySize = 256;
} // namespace oxn3

// One control of a vector-drawn page. Pages keep the pointer addControl returns and read and
// write the fields directly.
struct PanelControl
{
    int tag = 0;
    int type = 0;
    float x = 0, y = 0, w = 0, h = 0;
    char label[oxn3::kPanelLabelSize] = {};
    float value = 0;
    float previousValue = -1.0f;
    float fontSize = 12.0f;
    float cornerRadius = 2.0f;
    float hoverTarget = 0;
    float hoverLevel = 0;
    float animation = 0;
    std::uint8_t dirty = 1;
    std::uint8_t showOverlay = 0;
    char overlayText[oxn3::kPanelOverlaySize] = {};
    std::uint8_t enabled = 1;
};

// Base of every vector-drawn page: a flat table of up to 128 controls with ten looks, hover glow,
// fixed mouse rules per control type and four notifications that pages override.
class MyCustomDisplay : public juce::Component
{
public:
    MyCustomDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~MyCustomDisplay() override;

    virtual void setSynth(Synth303* s);
    virtual void setScale(float s);
    virtual PanelControl* addControl(int tag, int type, float x, float y, float w, float h,
                                     const char* label, float value);
    virtual PanelControl* getControlWithTag(int tag);

    virtual void drawLabel(juce::Graphics& g, juce::Rectangle<float> r, juce::String text, bool enabled);
    virtual void drawLeftLabel(juce::Graphics& g, juce::Rectangle<float> r, juce::String text);
    virtual void drawButton(juce::Graphics& g, juce::Rectangle<float> r, juce::String text,
                            juce::Colour frame, juce::Colour textColour);
    virtual void drawButton2(juce::Graphics& g, juce::Rectangle<float> r, juce::String text,
                             juce::Colour frame, juce::Colour textColour);
    virtual void drawSimpleKnob(juce::Graphics& g, juce::Rectangle<float> r, float value, int ticks, bool enabled);
    virtual void drawKnob(juce::Graphics& g, juce::Rectangle<float> r, float value, juce::String* labels,
                          int positions, int ticks);
    virtual void drawSlider(juce::Graphics& g, juce::Rectangle<float> r, float value);
    virtual void drawRoundedButton(juce::Graphics& g, juce::Rectangle<float> r, float corner, float value,
                                   float fill, juce::String text);
    virtual void drawToggleButton(juce::Graphics& g, juce::Rectangle<float> r, float value, juce::String text);
    virtual void drawToggleSwitch(juce::Graphics& g, juce::Rectangle<float> r, float value, juce::String text);
    virtual void drawPlayButton(juce::Graphics& g, juce::Rectangle<float> r, float value, int brightness);

    virtual void onIdle(bool active);
    virtual void invalidateRects();

    virtual void buttonClicked(int tag) {}
    virtual void valueBegin(int tag) {}
    virtual void valueEnd(int tag) {}
    virtual void valueChanged(int tag, float value) {}

    // The rotating wire-frame box of the preferences page.
    void drawCube(float centreX, float centreY, juce::Graphics& g);

    void mouseMove(const juce::MouseEvent& e) override;
    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;

    float cubeSpin[3] = {0, 0, 0};
    float cubeAngle[3] = {0, 1.5707964f, -1.5707964f};
    float cubeVertices[8][3] = {};
    float cubeShape[5] = {};

    juce::Image* image = nullptr;
    JuceDemoPluginAudioProcessorEditor* editor = nullptr;
    Synth303* synth = nullptr;
    int pressedIndex = -1;
    int pressedTag = -1;
    int frameCounter = 0;
    float scale = 1.0f;
    int hoveredIndex = -1;
    float drawHover = 0;
    int controlCount = 0;
    PanelControl controls[oxn3::kMaxPanelControls];
    int downX = 0, downY = 0;
    float downValue = 0;
};
