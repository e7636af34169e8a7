#include "ui/CPatternAnalyzer.h"

CPatternAnalyzer::CPatternAnalyzer(juce::Image* image, JuceDemoPluginAudioProcessorEditor* editor) : MyCustomDisplay(image, editor) {}
