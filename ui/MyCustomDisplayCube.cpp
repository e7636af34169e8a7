#include "ui/MyCustomDisplay.h"

// Placeholder: the wire-frame box of the preferences page.
void MyCustomDisplay::drawCube(float, float, juce::Graphics&) {}
