#pragma once

#include <cstddef>

#include "ui/framework/MyCustomDisplay.h"

// The framework's rules that carry no drawing: hit bounds, value steps, knob and switch
// arithmetic. Kept apart so they can be checked without a window.
namespace oxn3
{
// Inclusive pixel bounds of a control (type 2 widened by 4 scaled pixels each side).
struct PixelBounds
{
    int left, top, right, bottom;
};

float clamp01(float v);
PixelBounds hitBounds(const PanelControl& c, float scale);
bool hits(const PanelControl& c, float scale, int px, int py);

// previousValue/dirty bookkeeping shared by every mouse rule.
void updateValue(PanelControl& c, float newValue);

float knobDragValue(float downValue, int py, int downY);
float sliderValueAt(const PanelControl& c, float scale, int py);
float switchPositionAt(const PanelControl& c, float scale, int px);

// Angle of a knob position 0..1 in screen radians (y down): 0 down-left, 0.5 up, 1 down-right.
float knobAngle(float position);

// The repaint rectangle of a dirty control: its pixel rectangle grown by 8 pixels.
juce::Rectangle<int> dirtyArea(const PanelControl& c, float scale);

// Copies at most capacity - 1 bytes and never splits a UTF-8 character; null copies as empty.
void copyText(char* dest, std::size_t capacity, const char* src);
// A record's text as a string, never reading past the record even without a terminator.
juce::String recordText(const char* text, std::size_t capacity);

// The panel colour with alpha taken modulo 256.
juce::Colour panelColour(int alpha);
} // namespace oxn3
