#include "ui/CAdvancedRandomView.h"

CAdvancedRandomView::CAdvancedRandomView(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor) : MyCustomDisplay(image, editor) {}
