#pragma once

#include <memory>
#include <utility>

#include "ui/framework/MyCustomDisplay.h"

class JuceDemoPluginAudioProcessor;
struct Vst303Pattern;

// The audio analyser page: the loaded loop as a waveform with two markers around one pattern's
// span, the step lines of the current pattern over it, playback of loop and pattern side by side,
// and Detect, which writes the notes it hears into the current pattern. A help view with fading
// instructions replaces the waveform on demand.
class CPatternAnalyzer : public MyCustomDisplay, public juce::FileDragAndDropTarget
{
public:
    // Control tags, and the press targets of the waveform area.
    static constexpr int kPlayWave = 100;
    static constexpr int kPlayPattern = 101;
    static constexpr int kDetect = 102;
    static constexpr int kHelp = 103;
    static constexpr int kLoad = 106;
    static constexpr int kSteps = 107;
    static constexpr int kLeftMarker = 200;
    static constexpr int kRightMarker = 201;
    static constexpr int kPlayPosition = 203;
    static constexpr int kNoTarget = -1;

    CPatternAnalyzer(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor);
    ~CPatternAnalyzer() override;

    // Transcribes the marked span of the loaded audio into the current pattern; without loaded
    // audio it does nothing.
    void DoAnalyze();
    // Loads the file for analysis and transcribes it; a file that does not load leaves every
    // pattern alone and is named on the status line.
    void loadAndDetect(const juce::File& file);
    // The marked span [first, last) of n samples; both ends within 0..n.
    static std::pair<int, int> markedSpan(int n, float start, float end);

    void mouseMove(const juce::MouseEvent& e) override;
    void mouseExit(const juce::MouseEvent& e) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void onIdle(bool shown) override;
    void buttonClicked(int tag) override;
    bool isInterestedInFileDrag(const juce::StringArray& files) override;
    void filesDropped(const juce::StringArray& files, int x, int y) override;

    // What a completed Load does with the chosen file.
    void loadChosenFile(const juce::File& file);

    // The waveform area in component pixels: audio fraction f lies at x0 + f * width.
    struct WaveArea
    {
        float x0 = 0, width = 0, height = 0;
    };
    WaveArea waveArea() const;

    // Mouse rules of the waveform area, kept apart from the component so they can be tested.
    static int pressTarget(const WaveArea& area, float scale, float start, float end, int px, int py);
    static float fractionAt(const WaveArea& area, int px);
    static void moveLeftMarker(float f, float& start, float& end);
    static void moveRightMarker(float f, float& start, float& end);
    static int lengthAfterDrag(int lengthAtPress, int dy);

    float selectionStart = 0.0f;
    float selectionEnd = 1.0f;
    int lengthAtPress = 16;
    int patternAtPress = 0; // a Steps drag ends when another pattern becomes current
    bool playPositionClicked = false;
    juce::File audioFolder;
    bool helpVisible = false;
    bool helpShown = false;
    int helpFrame = 0;
    std::unique_ptr<juce::FileChooser> fileChooser;

private:
    JuceDemoPluginAudioProcessor& processor() const;
    Synth303* engine() const;
    Vst303Pattern& currentPattern() const;
    void setPlayPosition(int px);
    void chooseFile();
    void paintHelp(juce::Graphics& g);
    void paintWave(juce::Graphics& g, const WaveArea& area);
    void paintMarkers(juce::Graphics& g, const WaveArea& area);

    PanelControl* playWaveButton = nullptr;
    PanelControl* playPatternButton = nullptr;
    PanelControl* stepsButton = nullptr;
};
