#include "ui/CPatternDisplay.h"

CPatternDisplay::CPatternDisplay(juce::Image* image_, JuceDemoPluginAudioProcessorEditor* editor_)
    : editor(editor_), image(image_)
{
}
