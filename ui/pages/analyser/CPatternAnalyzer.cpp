// The analyser page: construction, buttons, mouse rules, the tick and file loading.
// Painting is in CPatternAnalyzerPaint.cpp, the detection driver in CPatternAnalyzerDetect.cpp.
#include "ui/pages/analyser/CPatternAnalyzer.h"

#include <algorithm>
#include <cstdio>

#include "processor/PluginProcessor.h"
#include "ui/window/PluginEditor.h"
#include "ui/window/ReadFailureText.h"

namespace
{
constexpr int kHoverButton = 9;
constexpr float kWaveLeft = 105.0f; // design units
constexpr float kWaveRightGap = 5.0f; // pixels
constexpr int kHandleSize = 8;        // pixels, whatever the scale
constexpr float kDeadLeft = 368.0f;   // design units: a press here leaves the play position alone
constexpr float kDeadWidth = 64.0f;
constexpr float kDeadHeight = 16.0f;
constexpr float kPixelsPerStep = -0.25f; // dragging up lengthens
constexpr int kMinLength = 1;
constexpr int kMaxLength = 64;

void setCaption(PanelControl* c, const char* text)
{
    std::snprintf(c->label, sizeof(c->label), "%s", text);
    c->dirty = 1;
}
} // namespace

CPatternAnalyzer::CPatternAnalyzer(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor)
    : MyCustomDisplay(image, editor)
{
    playWaveButton = addControl(kPlayWave, kHoverButton, 4, 5, 90, 18, "Play Wave", 0);
    playPatternButton = addControl(kPlayPattern, kHoverButton, 4, 26, 90, 18, "Play Pattern", 0);
    addControl(kDetect, kHoverButton, 4, 47, 90, 18, "Detect", 0);
    addControl(kHelp, kHoverButton, 4, 68, 90, 18, "Help", 0);
    addControl(kLoad, kHoverButton, 4, 89, 90, 18, "Load", 0);
    stepsButton = addControl(kSteps, kHoverButton, 5, 110, 90, 18, "Steps 16", 0);
    setRepaintsOnMouseActivity(false);
    if (editor != nullptr && processor().configFolder[0] != '\0')
        audioFolder = juce::File(juce::String(processor().configFolder)).getChildFile("Audio Patterns");
}

// The page image belongs to the editor, which frees it.
CPatternAnalyzer::~CPatternAnalyzer() = default;

JuceDemoPluginAudioProcessor& CPatternAnalyzer::processor() const
{
    return editor->processor;
}

Synth303* CPatternAnalyzer::engine() const
{
    return synth != nullptr ? synth : processor().synth.get();
}

Vst303Pattern& CPatternAnalyzer::currentPattern() const
{
    return engine()->activePattern();
}

CPatternAnalyzer::WaveArea CPatternAnalyzer::waveArea() const
{
    WaveArea a;
    a.x0 = kWaveLeft * scale;
    a.width = static_cast<float>(getWidth()) - a.x0 - kWaveRightGap;
    a.height = static_cast<float>(getHeight());
    return a;
}

int CPatternAnalyzer::pressTarget(const WaveArea& a, float scale, float start, float end, int px, int py)
{
    const bool onHandleRow = a.height - kHandleSize <= py && py < a.height;
    const int left = static_cast<int>(a.x0 + start * a.width);
    if (onHandleRow && left <= px && px < left + kHandleSize)
        return kLeftMarker;
    const int right = static_cast<int>(a.x0 + end * a.width - kHandleSize);
    if (onHandleRow && right <= px && px < right + kHandleSize)
        return kRightMarker;
    const int deadX = static_cast<int>(kDeadLeft * scale);
    if (deadX <= px && px < deadX + static_cast<int>(kDeadWidth * scale) && 0 <= py &&
        py < static_cast<int>(kDeadHeight * scale))
        return kNoTarget;
    return kPlayPosition;
}

float CPatternAnalyzer::fractionAt(const WaveArea& a, int px)
{
    return a.width > 0 ? (static_cast<float>(px) - a.x0) / a.width : 0.0f;
}

void CPatternAnalyzer::moveLeftMarker(float f, float& start, float& end)
{
    start = std::clamp(f, 0.0f, 1.0f);
    end = start > end ? start : std::min(end, 1.0f);
}

void CPatternAnalyzer::moveRightMarker(float f, float& start, float& end)
{
    end = f;
    end = start > end ? start : std::min(end, 1.0f);
}

int CPatternAnalyzer::lengthAfterDrag(int lengthAtPress, int dy)
{
    const int length = static_cast<int>(static_cast<float>(dy) * kPixelsPerStep + static_cast<float>(lengthAtPress));
    return std::clamp(length, kMinLength, kMaxLength);
}

void CPatternAnalyzer::setPlayPosition(int px)
{
    JuceDemoPluginAudioProcessor& p = processor();
    const float f = std::clamp(fractionAt(waveArea(), px), 0.0f, 1.0f);
    const double position = static_cast<int>(static_cast<float>(p.sampleBuffer.getNumSamples()) * f);
    const juce::SpinLock::ScopedLockType playing(p.sampleBufferLock);
    p.samplePlayPosition = position;
}

void CPatternAnalyzer::buttonClicked(int tag)
{
    JuceDemoPluginAudioProcessor& p = processor();
    switch (tag)
    {
    case kPlayWave:
        p.playSample = p.playSample ? 0 : 1;
        if (p.playSample && !playPositionClicked)
        {
            const juce::SpinLock::ScopedLockType playing(p.sampleBufferLock);
            p.samplePlayPosition = 0.0;
        }
        playPositionClicked = false;
        break;
    case kPlayPattern:
        engine()->setRunStop(engine()->running ? 0 : 1);
        if (engine()->running)
            p.captureWriteIndex = 0;
        break;
    case kDetect:
        DoAnalyze();
        break;
    case kHelp:
        helpVisible = !helpVisible;
        break;
    case kLoad:
        chooseFile();
        break;
    default:
        break;
    }
}

void CPatternAnalyzer::chooseFile()
{
    fileChooser = std::make_unique<juce::FileChooser>("Select Audio File...", audioFolder, "*.wav;*.aif;*.mp3");
    const int flags = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
    fileChooser->launchAsync(flags, [page = juce::Component::SafePointer<CPatternAnalyzer>(this)](const juce::FileChooser& chooser) {
        const juce::File chosen = chooser.getResult();
        if (page != nullptr && chosen != juce::File())
            page->loadChosenFile(chosen);
    });
}

void CPatternAnalyzer::loadChosenFile(const juce::File& file)
{
    audioFolder = file;
    loadAndDetect(file);
}

void CPatternAnalyzer::loadAndDetect(const juce::File& file)
{
    processor().loadFileIntoTransport(file);
    if (processor().sampleLength > 0)
        DoAnalyze();
    else if (editor != nullptr)
        editor->setPatchDisplayText(oxn3::couldNotReadText(file), oxn3::kCouldNotReadTicks);
}

bool CPatternAnalyzer::isInterestedInFileDrag(const juce::StringArray&)
{
    return true;
}

void CPatternAnalyzer::filesDropped(const juce::StringArray& files, int, int)
{
    if (files.isEmpty())
        return;
    loadAndDetect(juce::File(files[0]));
    helpVisible = false;
}

void CPatternAnalyzer::mouseMove(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseMove(e);
}

void CPatternAnalyzer::mouseExit(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseExit(e);
}

void CPatternAnalyzer::mouseDown(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseDown(e);
    if (pressedIndex >= 0)
    {
        if (pressedTag == kSteps)
        {
            lengthAtPress = currentPattern().getLength();
            patternAtPress = engine()->currentPattern;
        }
        return;
    }
    const int target = pressTarget(waveArea(), scale, selectionStart, selectionEnd, e.x, e.y);
    if (target == kNoTarget)
        return;
    pressedTag = target;
    if (target == kPlayPosition)
    {
        setPlayPosition(e.x);
        playPositionClicked = true;
        repaint();
    }
}

void CPatternAnalyzer::mouseDrag(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseDrag(e);
    switch (pressedTag)
    {
    case kSteps:
        if (engine()->currentPattern != patternAtPress)
        {
            pressedTag = kNoTarget; // the length taken at the press belongs to the other pattern
            return;
        }
        currentPattern().setLength(lengthAfterDrag(lengthAtPress, e.y - downY));
        processor().touchedParameter = oxn3::kPatternLengthTarget;
        break;
    case kLeftMarker:
        moveLeftMarker(fractionAt(waveArea(), e.x), selectionStart, selectionEnd);
        break;
    case kRightMarker:
        moveRightMarker(fractionAt(waveArea(), e.x), selectionStart, selectionEnd);
        break;
    case kPlayPosition:
        setPlayPosition(e.x);
        break;
    default:
        return;
    }
    repaint();
}

void CPatternAnalyzer::mouseUp(const juce::MouseEvent& e)
{
    if (pressedTag == kPlayPosition)
        repaint();
    MyCustomDisplay::mouseUp(e);
}

void CPatternAnalyzer::onIdle(bool shown)
{
    if (!shown)
        return;
    setCaption(playWaveButton, processor().playSample ? "Stop Wave" : "Play Wave");
    setCaption(playPatternButton, engine()->running ? "Stop Pattern" : "Play Pattern");
    char steps[oxn3::kPanelLabelSize];
    std::snprintf(steps, sizeof(steps), "Steps %d", currentPattern().getLength());
    setCaption(stepsButton, steps);
    repaint();
    MyCustomDisplay::onIdle(true);
}
