#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class JuceDemoPluginAudioProcessorEditor;
class Synth303;
struct Vst303Pattern;

// The 16-step grid of the current pattern: per step a pitch bar, two octave boxes and gate,
// accent and slide lamps, all editable with the mouse. Edits go into the pattern in place.
class CPatternDisplay : public juce::Component
{
public:
    CPatternDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CPatternDisplay() override;

    void mouseMove(const juce::MouseEvent& e) override;
    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;

    void onIdle(bool tick);
    void draw_box_xy(float cx, float cy, float w, float h, bool on, juce::Graphics& g, juce::Colour onColour,
                     juce::Colour offColour);
    void draw_lamp_xy(float cx, float cy, float w, float h, bool on, juce::Graphics& g, juce::Colour onColour,
                      juce::Colour offColour);

    // The mouse rules on a window-pixel position; the overrides above forward here.
    void pointerMoved(juce::Point<int> pos);
    void pointerLeft();
    void pointerPressed(juce::Point<int> pos);
    void pointerDragged(juce::Point<int> pos, juce::ModifierKeys mods);

    JuceDemoPluginAudioProcessorEditor* editor = nullptr;
    juce::Image* image = nullptr;
    Synth303* synth = nullptr;
    int dragStep = -1;
    int hoverStep = -1;
    float glow = 0;
    float glowTarget = 0;
    float scale = 1.0f;

private:
    Vst303Pattern* pattern() const;
    juce::Point<int> toDesign(juce::Point<int> pos) const;
    void showStep(int step);
    bool takeGuiRefresh();
};
