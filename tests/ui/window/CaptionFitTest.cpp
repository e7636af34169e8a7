// Captions fit their boxes: a caption too wide is narrowed before it could end in an ellipsis,
// on every page at small, natural and large scales.
#include "UiTestHelpers.h"
#include "ui/framework/CaptionFit.h"

using oxn3test::EditorRig;

TEST(CaptionFit, NarrowsOnlyWhatIsTooWideAndNoFurtherThanTheLimit)
{
    const juce::Font font(12.0f);
    const float natural = font.getStringWidthFloat("Improved Emulation");
    const struct
    {
        float width, expected;
    } cases[] = {
        {natural + 5.0f, 1.0f}, {natural, 1.0f}, {natural * 0.8f, 0.8f * 0.98f}, {natural * 0.3f, oxn3::kNarrowestCaption},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(oxn3::captionScale(font, "Improved Emulation", c.width), c.expected, 1e-4) << c.width;
    EXPECT_FLOAT_EQ(oxn3::captionScale(font, "", 0.0f), 1.0f);
}

TEST(CaptionFit, EveryCaptionOfEveryPageFitsItsBoxAtEveryScale)
{
    EditorRig rig(true);
    auto& editor = rig.open();
    rig.tick(100);
    std::vector<oxn3::DrawnCaption> drawn;
    for (const float s : {0.5f, 1.0f, 1.3f, 2.0f})
    {
        editor.setSize(juce::roundToInt(754 * s), juce::roundToInt(276 * s));
        for (const int view : {0, 1, 2, 3, 4, -1})
        {
            rig.processor->PatternKnob = view;
            rig.tick(2);
            drawn.clear();
            oxn3::drawnCaptions = &drawn;
            editor.createComponentSnapshot(editor.getLocalBounds(), true, 1.0f);
            oxn3::drawnCaptions = nullptr;
            if (view >= 2) // these pages are all captions and controls
            {
                EXPECT_GT(drawn.size(), 2u) << view;
            }
            for (const auto& c : drawn)
                EXPECT_LE(c.width, c.box.getWidth()) << '"' << c.text << "\" at scale " << s << " in view " << view;
        }
    }
}
