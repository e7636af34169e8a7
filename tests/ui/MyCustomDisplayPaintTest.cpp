#include <cmath>

#include <gtest/gtest.h>

#include "PanelTestHelpers.h"
#include "ui/MyCustomDisplay.h"
#include "ui/PanelRules.h"

using oxn3test::blankImage;
using oxn3test::countPixelsUnlike;

namespace
{
const juce::Colour kBack(0xff202428);

struct Page : MyCustomDisplay
{
    Page() : MyCustomDisplay(nullptr, nullptr) {}
};

juce::Image paintPage(Page& page, float scale, int w, int h)
{
    page.setScale(scale);
    juce::Image image = blankImage((int)(w * scale), (int)(h * scale), kBack);
    juce::Graphics g(image);
    page.paint(g);
    return image;
}

bool isLit(const juce::Image& image, float x, float y)
{
    float brightest = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            brightest = std::max(brightest, image.getPixelAt((int)x + dx, (int)y + dy).getBrightness());
    return brightest > 0.5f;
}
} // namespace

// Every control type on one page, as a musician would see it.
TEST(PanelPaint, GalleryOfEveryControlTypeAtScaleOneAndTwo)
{
    Page page;
    page.addControl(0, 0, 10, 10, 60, 20, "Button", 0);
    page.addControl(1, 1, 90, 20, 60, 60, "", 0.4f);
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
    for (float scale : {1.0f, 2.0f})
    {
        juce::Image image = paintPage(page, scale, 754, 130);
        juce::Graphics g(image);
        page.drawPlayButton(g, juce::Rectangle<float>(690, 10, 40, 40) * scale, 0, 255);
        page.drawPlayButton(g, juce::Rectangle<float>(690, 60, 40, 40) * scale, 1, 200);
        oxn3test::saveSnapshot(image, scale == 1.0f ? "panel_controls_x1" : "panel_controls_x2");
        EXPECT_EQ(page.controls[0].dirty, 0);
        // Captions need a working font: the centred caption must put pixels down.
        EXPECT_GT(
            countPixelsUnlike(image, juce::Rectangle<float>(350, 40, 80, 16).toNearestInt() * scale, kBack),
            20 * scale);
        // A lit toggle box is filled, an unlit one only outlined.
        EXPECT_TRUE(isLit(image, 357 * scale, 17 * scale));
        EXPECT_FALSE(isLit(image, 377 * scale, 17 * scale));
    }
}

TEST(PanelPaint, KnobPointerFollowsTheValue)
{
    LINE_THICKNESS = 1.5f;
    for (float scale : {1.0f, 2.0f})
    {
        Page page;
        PanelControl* knob = page.addControl(7, 7, 20, 20, 40, 40, "", 0);
        const float cx = 40 * scale, cy = 40 * scale;
        const auto tip = [&](float value)
        {
            const float a = oxn3::knobAngle(value);
            return juce::Point<float>(cx + 11 * scale * std::cos(a), cy + 11 * scale * std::sin(a));
        };
        for (float value : {0.0f, 0.5f, 1.0f})
        {
            knob->value = value;
            const juce::Image image = paintPage(page, scale, 80, 80);
            for (float other : {0.0f, 0.5f, 1.0f})
                EXPECT_EQ(isLit(image, tip(other).x, tip(other).y), other == value) << value << " " << other;
        }
    }
    LINE_THICKNESS = 0.75f;
}

TEST(PanelPaint, OverlayBoxKeepsFontHeightTwelveAtAnyScale)
{
    int heights[2] = {};
    for (int i = 0; i < 2; ++i)
    {
        Page page;
        PanelControl* c = page.addControl(1, 6, 10, 10, 60, 40, "", 0);
        c->showOverlay = 1;
        strcpy(c->overlayText, "#74");
        const float scale = i == 0 ? 1.0f : 2.0f;
        const juce::Image image = paintPage(page, scale, 80, 60);
        const int column = (int)(40 * scale);
        int top = -1, bottom = -1;
        for (int y = 0; y < image.getHeight(); ++y)
            if (image.getPixelAt(column, y).getBrightness() > 0.6f) bottom = y, top = top < 0 ? y : top;
        heights[i] = bottom - top;
    }
    EXPECT_NEAR(heights[0], 18, 1);
    EXPECT_NEAR(heights[1], 18, 1);
}
