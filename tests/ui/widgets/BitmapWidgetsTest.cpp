#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/framework/ValueChangedListener.h"

namespace
{
juce::Image render(juce::Component& c)
{
    return oxn3test::paintOf(c, juce::Colours::white);
}

int paintedFrame(juce::Component& c)
{
    return render(c).getPixelAt(2, 2).getRed() / 10 - 1;
}

} // namespace

TEST(BitmapWidgets, FrameChoiceFromValueAndRange)
{
    const double cases[][5] = {{63, 0, 0, 1, 0}, {63, 0.5, 0, 1, 31}, {63, 1, 0, 1, 62}, {5, 1, 1, 1, 0}};
    for (const auto& k : cases)
        EXPECT_EQ(oxn3::stripFrame((int)k[0], k[1], k[2], k[3]), (int)k[4]) << k[0] << " " << k[1];
    juce::Image strip = oxn3test::numberedStrip(5, 10, 40, false); // 200 pixels high
    CBitmapSlider knob(&strip, 5, false);
    EXPECT_EQ(knob.frameHeight * 10 + knob.frameWidth, 410);
    knob.setRange(0.0, 1.0);
    knob.setSize(20, 30);
    knob.setValue(0.75, juce::dontSendNotification);
    EXPECT_EQ(paintedFrame(knob), 3); // source y 120
}

TEST(BitmapWidgets, OverlayRepaintsOnlyOnANewString)
{
    CBitmapSlider knob(nullptr, 1, false);
    knob.setBounds(0, 0, 40, 40);
    knob.setVisible(true);
    auto* counter = new oxn3test::RepaintCounter;
    knob.setCachedComponentImage(counter);
    counter->count = 0;
    for (const char* text : {"#74", "#74", "N/A"})
        knob.setMidiLearnString(text);
    EXPECT_EQ(counter->count, 2);
    EXPECT_EQ(knob.overlayText, "N/A");
}

TEST(BitmapWidgets, LedDotInsetOnePixelInItsArea)
{
    CMovieBitmap led(nullptr, 1, false);
    led.setBounds(100, 50, 10, 10);
    led.ledArea = {101.0f, 51.0f, 8.0f, 8.0f};
    for (double value : {0.5, 0.0})
    {
        led.setValue(value, juce::dontSendNotification);
        const juce::Image image = render(led);
        EXPECT_EQ(image.getPixelAt(5, 5).getGreen() < 50, value > 0);  // red in the middle
        EXPECT_EQ(image.getPixelAt(2, 5).getGreen() < 255, value > 0); // reaches the inset edge
        EXPECT_EQ(image.getPixelAt(1, 5).getGreen(), 255);             // but not the area's edge
    }
}

TEST(BitmapWidgets, RockerReportsZeroTwoOneAndStickerIgnoresTheMouse)
{
    juce::Image strip = oxn3test::numberedStrip(3, 10, 10, false);
    CBitmapRocker rocker(&strip, 3, false);
    oxn3test::Recorder r(1000);
    rocker.listener = &r;
    rocker.tag = 1000;
    rocker.setSize(10, 20);
    EXPECT_EQ(rocker.previousRockerValue, -1.0);
    EXPECT_EQ(paintedFrame(rocker), 0);
    rocker.mouseDown(oxn3test::mouseAt(rocker, 5, 3)); // upper half
    EXPECT_EQ(paintedFrame(rocker), 1);
    rocker.mouseDrag(oxn3test::mouseAt(rocker, 5, 4)); // still upper: no second report
    rocker.mouseDrag(oxn3test::mouseAt(rocker, 5, 10));
    EXPECT_EQ(paintedFrame(rocker), 2);
    rocker.mouseUp(oxn3test::mouseAt(rocker, 5, 10));
    rocker.mouseDown(oxn3test::mouseAt(rocker, 5, 19));
    rocker.mouseExit(oxn3test::mouseAt(rocker, 5, 30));
    EXPECT_EQ(r.seen, (std::vector<float>{0, 2, 1, 2, 1}));
    EXPECT_EQ(rocker.getValue(), 0.0); // the slider's own value is untouched

    juce::Image one = oxn3test::numberedStrip(1, 16, 16, false);
    CBitmapSticker sticker(&one, 1, false);
    sticker.setRange(0.0, 1.0, 0.001);
    sticker.setSize(40, 40);
    sticker.setValue(0.3, juce::dontSendNotification);
    sticker.mouseDown(oxn3test::mouseAt(sticker, 20, 0));
    sticker.mouseDrag(oxn3test::mouseAt(sticker, {20, 40}, {20, 0}));
    EXPECT_EQ(sticker.getValue(), 0.3);
    const juce::Image image = render(sticker); // the top-left three quarters only
    EXPECT_EQ(image.getPixelAt(29, 29).getRed() + image.getPixelAt(30, 30).getRed(), 10 + 255);
}
