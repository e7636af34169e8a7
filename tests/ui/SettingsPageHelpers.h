#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "ui/MyCustomDisplay.h"
#include "ui/PluginEditor.h"

namespace oxn3test
{
constexpr int kPageWidth = 622;
constexpr int kPageHeight = 133;

// A processor and its editor for one page under test; the page itself is made by the test.
struct EditorFixture
{
    std::unique_ptr<JuceDemoPluginAudioProcessor> processor = makeProcessor();
    JuceDemoPluginAudioProcessorEditor editor{*processor};
};

inline void placePage(MyCustomDisplay& page, float scale)
{
    page.setScale(scale);
    page.setBounds(0, 0, static_cast<int>(kPageWidth * scale), static_cast<int>(kPageHeight * scale));
}

// A left-button event at `at` for a press made at `downAt`, both in component pixels.
inline juce::MouseEvent mouseAt(juce::Component& c, juce::Point<float> at, juce::Point<float> downAt, int clicks = 1)
{
    const juce::Time now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at,
                            juce::ModifierKeys::leftButtonModifier, juce::MouseInputSource::defaultPressure,
                            0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, downAt, now, clicks, at != downAt);
}

// A click at a design point of a page drawn at `scale`.
inline void clickAt(MyCustomDisplay& page, float x, float y)
{
    const juce::Point<float> at(x * page.scale, y * page.scale);
    page.mouseDown(mouseAt(page, at, at));
    page.mouseUp(mouseAt(page, at, at));
}

inline void savePng(const juce::Image& image, const juce::String& name)
{
    const juce::File file = juce::File(OXN3_SNAPSHOT_DIR).getChildFile(name);
    file.deleteFile();
    juce::FileOutputStream out(file);
    EXPECT_TRUE(out.openedOk() && juce::PNGImageFormat().writeImageToStream(image, out)) << name;
}

// The page over a dark panel, as the editor shows it, written as a PNG into the build folder.
inline juce::Image snapshot(MyCustomDisplay& page, const juce::String& name)
{
    juce::Image image(juce::Image::ARGB, page.getWidth(), page.getHeight(), true);
    {
        juce::Graphics g(image);
        g.fillAll(juce::Colour(0xff23262e));
        page.paint(g);
    }
    savePng(image, name);
    return image;
}

inline void snapshotEditor(juce::Component& editor, const juce::String& name)
{
    savePng(editor.createComponentSnapshot(editor.getLocalBounds(), true, 1.0f), name);
}

// Pixels brighter than `threshold` (0..1) inside `area`; the panel behind is dark.
inline int litPixels(const juce::Image& image, juce::Rectangle<int> area, float threshold = 0.4f)
{
    int lit = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            lit += image.getPixelAt(x, y).getBrightness() > threshold ? 1 : 0;
    return lit;
}
} // namespace oxn3test
