#pragma once

#include "ui/framework/MyCustomDisplay.h"

class JuceDemoPluginAudioProcessor;

// View 4: the engine options, the six trims with no knob on the front panel, and beside them
// the wire-frame box that follows the sound and spins when dragged.
class CPreferencesView : public MyCustomDisplay
{
public:
    CPreferencesView(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CPreferencesView() override;

    void mouseDrag(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void onIdle(bool tick) override;
    void buttonClicked(int tag) override;
    void valueChanged(int tag, float value) override;

    // Processor options and parameters to controls, with the enablement of Bass and VCF Trim.
    virtual void updateView();

    // Box area and its grid, in design units.
    static constexpr float kBoxX = 200, kBoxY = 8, kBoxW = 300, kBoxH = 117;

private:
    JuceDemoPluginAudioProcessor& processor() const;
    void addControls();
    void paintGrid(juce::Graphics& g, juce::Rectangle<float> grid);
};

namespace oxn3
{
// Status text of a trim: its prefix and the value in whole percent, truncated.
juce::String trimStatusText(const char* prefix, float value);

// Spin set by a drag: the distances are whole pixels since the press.
void spinFromDrag(int dragX, int dragY, float spin[3]);

// Grid inside the box area: that area scaled, 3 pixels in from each side.
juce::Rectangle<float> preferencesGrid(float scale);
} // namespace oxn3
