#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "patterns/Vst303Pattern.h"
#include "ui/framework/ValueChangedListener.h"

class JuceDemoPluginAudioProcessor;
class Synth303;
class CPatchDisplay;
class CPatternDigits;
class CBitmapSlider;
class CBitmapRocker;
class CMovieBitmap;
class CBitmapSticker;
class CAiraDisplay;
class CCustomDisplay;
class CPatternDisplay;
class CPatternAnalyzer;
class CWaveformDisplay;
class CAdvancedRandomView;
class CPreferencesView;
class CSplashView;

namespace oxn3
{
constexpr int kDesignWidth = 754;
constexpr int kDesignHeight = 276;
constexpr int kMaxWidgets = 1024;
constexpr int kSkinPathSize = 1024;
} // namespace oxn3

// One row of the front widget table: kind (0 knob, 2 switch, 3 rocker, 4 sticker), design
// position of the top-left corner, strip image, frames stacked vertically, component name and
// host parameter (-1 none).
struct WidgetRow
{
    std::uint32_t kind;
    float x, y;
    const char* file;
    int frames;
    const char* name;
    int parameter;
};
namespace oxn3
{
constexpr int kFrontWidgets = 11;
constexpr int kRockerTag = 1000;
constexpr int kPatchDisplayTag = 1001;
} // namespace oxn3
extern const WidgetRow widgets_front[oxn3::kFrontWidgets];

// Process-wide appearance shared by every open window. `skinName` is the skin as "Gui.ini" names
// it (the name of its ".oxn3skin" file); `skinDir` is the image folder that file names.
extern char skinName[oxn3::kSkinPathSize];
extern char skinDir[oxn3::kSkinPathSize];
extern char graphicsDir[oxn3::kSkinPathSize];
extern char backgroundFilename[oxn3::kSkinPathSize];

// The plug-in window: a skinned bitmap panel with its widgets, the status line, the pattern
// number and the pages, one of which is shown by view mode. It follows the processor by polling.
//
// Behaviour lives in one file per concern: PluginEditor.cpp (construction, layout, paint),
// EditorTimer.cpp (the tick, status line, widget listeners), GuiConfig.cpp ("Gui.ini" and skin
// files), PatchMenu.cpp (the popup menu and its file commands).
class JuceDemoPluginAudioProcessorEditor : public juce::AudioProcessorEditor,
                                           public juce::Slider::Listener,
                                           public ValueChangedListener,
                                           public juce::Timer
{
public:
    explicit JuceDemoPluginAudioProcessorEditor(JuceDemoPluginAudioProcessor& owner);
    ~JuceDemoPluginAudioProcessorEditor() override;

    void mouseDown(const juce::MouseEvent& e) override;
    void paint(juce::Graphics& g) override;
    void resized() override;
    void parentSizeChanged() override;
    // Takes the whole of the parent's area when a host holds it at a size the editor did not ask for.
    void fillForcedArea();
    void timerCallback() override;
    void valueChanged(int tag, float value) override;
    void sliderDragStarted(juce::Slider* slider) override;
    void sliderDragEnded(juce::Slider* slider) override;
    void sliderValueChanged(juce::Slider* slider) override;

    int ReadGUIConfig(const char* name);
    int ReadSkinConfig(const char* name);
    int WriteGUIConfig(const char* name);
    CBitmapSlider* getBitmapSliderWithName(juce::String name);
    void setPatchDisplayText(juce::String text, int ticks);

    void showPatchMenu();
    void menuItemSelected(int id, JuceDemoPluginAudioProcessorEditor* editor);
    bool loadPatch(Vst303Pattern* pattern, char* path);
    bool savePatch(Vst303Pattern* pattern, char* path);
    void setPatchDir(juce::File folder);

    juce::File lastBrowseFolder;
    JuceDemoPluginAudioProcessor& processor;
    Synth303* synth = nullptr;
    CPatchDisplay* patchDisplay = nullptr;
    CPatternDigits* patternDigits = nullptr;
    std::unique_ptr<juce::ResizableCornerComponent> resizer;
    juce::ComponentBoundsConstrainer constrainer;
    juce::Image backgroundImage, backgroundScaled;
    juce::Image overlayImage, overlayScaled;
    juce::Colour marginColour{juce::Colours::black}; // around the panel in a window of another shape
    int widgetImageCount = 0;
    juce::Image* widgetImages[oxn3::kMaxWidgets] = {};
    int widgetCount = 0;
    CBitmapSlider* widgets[oxn3::kMaxWidgets] = {};
    CBitmapSlider* patternKnobWidget = nullptr;
    CBitmapRocker* rocker = nullptr;
    CMovieBitmap* midiLed = nullptr;
    CBitmapSticker* sticker = nullptr;
    CAiraDisplay* airaDisplay = nullptr;
    CCustomDisplay* customDisplay = nullptr;
    CPatternDisplay* patternDisplay = nullptr;
    CPatternAnalyzer* analyzer = nullptr;
    CWaveformDisplay* waveformDisplay = nullptr;
    CAdvancedRandomView* randomView = nullptr;
    CPreferencesView* preferencesView = nullptr;
    CSplashView* splashView = nullptr;
    int lastRunning = 0;
    int lastPattern = -1;
    int statusState = 10, statusCounter = 0;
    int tickCount = 0;
    int rockerCountdown = 0;
    juce::WildcardFileFilter fileFilter{"*.pat", "*", "Patch File Filter"};
    juce::TimeSliceThread scannerThread{"Directory Scanner Thread"};
    juce::DirectoryContentsList patternFileList{&fileFilter, scannerThread};
    int lastViewMode = 0;
    bool splashVisible = false;
    int textColorR = 255, textColorG = 255, textColorB = 0, textColorA = 255;
    juce::String undoLabel;
    Vst303Pattern undoPattern;
    int undoSlot = 0; // the bank slot undoPattern was copied from; Undo writes it back there
    // Copies the engine's current pattern for the menu's Undo, before a destructive edit.
    void storeUndo(Synth303& engine, const char* label);

    // The about view's logo; the view itself does not own its image.
    std::unique_ptr<juce::Image> logoImage;

private:
    void resolveSkin();
    juce::Image loadSkinImage(const char* file) const;
    void preloadSkinImages();
    std::vector<std::pair<juce::String, juce::Image>> preloadedImages; // only while constructing
    void createWidgets();
    void createPages();
    void createDisplays();
    void layOutWidgets(float s, juce::Point<int> origin);
    void pollParameters();
    void followViewMode(int v);
    void showPages(int v);
    void stepHeldRocker();
    void followEngine();
    void updateLearnOverlays();
    void stepStatus();
    void showLiveStatus();
    void showStatusIfDifferent(const char* text);
};
