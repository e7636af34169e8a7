#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace oxn3test
{
// Writes a PNG into the build's snapshot folder for people to look at.
inline void saveSnapshot(const juce::Image& image, const char* name)
{
    const juce::File file = juce::File(OXN3_SNAPSHOT_DIR).getChildFile(juce::String(name) + ".png");
    file.deleteFile();
    juce::FileOutputStream out(file);
    juce::PNGImageFormat().writeImageToStream(image, out);
}

// A mouse event on a component without a window (the desktop's main mouse source exists headless).
inline juce::MouseEvent mouseAt(juce::Component& c, int x, int y, int clicks = 1,
                                juce::ModifierKeys mods = juce::ModifierKeys(),
                                juce::Point<int> down = {-1, -1})
{
    const juce::Point<float> at((float)x, (float)y);
    const juce::Point<float> pressed = down.x < 0 ? at : down.toFloat();
    const juce::Time now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at, mods,
                            juce::MouseInputSource::defaultPressure, 0, 0, 0, 0, &c, &c, now, pressed, now,
                            clicks, false);
}

inline juce::Image blankImage(int w, int h, juce::Colour background = juce::Colour(0xff202428))
{
    juce::Image image(juce::Image::ARGB, w, h, true);
    juce::Graphics(image).fillAll(background);
    return image;
}

// Pixels in the area that differ from the given colour by more than a small margin.
inline int countPixelsUnlike(const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    int n = 0;
    area = area.getIntersection(image.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const juce::Colour p = image.getPixelAt(x, y);
            if (std::abs(p.getRed() - colour.getRed()) + std::abs(p.getGreen() - colour.getGreen()) +
                    std::abs(p.getBlue() - colour.getBlue()) >
                24)
                ++n;
        }
    return n;
}
} // namespace oxn3test
