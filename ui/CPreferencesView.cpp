#include "ui/CPreferencesView.h"

CPreferencesView::CPreferencesView(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor) : MyCustomDisplay(image, editor) {}
