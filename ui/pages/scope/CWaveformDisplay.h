#pragma once

#include "ui/framework/MyCustomDisplay.h"

// The scope: one of the engine's 16 signals over one bar as the processor captured it, with
// channel selection, zooms, a scroll bar and a play button.
class CWaveformDisplay : public MyCustomDisplay
{
public:
    // Button tags.
    enum
    {
        kPrevChannel = 100,
        kNextChannel = 101,
        kChannelName = 102,
        kReset = 103,
        kZoomIn = 104,
        kZoomOut = 105,
        kPlay = 106,
        kTimeIn = 107,
        kTimeOut = 108,
    };
    // pressedIndex while the scroll bar is held; no control index reaches it.
    static constexpr int kScrollBarPressed = 200;

    CWaveformDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CWaveformDisplay() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void onIdle(bool tick) override;
    void buttonClicked(int tag) override;

    // The scroll-bar and zoom rules on a pixel position, after the framework's press.
    void grabScrollBar(juce::Point<int> pos);
    void dragTo(juce::Point<int> pos);

    float timeZoom = 1.0f;
    float gain = 1.0f;
    float scrollX = 0;
    float grabOffset = 0;

private:
    int* captureSource() const;
};
