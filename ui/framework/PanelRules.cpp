#include "ui/framework/PanelRules.h"

#include <cmath>
#include <cstring>

namespace oxn3
{
float clamp01(float v)
{
    if (!(v > 0.0f)) // NaN from an empty control lands at 0 too
        return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

PixelBounds hitBounds(const PanelControl& c, float s)
{
    PixelBounds b{(int)(c.x * s), (int)(c.y * s), (int)((c.x + c.w + 1.0f) * s),
                  (int)((c.y + c.h + 1.0f) * s)};
    if (c.type == 2)
    {
        b.left = (int)((float)b.left - 4.0f * s);
        b.right = (int)((float)b.right + 4.0f * s);
    }
    return b;
}

bool hits(const PanelControl& c, float s, int px, int py)
{
    const PixelBounds b = hitBounds(c, s);
    return b.left <= px && px <= b.right && b.top <= py && py <= b.bottom;
}

void updateValue(PanelControl& c, float newValue)
{
    if (c.value != c.previousValue) c.dirty = 1;
    c.previousValue = c.value;
    c.value = newValue;
}

float knobDragValue(float downValue, int py, int downY)
{
    return clamp01(downValue - 0.0075f * (float)(py - downY));
}

float sliderValueAt(const PanelControl& c, float s, int py)
{
    return clamp01(((float)py - c.y * s) / (c.h * s));
}

float switchPositionAt(const PanelControl& c, float s, int px)
{
    return (float)(int)(2.0f * clamp01(((float)px / s - c.x) / c.w + 0.33f));
}

float knobAngle(float position)
{
    return position * 5.2359877f - 4.1887903f;
}

juce::Rectangle<int> dirtyArea(const PanelControl& c, float s)
{
    const juce::Rectangle<float> r(c.x * s - 8.0f, c.y * s - 8.0f, juce::jmax(0.0f, c.w * s + 16.0f),
                                   juce::jmax(0.0f, c.h * s + 16.0f));
    return r.getSmallestIntegerContainer();
}

void copyText(char* dest, std::size_t capacity, const char* src)
{
    if (capacity == 0) return;
    std::size_t n = src != nullptr ? strnlen(src, capacity) : 0;
    if (n == capacity)
    {
        n = capacity - 1;
        while (n > 0 && ((unsigned char)src[n] & 0xC0) == 0x80)
            --n;
    }
    if (n > 0) std::memcpy(dest, src, n);
    dest[n] = '\0';
}

juce::String recordText(const char* text, std::size_t capacity)
{
    return juce::String::fromUTF8(text, (int)strnlen(text, capacity));
}

juce::Colour panelColour(int alpha)
{
    return juce::Colour((juce::uint8)220, (juce::uint8)230, (juce::uint8)255, (juce::uint8)(alpha & 255));
}
} // namespace oxn3
