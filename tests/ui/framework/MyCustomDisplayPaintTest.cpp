#include <cmath>

#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/framework/PanelRules.h"

namespace
{
const juce::Colour kBack(0xff202428);

struct Page : MyCustomDisplay
{
    Page() : MyCustomDisplay(nullptr, nullptr) {}
    juce::Image render(float scale, int w, int h)
    {
        setScale(scale);
        setSize((int)(w * scale), (int)(h * scale));
        return oxn3test::paintOf(*this, kBack);
    }
};

// Brightest pixel of the 3 x 3 block around a point.
bool isLit(const juce::Image& image, float x, float y)
{
    float brightest = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            brightest = std::max(brightest, image.getPixelAt((int)x + dx, (int)y + dy).getBrightness());
    return brightest > 0.5f;
}
} // namespace

// The knob pointer follows the value; the overlay box keeps font height 12 (box 18) at any scale.
TEST(PanelPaint, KnobPointerAndOverlayBox)
{
    LINE_THICKNESS = 1.5f;
    Page page;
    PanelControl* knob = page.addControl(7, 7, 20, 20, 40, 40, "", 0);
    for (float s : {1.0f, 2.0f})
    {
        for (float value : {0.0f, 0.5f, 1.0f})
        {
            knob->value = value;
            const juce::Image image = page.render(s, 80, 80);
            for (float other : {0.0f, 0.5f, 1.0f})
            {
                const float a = oxn3::knobAngle(other);
                EXPECT_EQ(isLit(image, 40 * s + 11 * s * std::cos(a), 40 * s + 11 * s * std::sin(a)),
                          other == value);
            }
        }
        knob->showOverlay = 1;
        strcpy(knob->overlayText, "#74");
        const juce::Image image = page.render(s, 80, 80);
        knob->showOverlay = 0;
        int top = -1, bottom = -1; // the white outline's rows in the centre column
        for (int y = (int)(40 * s) - 15; y < (int)(40 * s) + 15; ++y) // clear of the ticks
            if (image.getPixelAt((int)(40 * s), y).getBrightness() > 0.9f)
                bottom = y, top = top < 0 ? y : top;
        EXPECT_NEAR(bottom - top, 18, 1) << s;
    }
    LINE_THICKNESS = 0.75f;
}
