#pragma once

#include <algorithm>
#include <cmath>

#include <juce_graphics/juce_graphics.h>

// The window's fixed geometry in design units of the 754 x 276 window, and the small rules on
// it that tests check without a window.
namespace oxn3
{
constexpr int kMinWidth = 150, kMinHeight = 50;
constexpr int kMaxWidth = 1508;
constexpr int kMaxCornerHeight = 550; // the resize corner's limit
constexpr int kMaxMenuHeight = 552;   // the menu's "Large GUI Size" is 1508 x 552

constexpr int kStatusStart = 10, kStatusBanner = 11, kStatusBannerHold = 12, kStatusHeld = 100, kStatusLive = 0;
constexpr int kBannerTicks = 75, kBannerHoldTicks = 5;
constexpr int kViewTextTicks = 50, kParameterTextTicks = 50;

const juce::Rectangle<int> kPageArea{66, 130, 622, 133};
const juce::Rectangle<int> kStepTableArea{66, 130, 622, 137};
const juce::Rectangle<int> kPatchDisplayArea{244, 6, 216, 25};
const juce::Rectangle<int> kPatternDigitsArea{460, 6, 51, 25};
const juce::Rectangle<float> kMidiLedArea{567.4f, 15.5f, 7.0f, 7.0f};

// Every corner scaled and truncated toward zero, as the layout places children.
inline juce::Rectangle<int> scaledRect(juce::Rectangle<int> r, float s)
{
    return {(int) ((float) r.getX() * s), (int) ((float) r.getY() * s), (int) ((float) r.getWidth() * s),
            (int) ((float) r.getHeight() * s)};
}

// The logo on the background opens the about view.
inline bool isInLogo(int x, int y)
{
    return x >= 20 && x <= 104 && y >= 55 && y <= 98;
}

constexpr float kPanelWidth = 754.0f, kPanelHeight = 276.0f;

// A window whose height is the width's share of 754 : 276 give or take the one pixel a rounding
// constrainer leaves: the panel fills it exactly as at its design shape.
inline bool isPanelShape(int width, int height)
{
    return std::abs((float) height - (float) width * kPanelHeight / kPanelWidth) <= 1.0f;
}

// Where the panel sits in a window: filling a window of its own shape, else as large as fits and
// centred, so a size forced by a host or window manager never stretches it.
struct PanelPlace
{
    float scale;
    juce::Rectangle<int> area;
};

inline PanelPlace panelPlace(int width, int height)
{
    if (width <= 0 || height <= 0 || isPanelShape(width, height))
        return {(float) width / kPanelWidth, {0, 0, juce::jmax(0, width), juce::jmax(0, height)}};
    const float s = std::min((float) width / kPanelWidth, (float) height / kPanelHeight);
    const int w = juce::roundToInt(kPanelWidth * s), h = juce::roundToInt(kPanelHeight * s);
    return {s, {(width - w) / 2, (height - h) / 2, w, h}};
}

// The size worth keeping for a window: the panel's own, within the limits the corner and the menu
// keep (150 x 50 to 1508 x 552), never the margins a forced window added.
inline juce::Point<int> panelSizeWithinLimits(int width, int height)
{
    if (isPanelShape(width, height) && width >= kMinWidth && width <= kMaxWidth && height >= kMinHeight
        && height <= kMaxMenuHeight)
        return {width, height};
    const float smallest = std::max((float) kMinWidth / kPanelWidth, (float) kMinHeight / kPanelHeight);
    const float largest = std::min((float) kMaxWidth / kPanelWidth, (float) kMaxMenuHeight / kPanelHeight);
    const float s = juce::jlimit(smallest, largest, panelPlace(juce::jmax(1, width), juce::jmax(1, height)).scale);
    return {juce::roundToInt(kPanelWidth * s), juce::roundToInt(kPanelHeight * s)};
}

// A size from a host state: a panel shape within the limits.
inline juce::Point<int> restoredEditorSize(int width, int height)
{
    return panelSizeWithinLimits(width, height);
}
} // namespace oxn3
