// The default skin's classic panel picture keeps its keys, lamps and read-outs where the panel's
// push areas, lamps and drag zones are.
#include <iterator>

#include <gtest/gtest.h>

#include "tools/skin/SwitchboardLayout.h"
#include "ui/pages/classic/ClassicPanelRules.h"

TEST(DefaultSkin, ClassicPanelPictureMatchesThePushAreasAndLamps)
{
    using namespace switchboardlayout;
    ASSERT_EQ(std::size(kKeys), static_cast<size_t>(buttonlist_count));
    for (int i = 0; i < buttonlist_count; ++i)
    {
        const auto& b = buttonlist[i];
        EXPECT_EQ(juce::Rectangle<float>(kKeys[i].x, kKeys[i].y, kKeys[i].w, kKeys[i].h),
                  juce::Rectangle<float>(b.x, b.y, b.w, b.h))
            << kKeys[i].caption;
    }
    ASSERT_EQ(std::size(kLamps), std::size(lamps));
    for (size_t i = 0; i < std::size(lamps); ++i)
        EXPECT_EQ(juce::Point<float>(kLamps[i][0], kLamps[i][1]), juce::Point<float>(lamps[i].x, lamps[i].y)) << i;
    // Dragging either read-out's window changes what it shows.
    const auto centre = [](const float (&r)[4]) { return juce::Point<int>(int(r[0] + r[2] / 2), int(r[1] + r[3] / 2)); };
    EXPECT_EQ(classicpanel::pressTarget(centre(kLengthReadout), 1.0f), classicpanel::kLengthZone);
    EXPECT_EQ(classicpanel::pressTarget(centre(kStepReadout), 1.0f), classicpanel::kStepZone);
}
