#include "ui/CAiraDisplay.h"

CAiraDisplay::CAiraDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor) : MyCustomDisplay(image, editor) {}
