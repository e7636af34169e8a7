// Painting the analyser page: the help view or the waveform with play position, step lines
// and markers; the framework draws the buttons on top.
#include <algorithm>
#include <cmath>

#include "processor/PluginProcessor.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"
#include "ui/framework/CaptionFit.h"
#include "ui/window/PluginEditor.h"

namespace
{
const juce::Colour kPanel(220, 230, 255);
const juce::Colour kMarker(255, 100, 0);
constexpr int kTextAlpha = 250;
constexpr float kFullScale = 50.0f;   // design units above and below the centre line
constexpr float kStepLineInset = 50.0f;
constexpr int kHandle = 8;
constexpr float kHandleFont = 8.0f;   // not scaled
constexpr float kHelpFont = 14.0f;
constexpr float kNoWaveFont = 20.0f;
constexpr int kHelpBlockFrames = 5;   // paints between two blocks and for one block's fade
constexpr float kHelpRise = 10.0f;    // pixels a block rises while it fades in

const char* const kHelpBlocks[] = {
    "Instructions\n\n",
    "1. Sample one measure of a pattern with the 303 set to:\n  - Minimum Resonance\n  - Maximum Cutoff, Envmod, "
    "Decay and Accent\n  - Sawtooth waveform, Low tempo, Tuning at center and Volume so no clipping occurs\n",
    "2. After Loading the audio adjust the number of steps you wish to detect and\n\t   set the left and right "
    "markers so that the lines line up with the steps\n",
    "3. Select Detect, OXN3 will attempt to transcribe the pattern\n",
};
constexpr float kHelpLines[] = {1.0f, 2.5f, 6.75f, 9.0f};

// The help font, narrowed where the typeface is too wide for the longest line to fit: a wrapped
// line would run into the next block.
juce::Font helpFont(float height, int lineWidth)
{
    juce::Font font(height);
    float widest = 0;
    for (const char* block : kHelpBlocks)
        for (const juce::String& line : juce::StringArray::fromLines(block))
            widest = std::max(widest, font.getStringWidthFloat(line));
    if (widest > static_cast<float>(lineWidth) && lineWidth > 0)
        font.setHorizontalScale(static_cast<float>(lineWidth) / widest * 0.98f);
    return font;
}
} // namespace

void CPatternAnalyzer::paint(juce::Graphics& g)
{
    if (helpVisible != helpShown)
    {
        helpFrame = 0;
        helpShown = helpVisible;
    }
    const WaveArea area = waveArea();
    if (helpVisible)
        paintHelp(g);
    else if (processor().thumbnail == nullptr)
    {
        g.setColour(kPanel.withAlpha(static_cast<juce::uint8>(kTextAlpha)));
        g.setFont(kNoWaveFont * scale);
        oxn3::drawCaption(g, "NO WAVE LOADED",
                          juce::Rectangle<int>(static_cast<int>(area.x0), 0, static_cast<int>(area.width),
                                               static_cast<int>(area.height)).toFloat(),
                          juce::Justification::centred);
    }
    else
    {
        paintWave(g, area);
        paintMarkers(g, area);
    }
    MyCustomDisplay::paint(g);
}

void CPatternAnalyzer::paintHelp(juce::Graphics& g)
{
    const int x = static_cast<int>(waveArea().x0);
    const int lineWidth = static_cast<int>(static_cast<float>(getWidth()) - waveArea().x0);
    g.setFont(helpFont(kHelpFont * scale, lineWidth));
    for (int j = 0; j < 4; ++j)
    {
        const float a = std::clamp(static_cast<float>(helpFrame - kHelpBlockFrames * j) / kHelpBlockFrames, 0.0f, 1.0f);
        g.setColour(juce::Colour(static_cast<juce::uint8>(220 * a), static_cast<juce::uint8>(230 * a),
                                 static_cast<juce::uint8>(255 * a), static_cast<juce::uint8>(kTextAlpha)));
        const int y = static_cast<int>((1 - a) * kHelpRise + kHelpLines[j] * kHelpFont * scale);
        g.drawMultiLineText(kHelpBlocks[j], x, y, lineWidth);
    }
    ++helpFrame;
}

void CPatternAnalyzer::paintWave(juce::Graphics& g, const WaveArea& area)
{
    JuceDemoPluginAudioProcessor& p = processor();
    const float mid = static_cast<float>(static_cast<int>(area.height) / 2);
    g.setColour(juce::Colours::white.withAlpha(static_cast<juce::uint8>(200)));
    g.drawLine(area.x0, mid, static_cast<float>(getWidth()), mid, LINE_THICKNESS);

    const int n = p.sampleBuffer.getNumSamples();
    if (area.width > 0 && n > 0 && p.sampleBuffer.getNumChannels() > 0)
    {
        const float* samples = p.sampleBuffer.getReadPointer(0);
        const bool clear = p.sampleBuffer.hasBeenCleared();
        const float perColumn = static_cast<float>(n) / area.width;
        g.setColour(juce::Colour(154, 162, 180));
        for (int i = 0; static_cast<float>(i) < area.width; ++i)
        {
            const int start = static_cast<int>(perColumn * static_cast<float>(i));
            if (static_cast<float>(start) + perColumn >= static_cast<float>(n))
                continue;
            float lo = 0, hi = 0;
            if (!clear)
            {
                const auto range = juce::FloatVectorOperations::findMinAndMax(samples + start, static_cast<int>(perColumn));
                lo = range.getStart();
                hi = range.getEnd();
            }
            const float x = area.x0 + static_cast<float>(i);
            for (float level : {lo, hi})
            {
                const float half = std::fabs(level * kFullScale * scale);
                g.fillRect(x, mid - half, 1.0f, 2 * half);
            }
        }
        const float played = static_cast<float>(static_cast<int>(p.samplePlayPosition)) * area.width / static_cast<float>(n);
        g.setColour(juce::Colours::white);
        g.drawVerticalLine(static_cast<int>(played + area.x0), 0.0f, area.height);
    }

    const int length = currentPattern().getStepCount();
    if (length >= 1)
    {
        const int a = static_cast<int>(selectionStart * area.width + area.x0);
        const int b = static_cast<int>(selectionEnd * area.width + area.x0) - a;
        g.setColour(juce::Colours::white.withAlpha(static_cast<juce::uint8>(150)));
        for (int i = 0; i < length; ++i)
        {
            const int x = static_cast<int>(static_cast<float>(i) * static_cast<float>(b) / static_cast<float>(length) + static_cast<float>(a));
            g.drawVerticalLine(x, kStepLineInset * scale, area.height - kStepLineInset * scale);
        }
    }
}

void CPatternAnalyzer::paintMarkers(juce::Graphics& g, const WaveArea& area)
{
    const juce::Graphics::ScopedSaveState saved(g);
    const int top = static_cast<int>(area.height) - kHandle;
    const struct
    {
        int line, square;
        const char* name;
    } markers[] = {
        {static_cast<int>(selectionStart * area.width + area.x0), static_cast<int>(selectionStart * area.width + area.x0), "L"},
        {static_cast<int>(area.x0 + area.width * selectionEnd), static_cast<int>(area.x0 + area.width * selectionEnd) - kHandle, "R"},
    };
    g.setFont(kHandleFont);
    for (const auto& m : markers)
    {
        g.setColour(kMarker);
        g.drawVerticalLine(m.line, 0.0f, area.height);
        g.fillRect(m.square, top, kHandle, kHandle);
        g.setColour(juce::Colours::black);
        oxn3::drawCaption(g, m.name, juce::Rectangle<int>(m.square, top, kHandle, kHandle).toFloat(),
                          juce::Justification::centred);
    }
}
