#include "ui/framework/PanelMouse.h"

#include "ui/framework/PanelRules.h"

namespace oxn3
{
void panelHover(MyCustomDisplay& d, int px, int py)
{
    for (int i = 0; i < d.controlCount; ++i)
    {
        PanelControl& c = d.controls[i];
        if (hits(c, d.scale, px, py))
        {
            d.hoveredIndex = i;
            c.hoverTarget = 1.0f;
            c.dirty = 1;
        }
        else
            c.hoverTarget = 0.0f;
    }
}

void panelLeave(MyCustomDisplay& d)
{
    d.hoveredIndex = -1;
    for (int i = 0; i < d.controlCount; ++i)
        d.controls[i].hoverTarget = 0.0f;
}

static void applyPressRule(MyCustomDisplay& d, PanelControl& c, int px, int py, int clicks)
{
    switch (c.type)
    {
    case 1:
    case 7:
        updateValue(c, clamp01(d.downValue));
        if (c.type == 7 && clicks >= 2)
        {
            updateValue(c, 0.5f);
            d.downValue = 0.5f;
            d.valueChanged(d.pressedTag, 0.5f);
        }
        break;
    case 2:
        updateValue(c, sliderValueAt(c, d.scale, py));
        break;
    case 3:
    case 4:
    case 5:
    case 6:
        updateValue(c, clamp01(1.0f - c.value));
        break;
    case 8:
        updateValue(c, switchPositionAt(c, d.scale, px));
        d.valueChanged(d.pressedTag, c.value);
        break;
    default:
        break;
    }
}

void panelPress(MyCustomDisplay& d, int px, int py, int clicks)
{
    d.pressedIndex = -1;
    d.pressedTag = -1;
    for (int i = 0; i < d.controlCount; ++i)
    {
        const PanelControl& c = d.controls[i];
        if (!hits(c, d.scale, px, py)) continue;
        d.pressedIndex = i;
        d.pressedTag = c.tag;
        d.downX = px;
        d.downY = py;
        d.downValue = c.value;
    }
    if (d.pressedIndex < 0 || d.pressedTag < 0) return;
    PanelControl& c = d.controls[d.pressedIndex];
    // Pages read the record inside these callbacks, so the rule runs only after them.
    d.buttonClicked(d.pressedTag);
    d.valueBegin(d.pressedTag);
    d.valueChanged(d.pressedTag, c.value);
    applyPressRule(d, c, px, py, clicks);
}

void panelDrag(MyCustomDisplay& d, int px, int py)
{
    if (d.pressedIndex < 0 || d.pressedIndex >= d.controlCount) return;
    PanelControl& c = d.controls[d.pressedIndex];
    switch (c.type)
    {
    case 1:
    case 7:
        updateValue(c, knobDragValue(d.downValue, py, d.downY));
        break;
    case 2:
        updateValue(c, sliderValueAt(c, d.scale, py));
        break;
    case 8:
        updateValue(c, switchPositionAt(c, d.scale, px));
        break;
    default:
        break;
    }
    d.valueChanged(d.pressedTag, c.value);
}

void panelRelease(MyCustomDisplay& d)
{
    d.valueEnd(d.pressedTag);
    d.pressedIndex = -1;
    d.pressedTag = -1;
}
} // namespace oxn3
