#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/widgets/CBitmapSlider.h"

namespace
{
struct FrontPanelTable : oxn3test::EditorTest
{
    std::vector<float> parameters() const
    {
        std::vector<float> v;
        for (int i = 0; i < 18; ++i)
            v.push_back(processor->getParameter(i));
        return v;
    }
};

// {widget, host parameter}
const std::pair<const char*, int> kWidgets[] = {
    {"tuningKnob", 0}, {"cutoffKnob", 1}, {"resonanceKnob", 2}, {"envmodKnob", 3},   {"decayKnob", 4},
    {"accentKnob", 5}, {"volumeKnob", 6}, {"waveformSwitch", 8},
};
} // namespace

TEST_F(FrontPanelTable, EachWidgetWritesExactlyItsParameterAndShowsItBack)
{
    for (const auto& [name, parameter] : kWidgets)
    {
        CBitmapSlider* widget = editor->getBitmapSliderWithName(name);
        ASSERT_NE(widget, nullptr) << name;
        const std::vector<float> before = parameters();
        const double value = widget->getValue() > 0.5 ? 0.0 : 1.0;
        widget->setValue(value, juce::sendNotificationSync);
        std::vector<float> expected = before;
        expected[static_cast<size_t>(parameter)] = static_cast<float>(value);
        EXPECT_EQ(parameters(), expected) << name;
        EXPECT_EQ(processor->touchedParameter, parameter) << name; // the MIDI-learn target
    }
    // Back from the host: each widget follows its own parameter within a tick; the learn target stays.
    for (const auto& [name, parameter] : kWidgets)
        processor->getParameters()[parameter]->setValueNotifyingHost(
            parameter == 8 ? 1.0f : 0.05f * static_cast<float>(parameter + 1));
    tick();
    EXPECT_EQ(processor->touchedParameter, 8);
    for (const auto& [name, parameter] : kWidgets)
        EXPECT_NEAR(editor->getBitmapSliderWithName(name)->getValue(), parameter == 8 ? 1.0 : 0.05 * (parameter + 1), 1e-6)
            << name;
}
