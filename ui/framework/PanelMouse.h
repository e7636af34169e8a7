#pragma once

#include "ui/framework/MyCustomDisplay.h"

// The framework's mouse rules on plain pixel positions, so they can be driven without a window.
// MyCustomDisplay's mouse overrides forward here.
namespace oxn3
{
void panelHover(MyCustomDisplay& d, int px, int py);
void panelLeave(MyCustomDisplay& d);
void panelPress(MyCustomDisplay& d, int px, int py, int clicks);
void panelDrag(MyCustomDisplay& d, int px, int py);
void panelRelease(MyCustomDisplay& d);
} // namespace oxn3
