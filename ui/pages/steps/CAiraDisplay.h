#pragma once

#include <cstdint>

#include "ui/pages/steps/AiraGeometry.h"
#include "ui/framework/MyCustomDisplay.h"

struct Vst303Pattern;

// The step table: seven rows (step, pitch, gate, down, up, accent, slide) by sixteen columns over
// a window of the current pattern, with run/stop, clear and length buttons, a page thumb, and a
// pitch-bar view. Hit tests, drags and drawing are its own; it uses no framework controls.
//
// Behaviour: CAiraDisplay.cpp (mouse, idle), CAiraDisplayPaint.cpp (paint).
class CAiraDisplay : public MyCustomDisplay
{
public:
    CAiraDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CAiraDisplay() override;

    void mouseMove(const juce::MouseEvent& e) override;
    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void setSynth(Synth303* s) override;
    void setScale(float s) override;
    void onIdle(bool shown) override;
    virtual void update();

    // The mouse rules on a window-pixel position; the overrides above forward here.
    void pointerMoved(juce::Point<int> pos);
    void pointerLeft();
    void pointerPressed(juce::Point<int> pos, juce::ModifierKeys mods);
    void pointerDragged(juce::Point<int> pos, juce::ModifierKeys mods);

    float originX = 100;
    float originY = 0;
    float cellBoxWidth = 28;
    float cellBoxHeight = 12;
    float columnWidth = 32;
    float rowHeight = 18;
    int dragMode = oxn3::aira::kDragNone;
    int hoverZone = oxn3::aira::kZoneNone;
    float hoverGlow = 0;
    float hoverGlowTarget = 0;
    int cellColumn = -1, cellRow = -1;
    int dragStartPitch = 0;
    int dragStartX = 0, dragStartY = 0;
    int dragStartOffset = 0;
    int pageOffset = 0;
    int dragValue = 0;
    int dragStartPattern = 0; // a drag ends when another pattern becomes current
    int pitchSnapshot[64] = {};
    std::uint8_t pitchBarView = 0;
    double pitchBarFade = 0;
    juce::Rectangle<float> runStopRect, clearRect, lengthRect;
    juce::Rectangle<float> playMarkerRect, previousPlayMarkerRect;

private:
    oxn3::aira::Layout layout() const;
    juce::Point<int> toDesign(juce::Point<int> pos) const;
    Vst303Pattern* pattern() const;
    void pressCell(Vst303Pattern& p, int px, int py, juce::ModifierKeys mods);
    void pressZone(Vst303Pattern& p, int px, int py);
    void dragFlags(Vst303Pattern& p, int px, int py, juce::ModifierKeys mods);
    void endDrag();
    juce::Rectangle<float> thumbRect() const;

    void paintButtons(juce::Graphics& g, const Vst303Pattern& p);
    void paintRow(juce::Graphics& g, const Vst303Pattern& p, int row);
    void paintCell(juce::Graphics& g, const Vst303Pattern& p, int row, int column, float rowOffset);
};
