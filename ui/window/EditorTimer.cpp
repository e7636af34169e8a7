#include <cstdio>

#include "processor/PluginProcessor.h"
#include "ui/pages/randomiser/CAdvancedRandomView.h"
#include "ui/pages/steps/CAiraDisplay.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/widgets/CPatchDisplay.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"
#include "ui/widgets/CPatternDigits.h"
#include "ui/pages/grid/CPatternDisplay.h"
#include "ui/pages/preferences/CPreferencesView.h"
#include "ui/widgets/CSplashView.h"
#include "ui/pages/scope/CWaveformDisplay.h"
#include "ui/window/EditorGeometry.h"
#include "ui/window/PluginEditor.h"
#include "ui/window/VersionText.h"

namespace
{
constexpr int kRandomiserView = 3;
constexpr int kFirstKeyTarget = 200, kLastKeyTarget = 299;
constexpr int kRockerFirstRepeat = 10, kRockerRepeat = 1;
constexpr int kLastPattern = 127;
constexpr int kTextSize = 256;

const char* const kViewNames[] = {"Classic Edit", "Pattern Edit", "Audio Analyzer", "Advanced Randomizer",
                                  "Preferences / Setup"};

int clampPattern(int p)
{
    return juce::jlimit(0, kLastPattern, p);
}

bool isController(int cc)
{
    return cc >= 0 && cc <= 127;
}
} // namespace

void JuceDemoPluginAudioProcessorEditor::timerCallback()
{
    pollParameters();
    const int v = processor.PatternKnob;
    followViewMode(v);
    midiLed->setValue(processor.midiActivity > 0 ? 1.0 : 0.0, juce::dontSendNotification);
    splashView->setVisible(splashVisible);
    if (sticker != nullptr)
        sticker->setVisible(processor.ShowSticker != 0);
    if (processor.guiRefresh)
    {
        for (juce::Component* page : {(juce::Component*) customDisplay, (juce::Component*) airaDisplay,
                                      (juce::Component*) analyzer, (juce::Component*) randomView,
                                      (juce::Component*) preferencesView, (juce::Component*) waveformDisplay,
                                      (juce::Component*) patternDisplay})
            page->repaint();
        processor.guiRefresh = 0;
    }
    showPages(v);
    stepHeldRocker();
    followEngine();
    updateLearnOverlays();
    char digits[8];
    std::snprintf(digits, sizeof(digits), "%03d", lastPattern);
    if (patternDigits->text != digits)
        patternDigits->setText(digits);
    stepStatus();
    ++tickCount;
}

void JuceDemoPluginAudioProcessorEditor::pollParameters()
{
    for (int i = 0; i < widgetCount && i < oxn3::kFrontWidgets; ++i)
        if (widgets_front[i].parameter >= 0)
            widgets[i]->setValue(processor.getParameter(widgets_front[i].parameter), juce::dontSendNotification);
}

void JuceDemoPluginAudioProcessorEditor::followViewMode(int v)
{
    if (v != lastViewMode)
    {
        if (lastViewMode == kRandomiserView)
            processor.advancedRandom.apply = 0;
        splashVisible = false;
    }
    if (v != lastViewMode || !splashVisible)
    {
        splashView->frameCounter = 0;
        splashView->scrollOffset = 0;
        splashView->repaint();
    }
}

void JuceDemoPluginAudioProcessorEditor::showPages(int v)
{
    struct Page
    {
        juce::Component* component;
        bool shown;
    };
    const Page pages[] = {{customDisplay, v == 0},    {airaDisplay, v == 1},     {analyzer, v == 2},
                          {randomView, v == 3},       {preferencesView, v == 4}, {waveformDisplay, v == -1},
                          {patternDisplay, v == -1}};
    for (const auto& p : pages)
        p.component->setVisible(!splashVisible && p.shown);
    if (splashVisible)
        splashView->onIdle(true);
    else
    {
        customDisplay->onIdle(v == 0);
        airaDisplay->onIdle(v == 1);
        analyzer->onIdle(v == 2);
        randomView->onIdle(v == 3);
        preferencesView->onIdle(v == 4);
        waveformDisplay->onIdle(v == -1);
        patternDisplay->onIdle(v == -1);
    }
    lastViewMode = v;
}

void JuceDemoPluginAudioProcessorEditor::stepHeldRocker()
{
    const int c = rockerCountdown;
    rockerCountdown = c - 1;
    if (c >= 1 || rocker == nullptr || rocker->rockerValue == 1.0)
        return;
    const int step = rocker->rockerValue < 1.0 ? 1 : -1;
    synth->currentPattern = clampPattern(synth->currentPattern + step);
    rockerCountdown = kRockerRepeat;
}

void JuceDemoPluginAudioProcessorEditor::followEngine()
{
    if (synth->currentPattern != lastPattern || synth->running != lastRunning || synth->stepRecord)
    {
        customDisplay->repaint();
        airaDisplay->repaint();
        patternDisplay->repaint();
        patternDigits->repaint();
    }
    lastPattern = synth->currentPattern;
    lastRunning = synth->running;
}

void JuceDemoPluginAudioProcessorEditor::updateLearnOverlays()
{
    const bool learning = processor.midiLearnActive != 0;
    for (int i = 0; i < widgetCount; ++i)
    {
        CBitmapSlider* w = widgets[i];
        if (w->parameterIndex < 0)
            continue;
        const int cc = processor.LookupCC(w->parameterIndex);
        char text[16];
        std::snprintf(text, sizeof(text), isController(cc) ? "#%d" : "N/A", cc);
        if (w->overlayText != text)
            w->setMidiLearnString(text);
        if (w->showOverlay != learning)
        {
            w->showOverlay = learning;
            w->repaint();
        }
    }
}

void JuceDemoPluginAudioProcessorEditor::stepStatus()
{
    const int counter = statusCounter;
    switch (statusState)
    {
        case oxn3::kStatusStart:
            statusState = oxn3::kStatusBanner;
            statusCounter = oxn3::kBannerTicks;
            break;
        case oxn3::kStatusBanner:
            showStatusIfDifferent(oxn3::kVersionBanner);
            statusCounter = counter - 1;
            if (counter < 2)
                statusState = oxn3::kStatusBannerHold, statusCounter = oxn3::kBannerHoldTicks;
            break;
        case oxn3::kStatusBannerHold:
        case oxn3::kStatusHeld:
            statusCounter = counter - 1;
            if (counter < 2)
                statusState = oxn3::kStatusLive;
            break;
        case oxn3::kStatusLive: showLiveStatus(); break;
        default: break;
    }
}

void JuceDemoPluginAudioProcessorEditor::showLiveStatus()
{
    char text[kTextSize];
    if (processor.midiLearnActive == 0)
    {
        std::snprintf(text, sizeof(text), "%3d BPM | %s | %s%s", (int) processor.hostBpm,
                      processor.MidiMode == 0 ? "Pattern" : "Note",
                      processor.SyncMode != 0 ? "Host Sync" : "Midi Trigger", processor.MidiOutput != 0 ? " | M" : "");
        return showStatusIfDifferent(text);
    }
    const auto t = (unsigned int) processor.touchedParameter;
    if (t < kFirstKeyTarget)
    {
        const int cc = processor.LookupCC((int) t);
        char ccText[16];
        std::snprintf(ccText, sizeof(ccText), isController(cc) ? "CC #%2d" : "N/A", cc);
        std::snprintf(text, sizeof(text), tickCount % 8 < 3 ? "Midi Learn: %s -> %s" : "Midi Learn  %s -> %s", ccText,
                      processor.getParameterName((int) t).toRawUTF8());
    }
    else if (t <= kLastKeyTarget)
        std::snprintf(text, sizeof(text), "Midi Key %d -> %s", processor.lastMidiNote,
                      processor.getParameterName((int) t).toRawUTF8());
    else
        std::snprintf(text, sizeof(text), "Touch a parameter");
    showStatusIfDifferent(text);
}

// Builds a String only when the text changes, so a quiet tick allocates nothing.
void JuceDemoPluginAudioProcessorEditor::showStatusIfDifferent(const char* text)
{
    if (patchDisplay->text != text)
        setPatchDisplayText(juce::String::fromUTF8(text), 0);
}

void JuceDemoPluginAudioProcessorEditor::setPatchDisplayText(juce::String text, int ticks)
{
    if (patchDisplay->text != text)
    {
        patchDisplay->repaint();
        patchDisplay->text = text;
    }
    if (ticks > 0)
    {
        statusCounter = ticks;
        statusState = oxn3::kStatusHeld;
    }
}

void JuceDemoPluginAudioProcessorEditor::sliderValueChanged(juce::Slider* slider)
{
    const auto v = (float) slider->getValue();
    const auto name = slider->getName();
    if (name == "patternKnob")
    {
        const int view = (int) (v * 4.0f);
        processor.PatternKnob = view;
        setPatchDisplayText(view >= 0 && view <= 4 ? kViewNames[view] : "", oxn3::kViewTextTicks);
        return;
    }
    for (int i = 0; i < oxn3::kFrontWidgets; ++i)
        if (widgets_front[i].parameter >= 0 && name == widgets_front[i].name)
            processor.setParameterFromWindow(widgets_front[i].parameter, v);
    if (processor.midiLearnActive == 0 && processor.touchedParameter >= 0)
        setPatchDisplayText(processor.getParameterTextForGUI(processor.touchedParameter), oxn3::kParameterTextTicks);
}

void JuceDemoPluginAudioProcessorEditor::sliderDragStarted(juce::Slider* slider)
{
    if (auto* w = getBitmapSliderWithName(slider->getName()); w != nullptr && w->parameterIndex >= 0)
        processor.getParameters()[w->parameterIndex]->beginChangeGesture();
}

void JuceDemoPluginAudioProcessorEditor::sliderDragEnded(juce::Slider* slider)
{
    if (auto* w = getBitmapSliderWithName(slider->getName()); w != nullptr && w->parameterIndex >= 0)
        processor.getParameters()[w->parameterIndex]->endChangeGesture();
}

void JuceDemoPluginAudioProcessorEditor::valueChanged(int tag, float value)
{
    if (tag == oxn3::kPatchDisplayTag)
    {
        if (value > 0)
            showPatchMenu();
        return;
    }
    if (tag != oxn3::kRockerTag || value == 1.0f)
        return;
    synth->currentPattern = clampPattern(synth->currentPattern + (value < 1.0f ? 1 : -1));
    rockerCountdown = kRockerFirstRepeat;
}
