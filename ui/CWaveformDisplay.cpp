#include "ui/CWaveformDisplay.h"

CWaveformDisplay::CWaveformDisplay(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor) : MyCustomDisplay(image, editor) {}
