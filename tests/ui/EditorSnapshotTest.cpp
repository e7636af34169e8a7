// The whole editor rendered offscreen at the three menu sizes, for people to look at; turning the
// cutoff changes the cutoff knob's pixels and nothing else.
#include <set>

#include <gtest/gtest.h>

#include "EditorTestHelpers.h"
#include "ui/CBitmapSlider.h"

namespace
{
juce::Image render(JuceDemoPluginAudioProcessorEditor& editor)
{
    return editor.createComponentSnapshot(editor.getLocalBounds(), true, 1.0f);
}

// The rectangle holding every pixel that differs between two images of one size (empty: none).
juce::Rectangle<int> changedArea(const juce::Image& a, const juce::Image& b)
{
    juce::Rectangle<int> area;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                area = area.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1) : area.getUnion({x, y, 1, 1});
    return area;
}

int distinctColours(const juce::Image& image)
{
    std::set<juce::uint32> colours;
    for (int y = 0; y < image.getHeight(); y += 3)
        for (int x = 0; x < image.getWidth(); x += 3)
            colours.insert(image.getPixelAt(x, y).getARGB());
    return (int) colours.size();
}
} // namespace

TEST(EditorSnapshot, ThreeSizesAreDrawnAndTheCutoffChangesOnlyItsKnob)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    rig.tick(100);
    for (const auto size : {juce::Point<int>(754, 276), juce::Point<int>(980, 358), juce::Point<int>(1508, 552)})
    {
        editor.setSize(size.x, size.y);
        rig.processor.parameterValues[1] = 0.5;
        rig.tick();
        const auto before = render(editor);
        oxn3test::saveSnapshot(before, "editor_" + juce::String(size.x) + "x" + juce::String(size.y));
        EXPECT_GT(distinctColours(before), 200) << size.x;

        rig.processor.parameterValues[1] = 0.9;
        rig.tick();
        const auto changed = changedArea(before, render(editor));
        EXPECT_FALSE(changed.isEmpty());
        EXPECT_TRUE(editor.getBitmapSliderWithName("cutoffKnob")->getBounds().contains(changed))
            << changed.toString();
    }
}
