#pragma once
// Column arithmetic of the scope page: which captured samples each pixel column shows.

#include <algorithm>

namespace oxn3::scope
{
constexpr int kStepsPerBar = 16;
constexpr float kMinTimeZoom = 0.1f;
constexpr float kMaxTimeZoom = 100.0f;
constexpr float kDesignWidth = 622.0f;
constexpr int kScrollBarHeight = 8;

struct Column
{
    bool drawn = false;
    int start = 0;
    int count = 0;
};

// Pixel column i of a page `width` pixels wide. One bar fills the width at zoom 1, whatever the
// window size; `scrollX` is in pixels at zoom 1.
inline Column column(int i, int width, double samplesPerStep, float timeZoom, float scrollX, int bufferSamples)
{
    Column c;
    if (width <= 0)
        return c;
    const auto samplesPerColumn = static_cast<float>(samplesPerStep * kStepsPerBar / width / timeZoom);
    // ">>" has no bound: a column wider than the buffer (or infinite) is not drawn, and its
    // count must not overflow the int.
    if (!(samplesPerColumn >= 0.0f && samplesPerColumn <= static_cast<float>(bufferSamples)))
        return c;
    c.count = static_cast<int>(samplesPerColumn);
    const float pos = std::max(0.0f, timeZoom * scrollX + static_cast<float>(i));
    if (!(pos < static_cast<float>(bufferSamples)))
        return c;
    const double start = static_cast<double>(samplesPerColumn) * pos;
    if (start < 0 || start + c.count > bufferSamples)
        return c;
    c.start = static_cast<int>(start);
    c.drawn = c.count >= 0;
    return c;
}

// Zoom of a drag to pixel x: the page's design width over x, bounded.
inline float dragZoom(int x)
{
    if (x == 0)
        return kMaxTimeZoom;
    return std::clamp(kDesignWidth / static_cast<float>(x), kMinTimeZoom, kMaxTimeZoom);
}

// Width of the scroll bar, width / zoom. Beyond the page's own width it shows nothing more, so
// it stops there and an unbounded zoom-out cannot overflow the int conversions.
inline float scrollBarWidth(int width, float timeZoom)
{
    const float w = static_cast<float>(width) / timeZoom;
    return w < static_cast<float>(width) ? std::max(w, 0.0f) : static_cast<float>(std::max(width, 0));
}

// The scroll bar spans [scrollX, scrollX + width / zoom) of the bottom 8 pixels.
inline bool onScrollBar(int x, int y, int width, int height, float timeZoom, float scrollX)
{
    const int left = static_cast<int>(std::min(scrollX, static_cast<float>(width)));
    return y >= height - kScrollBarHeight && y < height && x >= left &&
           x < static_cast<int>(scrollBarWidth(width, timeZoom)) + left;
}
} // namespace oxn3::scope
