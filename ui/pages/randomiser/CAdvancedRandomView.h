#pragma once

#include <deque>

#include "ui/framework/MyCustomDisplay.h"

class JuceDemoPluginAudioProcessor;
struct Vst303Pattern;

// View 3: the seeded randomiser's settings as sliders, a root knob and toggle keys. With Apply
// on, every click or drag regenerates the current pattern from the seed, so the pattern follows
// the settings live and a seed recalls it.
class CAdvancedRandomView : public MyCustomDisplay
{
public:
    CAdvancedRandomView(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CAdvancedRandomView() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;

    void onIdle(bool shown) override;
    void buttonClicked(int tag) override;
    void valueBegin(int tag) override {}
    void valueEnd(int tag) override {}
    void valueChanged(int tag, float value) override;

    // Settings to controls; the editor's Undo calls it too.
    void update();
    // Controls to settings, then the regeneration while Apply is on.
    void updateAdvancedRandom();

    // Seeds replaced by "Next Seed", the most recent at the back.
    std::deque<int> seedHistory;

private:
    JuceDemoPluginAudioProcessor& processor() const;
    Vst303Pattern& currentPattern() const;
    void addControls();
    void flashSeedButton(int tag);
    void showLearnOverlays();

    // New seeds in rand()'s range; seeded once, so two quick clicks still give two seeds.
    juce::Random seedSource;
};
