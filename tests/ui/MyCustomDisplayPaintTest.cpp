#include <cmath>

#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/PanelRules.h"

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

TEST(PanelPaint, GalleryOfEveryControlTypeAtScaleOneAndTwo)
{
    Page page;
    page.addControl(0, 0, 10, 10, 60, 20, "Button", 0);
    page.addControl(1, 1, 90, 20, 60, 60, "", 0.4f)->fontSize = 9;
    page.addControl(2, 2, 230, 10, 10, 100, "", 0.3f);
    page.addControl(3, 3, 270, 10, 60, 20, "Toggle", 1)->animation = 1;
    page.addControl(30, 3, 270, 40, 60, 20, "Off", 0);
    page.addControl(4, 4, 350, 10, 14, 14, "", 1);
    page.addControl(40, 4, 370, 10, 14, 14, "", 0);
    page.addControl(5, 5, 350, 40, 80, 16, "Centred", 0);
    page.addControl(50, 5, 350, 60, 80, 16, "Disabled", 0)->enabled = 0;
    page.addControl(6, 6, 450, 10, 80, 16, "Left caption", 0);
    page.addControl(7, 7, 470, 50, 30, 30, "", 0.75f);
    page.addControl(8, 8, 560, 10, 60, 16, "", 2);
    page.addControl(9, 9, 560, 40, 60, 20, "Hover", 0)->hoverLevel = 1;
    PanelControl* learn = page.addControl(10, 7, 640, 20, 30, 30, "", 0.5f);
    learn->showOverlay = 1;
    strcpy(learn->overlayText, "CC 74");
    for (float s : {1.0f, 2.0f})
    {
        juce::Image image = page.render(s, 754, 130);
        juce::Graphics g(image);
        page.drawPlayButton(g, juce::Rectangle<float>(690, 10, 40, 40) * s, 0, 255);
        page.drawPlayButton(g, juce::Rectangle<float>(690, 60, 40, 40) * s, 1, 200);
        oxn3test::saveSnapshot(image, s == 1.0f ? "panel_controls_x1" : "panel_controls_x2");
        EXPECT_EQ(page.controls[0].dirty, 0);
        // The caption needs a working font; a lit toggle box is filled, an unlit one only outlined.
        const auto caption = juce::Rectangle<float>(350, 40, 80, 16) * s;
        EXPECT_GT(oxn3test::countPixelsUnlike(image, caption.toNearestInt(), kBack), 20 * s);
        EXPECT_TRUE(isLit(image, 357 * s, 17 * s));
        EXPECT_FALSE(isLit(image, 377 * s, 17 * s));
    }
}

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
