#pragma once

#include "ui/framework/MyCustomDisplay.h"

// The pattern number box: run/stop triangle on the left, the number (drag or wheel to select a
// pattern), the pattern-lock padlock on the right.
class CPatternDigits : public MyCustomDisplay
{
  public:
    CPatternDigits(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CPatternDigits() override;

    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    void paint(juce::Graphics& g) override;

    void setText(juce::String t);
    void updatePatchDisplay();
    void getMidiNoteText(char* out, int note);

    // The mouse rules on plain positions; the overrides above forward here.
    void press(int x, int y);
    void drag(int y);
    void wheel(float deltaY, bool reversed);

    int startPattern = 0;
    int lastY = 0;
    int pressZone = -1;
    juce::String text;
    juce::Colour textColour{juce::Colours::black};

  private:
    Synth303* engine() const;
};
