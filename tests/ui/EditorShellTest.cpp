// The editor shell: children placed by the design geometry at every size, the size limits, the
// logo click, a skin with a picture missing, and the view knob's start value.
#include <gtest/gtest.h>

#include "EditorTestHelpers.h"
#include "ui/CAiraDisplay.h"
#include "ui/CBitmapSlider.h"
#include "ui/CCustomDisplay.h"
#include "ui/CPatchDisplay.h"
#include "ui/CPatternDigits.h"
#include "ui/EditorGeometry.h"

namespace
{
juce::MouseEvent clickAt(juce::Component& c, int x, int y)
{
    const juce::Point<float> at((float) x, (float) y);
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at, {},
                            juce::MouseInputSource::defaultPressure, 0, 0, 0, 0, &c, &c, now, at, now, 1, false);
}
} // namespace

TEST(EditorShell, ChildrenSitAtDesignCoordinatesAndDoubleAtTwiceTheWidth)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    for (const int factor : {1, 2})
    {
        editor.setSize(754 * factor, 276 * factor);
        const struct
        {
            juce::Component* child;
            juce::Rectangle<int> design;
        } cases[] = {
            {editor.patchDisplay, {244, 6, 216, 25}},
            {editor.patternDigits, {460, 6, 51, 25}},
            {(juce::Component*) editor.customDisplay, {66, 130, 622, 133}},
            {(juce::Component*) editor.airaDisplay, {66, 130, 622, 137}},
            {editor.getBitmapSliderWithName("tuningKnob"), {200, 61, 48, 48}},
            {editor.getBitmapSliderWithName("sticker00005"), {649, 47, 80, 56}},
        };
        for (const auto& c : cases)
        {
            EXPECT_EQ(c.child->getBounds(), c.design * factor) << c.child->getName() << " x" << factor;
        }
        EXPECT_EQ(rig.processor.uiWidth, 754 * factor);
    }
}

TEST(EditorShell, SizeLimitsOfTheCornerTheMenuAndTheHostState)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    EXPECT_EQ(editor.getBounds(), juce::Rectangle<int>(0, 0, 980, 358));
    editor.setSize(1508, 552); // the menu's large size
    EXPECT_EQ(editor.getHeight(), 552);

    juce::Rectangle<int> dragged(0, 0, 3000, 1100);
    editor.constrainer.checkBounds(dragged, editor.getBounds(), {}, false, false, true, true);
    EXPECT_EQ(dragged.getHeight(), 550);
    EXPECT_LT(dragged.getWidth(), 1508);
    EXPECT_NEAR((double) dragged.getWidth() / dragged.getHeight(), 754.0 / 276.0, 0.01);

    rig.processor.uiWidth = 5000, rig.processor.uiHeight = 10;
    auto& restored = rig.open();
    EXPECT_EQ(restored.getBounds(), juce::Rectangle<int>(0, 0, 1508, 50));
}

TEST(EditorShell, LogoClickOpensTheAboutView)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    editor.setSize(1508, 552);
    for (const auto& c : {std::make_tuple(20, 55, true), std::make_tuple(104, 98, true), std::make_tuple(105, 60, false)})
    {
        editor.splashVisible = false;
        editor.mouseDown(clickAt(editor, std::get<0>(c) * 2, std::get<1>(c) * 2));
        EXPECT_EQ(editor.splashVisible, std::get<2>(c)) << std::get<0>(c) << "," << std::get<1>(c);
    }
}

TEST(EditorShell, MissingStripLeavesOnlyThatWidgetAtZeroSize)
{
    oxn3test::EditorRig rig;
    rig.open();
    rig.close();
    ASSERT_TRUE(rig.file("Default Skin/kb03d.png").deleteFile());
    auto& editor = rig.open();
    for (int i = 0; i < editor.widgetCount; ++i)
        EXPECT_EQ(editor.widgets[i]->getBounds().isEmpty(), editor.widgets[i]->getName() == "cutoffKnob")
            << editor.widgets[i]->getName();
    // The folder exists, so nothing is written back into it.
    EXPECT_FALSE(rig.file("Default Skin/kb03d.png").exists());
}

TEST(EditorShell, ViewKnobStartsAtAQuarterOfTheStoredView)
{
    oxn3test::EditorRig rig;
    for (const int view : {0, 2, 4})
    {
        rig.processor.PatternKnob = view;
        EXPECT_DOUBLE_EQ(rig.open().patternKnobWidget->getValue(), view * 0.25);
    }
}
