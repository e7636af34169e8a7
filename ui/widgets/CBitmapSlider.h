#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ValueChangedListener;

namespace oxn3
{
// Frame of a film strip for a slider value within its range (0 for an empty range).
int stripFrame(int frames, double value, double minimum, double maximum);
// The rocker's strip shows rest, upper and lower in frames 0, 1 and 2.
int rockerFrame(double rockerValue);
// 0 for a press on the upper half, 2 on the lower half.
double rockerValueAt(int y, int height);
} // namespace oxn3

// A skin knob: one frame of a film strip chosen from the slider's value, with the MIDI-learn
// overlay on top.
class CBitmapSlider : public juce::Slider
{
  public:
    CBitmapSlider(juce::Image* strip, int frames, bool horizontal);
    ~CBitmapSlider() override;

    void setMidiLearnString(juce::String text);
    void paint(juce::Graphics& g) override;

    juce::Image* strip = nullptr;
    int frames = 1;
    bool horizontal = false;
    int frameWidth = 0, frameHeight = 0;
    int tag = 0;
    int parameterIndex = -1;
    bool showOverlay = false;
    juce::String overlayText{"000"};

  protected:
    // Draws the frame stretched over the given area of the component.
    void drawFrame(juce::Graphics& g, int frame, int width, int height);
};

// Two-frame switch; the editor gives it a horizontal strip and style.
class CHorizontalSwitch : public CBitmapSlider
{
  public:
    using CBitmapSlider::CBitmapSlider;
};

// The MIDI LED: frame 0 of its strip, or a red dot in ledArea without one, while the value is above 0.
class CMovieBitmap : public CBitmapSlider
{
  public:
    CMovieBitmap(juce::Image* strip, int frames, bool horizontal);
    ~CMovieBitmap() override;
    void paint(juce::Graphics& g) override;

    juce::Rectangle<float> ledArea; // in the parent's coordinates
};

// A decoration that shows its frame over the top-left three quarters and ignores the mouse and wheel.
class CBitmapSticker : public CBitmapSlider
{
  public:
    CBitmapSticker(juce::Image* strip, int frames, bool horizontal);
    ~CBitmapSticker() override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint(juce::Graphics& g) override;

    int stickerFrameWidth = 0, stickerFrameHeight = 0;
};

// Momentary three-position rocker: 0 upper half held, 1 at rest, 2 lower half held. It reports to
// its listener and never changes the slider's own value.
class CBitmapRocker : public CBitmapSlider
{
  public:
    CBitmapRocker(juce::Image* strip, int frames, bool horizontal);
    ~CBitmapRocker() override;
    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void setValue(double v);

    int rockerFrameWidth = 0, rockerFrameHeight = 0;
    double rockerValue = 1.0;
    double previousRockerValue = -1.0;
    ValueChangedListener* listener = nullptr;
};
