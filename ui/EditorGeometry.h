#pragma once

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

// A size from a host state, held within what the corner and the menu can produce.
inline juce::Point<int> restoredEditorSize(int width, int height)
{
    return {juce::jlimit(kMinWidth, kMaxWidth, width), juce::jlimit(kMinHeight, kMaxMenuHeight, height)};
}
} // namespace oxn3
