#pragma once

#include "ui/framework/MyCustomDisplay.h"

class ValueChangedListener;

// The one-line status text. A click opens the main menu (reported as 1 then 0 to the listener);
// a Shift-click toggles the MIDI mode on the left half and the sync mode on the right half.
class CPatchDisplay : public MyCustomDisplay
{
  public:
    CPatchDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CPatchDisplay() override;

    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    // A text too wide is narrowed as captions are, before it could end in an ellipsis.
    void paint(juce::Graphics& g) override;
    // The text's font at `scale`.
    static juce::Font fontAt(float scale);

    // The mouse rules on plain positions; the overrides above forward here.
    void press(int x, bool shift);
    void release();

    juce::String text;
    juce::Colour textColour{juce::Colours::white};
    int tag = 0;
    ValueChangedListener* listener = nullptr;
};
