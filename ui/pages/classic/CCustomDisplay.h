#pragma once

#include "patterns/Vst303Pattern.h"
#include "ui/pages/classic/ClassicPanelRules.h"
#include "ui/framework/MyCustomDisplay.h"

// The clipboard of the front panel's copy and paste buttons and the menu's Copy and Paste Pattern,
// shared by every editor in the process. Paste does nothing until a Copy has filled it.
extern Vst303Pattern copyPattern;
extern bool copyPatternFilled;
void copyToClipboard(const Vst303Pattern& pattern);
void pasteFromClipboard(Vst303Pattern& pattern);

// The classic front panel (view 0): the skin picture of the hardware sequencer section with
// invisible push areas over its keys and buttons, lamps, two stroke-font read-outs and a file drop.
// It keeps the framework's page interface (setSynth, setScale, onIdle) so the editor treats every
// page alike, but has no controls of its own: its buttons are the static table of ClassicPanelRules.
class CCustomDisplay : public MyCustomDisplay, public juce::FileDragAndDropTarget
{
public:
    // Takes ownership of image (may be null).
    CCustomDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CCustomDisplay() override;

    void setSynth(Synth303* s) override;
    void setScale(float s) override;
    void onIdle(bool tick) override;
    bool isInterestedInFileDrag(const juce::StringArray& files) override;
    void filesDropped(const juce::StringArray& files, int x, int y) override;
    void buttonClicked(int tag) override {}

    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;

    // The mouse rules, apart from the events: a press at a pixel with the Shift key or the right
    // button, a drag by dy pixels (down positive) since the press, the release.
    void press(juce::Point<int> position, bool shift, bool rightButton);
    void dragBy(int dy);
    void release();

    void draw_lamp(int lamp, int lit, juce::Graphics& g, juce::Colour colour);

    int repeatCountdown = 0;
    int dragStartLength = 0;
    int dragStartStep = 0;
    int dragStartPattern = 0; // the length drag ends when another pattern becomes current
    int chaseFrame = 0;
    int previewNote = -1;

private:
    void runCommand(int tag, bool shift, bool rightButton);
    void previewStep(int tag, int cursorBefore);
    void tieOrRestAtCursor();
    void storeUndo(const char* label);
    void setTouched(int id);
    void stepHeldLength();
    void paintLearnLabels(juce::Graphics& g);
    void paintPitchLamps(juce::Graphics& g, const step_t& step);
    void paintFunctionLamps(juce::Graphics& g, const step_t& step);
    void paintReadOut(juce::Graphics& g, int value, juce::Point<float> tens, juce::Point<float> ones, float size,
                      juce::Colour colour);
    void paintFaces(juce::Graphics& g);
};
