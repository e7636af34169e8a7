#include "ui/pages/scope/CWaveformDisplay.h"

#include "engine/Synth303.h"
#include "processor/PluginProcessor.h"
#include "ui/framework/PanelRules.h"
#include "ui/window/PluginEditor.h"
#include "ui/pages/scope/ScopeGeometry.h"

namespace
{
struct ButtonRow
{
    int tag;
    float x, w;
    const char* label;
};

constexpr ButtonRow kButtons[] = {
    {CWaveformDisplay::kPlay, 0, 50, "Play"},         {CWaveformDisplay::kPrevChannel, 60, 50, "<"},
    {CWaveformDisplay::kChannelName, 120, 100, "Text"}, {CWaveformDisplay::kNextChannel, 230, 50, ">"},
    {CWaveformDisplay::kReset, 290, 50, "Reset"},      {CWaveformDisplay::kZoomIn, 350, 50, "Zoom In"},
    {CWaveformDisplay::kZoomOut, 410, 50, "Zoom Out"}, {CWaveformDisplay::kTimeIn, 470, 50, "<<"},
    {CWaveformDisplay::kTimeOut, 530, 50, ">>"},
};

constexpr int kButtonHeight = 16;
constexpr float kUnitsPerSampleValue = 100.0f;

void setLabel(PanelControl* control, const char* text)
{
    if (control == nullptr)
        return;
    oxn3::copyText(control->label, sizeof(control->label), text);
    control->dirty = 1;
}
} // namespace

CWaveformDisplay::CWaveformDisplay(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : MyCustomDisplay(image_, editor_)
{
    for (const auto& b : kButtons)
        addControl(b.tag, 0, b.x, 0, b.w, kButtonHeight, b.label, 0);
    setRepaintsOnMouseActivity(true);
}

CWaveformDisplay::~CWaveformDisplay() = default;

int* CWaveformDisplay::captureSource() const
{
    return editor != nullptr ? &editor->processor.captureSource : nullptr;
}

void CWaveformDisplay::buttonClicked(int tag)
{
    int* source = captureSource();
    switch (tag)
    {
    case kPlay:
        if (synth != nullptr)
            synth->setRunStop(synth->running == 0 ? 1 : 0);
        break;
    case kPrevChannel:
        if (source != nullptr)
            *source = *source <= 0 ? oxn3::kScopeChannels - 1 : *source - 1;
        break;
    case kNextChannel:
        if (source != nullptr)
            *source = *source >= oxn3::kScopeChannels - 1 ? 0 : *source + 1;
        break;
    case kReset: timeZoom = gain = 1.0f; break;
    case kZoomIn: gain *= 2.0f; break;
    case kZoomOut: gain *= 0.5f; break;
    case kTimeIn: timeZoom *= 1.5f; break;
    case kTimeOut: timeZoom /= 1.5f; break;
    default: break;
    }
}

void CWaveformDisplay::onIdle(bool tick)
{
    if (!tick)
        return;
    MyCustomDisplay::onIdle(true);
    const int* source = captureSource();
    if (synth != nullptr && source != nullptr && *source >= 0 && *source < oxn3::kScopeChannels &&
        synth->scopeNames[*source] != nullptr)
        setLabel(getControlWithTag(kChannelName), synth->scopeNames[*source]);
    setLabel(getControlWithTag(kPlay), synth != nullptr && synth->running != 0 ? "Stop" : "Play");
    repaint();
}

void CWaveformDisplay::paint(juce::Graphics& g)
{
    const int width = getWidth(), height = getHeight();
    const float s = scale;
    g.setColour(juce::Colours::white.withAlpha(static_cast<juce::uint8>(150)));
    if (synth != nullptr && editor != nullptr)
    {
        const auto& buffer = editor->processor.captureBuffer;
        const int samples = buffer.getNumChannels() > 0 ? buffer.getNumSamples() : 0;
        const float* data = samples > 0 ? buffer.getReadPointer(0) : nullptr;
        const float middle = static_cast<float>(height / 2);
        const float unit = kUnitsPerSampleValue * s * gain;
        for (int i = 0; i < width && data != nullptr; ++i)
        {
            const auto c = oxn3::scope::column(i, width, synth->samplesPerStep, timeZoom, scrollX, samples);
            if (!c.drawn)
                continue;
            auto range = juce::Range<float>(0.0f, 0.0f);
            if (!buffer.hasBeenCleared() && c.count > 0)
                range = juce::FloatVectorOperations::findMinAndMax(data + c.start, c.count);
            // Huge zooms would push coordinates past what the rasteriser takes.
            const float top = juce::jlimit(-1.0f * height, 2.0f * height, middle - range.getEnd() * unit);
            const float bottom = juce::jlimit(-1.0f * height, 2.0f * height, middle - range.getStart() * unit);
            g.fillRect(static_cast<float>(i), top, 1.0f, std::max(1.0f, bottom - top));
        }
    }
    g.fillRect(scrollX, static_cast<float>(height - oxn3::scope::kScrollBarHeight),
               oxn3::scope::scrollBarWidth(width, timeZoom),
               static_cast<float>(oxn3::scope::kScrollBarHeight));
    MyCustomDisplay::paint(g);
}

void CWaveformDisplay::mouseDown(const juce::MouseEvent& e)
{
    MyCustomDisplay::mouseDown(e);
    grabScrollBar(e.getPosition());
}

void CWaveformDisplay::grabScrollBar(juce::Point<int> pos)
{
    if (!oxn3::scope::onScrollBar(pos.x, pos.y, getWidth(), getHeight(), timeZoom, scrollX))
        return;
    pressedIndex = kScrollBarPressed;
    grabOffset = static_cast<float>(pos.x) - scrollX;
}

void CWaveformDisplay::mouseDrag(const juce::MouseEvent& e) { dragTo(e.getPosition()); }

void CWaveformDisplay::dragTo(juce::Point<int> pos)
{
    if (pressedIndex == -1)
        timeZoom = oxn3::scope::dragZoom(pos.x);
    else if (pressedIndex == kScrollBarPressed)
        scrollX = std::max(0.0f, static_cast<float>(pos.x) - grabOffset);
}

void CWaveformDisplay::mouseUp(const juce::MouseEvent&)
{
    valueEnd(pressedTag);
    pressedIndex = -1;
    pressedTag = -1;
}
