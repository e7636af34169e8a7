#pragma once
// Shared by the step table, grid and scope tests: a processor with its editor, painting into
// images and writing snapshots.

#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "ProcessorTestHelpers.h"
#include "ui/PluginEditor.h"

namespace oxn3test
{
struct EditorFixture
{
    std::unique_ptr<JuceDemoPluginAudioProcessor> processor = makeProcessor();
    std::unique_ptr<JuceDemoPluginAudioProcessorEditor> editor =
        std::make_unique<JuceDemoPluginAudioProcessorEditor>(*processor);
    Synth303& synth = *processor->synth;
    Vst303Pattern& pattern = synth.activePattern();
};

// A page's paint on the editor's dark panel colour, `width` x `height` pixels.
template <typename Page>
juce::Image paintPage(Page& page, int width, int height, juce::Colour background = juce::Colour(24, 26, 30))
{
    page.setBounds(0, 0, width, height);
    juce::Image image(juce::Image::ARGB, width, height, true);
    juce::Graphics g(image);
    g.fillAll(background);
    page.paint(g);
    return image;
}

// Brightest blue channel inside a rectangle: text and fills are blue-tinted greys.
inline int brightestBlue(const juce::Image& image, juce::Rectangle<int> area)
{
    int best = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            best = std::max(best, static_cast<int>(image.getPixelAt(x, y).getBlue()));
    return best;
}
} // namespace oxn3test
