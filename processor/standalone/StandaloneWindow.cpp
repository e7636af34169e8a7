#include "processor/standalone/StandaloneWindow.h"

#include "processor/standalone/StandaloneAudio.h"

namespace
{
constexpr int kCheckMilliseconds = 500; // a device can fail or come back at any time
// JUCE's Options button takes the title bar's left 68 pixels; the notice keeps its top and height.
constexpr int kNoticeLeft = 76;
constexpr int kNoticeTop = 6;
constexpr int kNoticeInset = 8;

juce::Colour windowBackground()
{
    return juce::LookAndFeel::getDefaultLookAndFeel().findColour(juce::ResizableWindow::backgroundColourId);
}
} // namespace

StandaloneWindow::StandaloneWindow(const juce::String& title, juce::PropertySet* settings)
    : juce::StandaloneFilterWindow(title, windowBackground(), settings, false)
{
    oxn3standalone::useJackWhenSilent(getDeviceManager());

    // The colours of JUCE's own notices in this window.
    noAudioNotice.setButtonText(oxn3standalone::kNoAudioOutputText);
    noAudioNotice.setColour(juce::TextButton::buttonColourId, juce::Colours::lightgoldenrodyellow);
    noAudioNotice.setColour(juce::TextButton::textColourOffId, juce::Colours::black);
    noAudioNotice.onClick = [this] { pluginHolder->showAudioSettingsDialog(); };
    juce::Component::addChildComponent(noAudioNotice); // in the title bar, beside the Options button
    placeNotice();
    timerCallback();
    startTimer(kCheckMilliseconds);
}

void StandaloneWindow::resized()
{
    juce::StandaloneFilterWindow::resized();
    placeNotice();
}

void StandaloneWindow::timerCallback()
{
    noAudioNotice.setVisible(!oxn3standalone::playsThroughAnOutput(getDeviceManager()));
}

void StandaloneWindow::placeNotice()
{
    int right = getWidth();
    for (juce::Button* button : {getMinimiseButton(), getMaximiseButton(), getCloseButton()})
        if (button != nullptr && button->isVisible())
            right = juce::jmin(right, button->getX());
    noAudioNotice.setBounds(kNoticeLeft, kNoticeTop, juce::jmax(0, right - kNoticeInset - kNoticeLeft),
                            getTitleBarHeight() - kNoticeInset);
}
