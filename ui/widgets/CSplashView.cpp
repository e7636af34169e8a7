#include "ui/widgets/CSplashView.h"

#include "ui/widgets/DisplayRules.h"
#include "ui/window/PluginEditor.h"
#include "ui/window/VersionText.h"

// Short lines: the band they are centred in reaches past the view's right edge.
const char* const CSplashView::creditsText = "OXN3\n"
                                             "Bass line synthesizer\n"
                                             "and step sequencer\n"
                                             "by Quellbrook\n"
                                             "\n"
                                             "Sound, sequencer, editor:\n"
                                             "Quellbrook\n"
                                             "\n"
                                             "Written in C++17\n"
                                             "on the JUCE framework\n"
                                             "\n"
                                             "VST3, LV2 and standalone\n"
                                             "\n"
                                             "Text set in DejaVu Sans\n"
                                             "\n"
                                             "Thank you for making\n"
                                             "music with OXN3";

CSplashView::CSplashView(juce::Image* logo, JuceDemoPluginAudioProcessorEditor* editor_)
    : MyCustomDisplay(logo, editor_)
{
}

CSplashView::~CSplashView() = default;

void CSplashView::mouseDown(const juce::MouseEvent&)
{
    if (editor != nullptr) editor->splashVisible = false;
}

void CSplashView::mouseDrag(const juce::MouseEvent& e)
{
    // The whole distance from the press is added on every event; onIdle lets it decay.
    scrollOffset += -0.25f * (float)e.getDistanceFromDragStartY();
}

void CSplashView::onIdle(bool)
{
    repaint();
    ++frameCounter;
    scrollOffset *= 0.9f;
}

void CSplashView::paint(juce::Graphics& g)
{
    const float s = scale;
    const int alpha = oxn3::splashAlpha(frameCounter);
    g.setColour(juce::Colour((juce::uint8)100, (juce::uint8)100, (juce::uint8)100, (juce::uint8)alpha));
    if (image != nullptr && image->isValid())
        g.drawImage(*image, 0, (int)(-6.0f * s), (int)((float)image->getWidth() * 0.5f * s),
                    (int)((float)image->getHeight() * 0.5f * s), 0, 0, image->getWidth(), image->getHeight());

    g.setColour(juce::Colour((juce::uint8)140, (juce::uint8)140, (juce::uint8)140, (juce::uint8)alpha));
    g.setFont(10.0f * s);
    g.drawText(oxn3::kAboutVersionLine,
               juce::Rectangle<int>((int)(85.0f * s), (int)(121.0f * s), (int)(171.0f * s), (int)(16.0f * s)),
               juce::Justification::topRight, true);

    g.setColour(juce::Colour((juce::uint8)235, (juce::uint8)245, (juce::uint8)255));
    g.setFont(16.0f * s);
    g.drawMultiLineText(creditsText, (int)(280.0f * s),
                        (int)(150.0f * s - (float)frameCounter - scrollOffset), (int)(400.0f * s),
                        juce::Justification::centred);
}
