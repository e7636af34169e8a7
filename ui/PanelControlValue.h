#pragma once

#include "ui/MyCustomDisplay.h"

namespace oxn3
{
// The panel's rule for a value written from outside the mouse: dirty when the value moved since
// the previous write, so a change shows on the update after the one that brought it.
inline void storeControlValue(PanelControl& c, float v)
{
    if (c.value != c.previousValue)
        c.dirty = 1;
    c.previousValue = c.value;
    c.value = v;
}
} // namespace oxn3
