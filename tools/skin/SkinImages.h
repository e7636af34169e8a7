#pragma once

#include <juce_graphics/juce_graphics.h>

// The default skin's pictures. Sizes are in pixels, twice the design units of the window
// (four times for the classic panel). The widget sizes the editor uses follow from them.
namespace skinimages
{
constexpr float kPixelsPerUnit = 2.0f;

// The seven parameter knobs: design position of the strip's top-left corner (the editor's widget
// table), knob size in design units, and the caption printed under it.
struct KnobPlace
{
    const char* file;
    float x, y, size;
    const char* caption;
};
constexpr KnobPlace kKnobs[] = {
    {"kb02d.png", 200.0f, 61.0f, 48.0f, "TUNING"},
    {"kb03d.png", 262.75f, 61.0f, 48.0f, "CUT OFF FREQ"},
    {"kb04d.png", 325.0f, 61.0f, 48.0f, "RESONANCE"},
    {"kb05d.png", 387.0f, 61.0f, 48.0f, "ENV MOD"},
    {"kb06d.png", 449.0f, 61.0f, 48.0f, "DECAY"},
    {"kb07d.png", 511.0f, 61.0f, 48.0f, "ACCENT"},
    {"kb08d.png", 596.0f, 57.0f, 52.0f, "VOLUME"},
};
constexpr int kKnobFrames = 63;
// A knob turns through 300 degrees, from seven o'clock to five o'clock.
constexpr float kKnobSweepDegrees = 300.0f;

// The view knob: five positions from twelve o'clock clockwise to six o'clock.
constexpr float kViewKnobX = 113.5f, kViewKnobY = 58.0f, kViewKnobSize = 44.0f;
constexpr int kViewPositions = 5;
constexpr float kViewStepDegrees = 45.0f;

constexpr float kSwitchX = 175.0f, kSwitchY = 8.0f, kSwitchW = 30.0f, kSwitchH = 14.0f;
constexpr float kRockerX = 515.0f, kRockerY = 8.0f, kRockerW = 18.0f, kRockerH = 24.0f;
constexpr float kStickerW = 80.0f, kStickerH = 56.0f;

juce::Image background();
juce::Image overlay();
juce::Image knobStrip(float size);
juce::Image viewKnobStrip();
juce::Image waveformSwitch();
juce::Image rocker();
juce::Image sticker();
juce::Image logo();
juce::Image switchboard();
} // namespace skinimages
