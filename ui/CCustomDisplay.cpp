#include "ui/CCustomDisplay.h"

CCustomDisplay::CCustomDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor) : MyCustomDisplay(image, editor) {}
