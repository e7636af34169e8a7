#pragma once

#include "ui/framework/MyCustomDisplay.h"

// The about view: the logo fades in, a version line, credits scrolling upwards; any click closes it.
class CSplashView : public MyCustomDisplay
{
  public:
    CSplashView(juce::Image* logo, JuceDemoPluginAudioProcessorEditor* editor);
    ~CSplashView() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void onIdle(bool active) override;
    void paint(juce::Graphics& g) override;

    static const char* const creditsText;

    float scrollOffset = 0;
};
