// The panel in windows of any shape: a host or window manager keeps the size it chooses, and the
// panel is drawn whole in it, centred on plain margins.
#include <algorithm>
#include <cstdlib>

#include "UiTestHelpers.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/window/EditorGeometry.h"

namespace
{
using namespace oxn3test;

juce::Image shot(juce::Component& c)
{
    return c.createComponentSnapshot(c.getLocalBounds(), true, 1.0f);
}

// The largest difference of any colour channel between `b` and the part of `a` at `offsetInA`: the
// renderer's edge and image sampling may differ in the last bits at another whole-pixel position.
int largestDifference(const juce::Image& a, const juce::Image& b, juce::Point<int> offsetInA)
{
    int largest = 0;
    for (int y = 0; y < b.getHeight(); ++y)
        for (int x = 0; x < b.getWidth(); ++x)
        {
            const auto p = a.getPixelAt(x + offsetInA.x, y + offsetInA.y), q = b.getPixelAt(x, y);
            largest = std::max({largest, std::abs(p.getRed() - q.getRed()), std::abs(p.getGreen() - q.getGreen()),
                                std::abs(p.getBlue() - q.getBlue())});
        }
    return largest;
}
} // namespace

TEST(EditorShape, PanelPlaceAndKeptSize)
{
    const struct
    {
        int w, h;
        juce::Rectangle<int> area;
        juce::Point<int> kept;
    } cases[] = {
        {980, 358, {0, 0, 980, 358}, {980, 358}},       // the default size, as before
        {1508, 552, {0, 0, 1508, 552}, {1508, 552}},    // the menu's large size
        {1502, 550, {0, 0, 1502, 550}, {1502, 550}},    // the corner's largest
        {1400, 900, {0, 194, 1400, 512}, {1400, 512}},  // too tall: margins above and below
        {1300, 520, {0, 22, 1300, 476}, {1300, 476}},
        {600, 600, {0, 190, 600, 220}, {600, 220}},
        {1592, 942, {0, 179, 1592, 583}, {1508, 552}},  // beyond the limits: the largest panel kept
        {2000, 300, {590, 0, 820, 300}, {820, 300}},    // too wide: margins left and right
        {5000, 10, {2486, 0, 27, 10}, {150, 55}},       // far below the limits: the smallest
    };
    for (const auto& c : cases)
    {
        const auto place = oxn3::panelPlace(c.w, c.h);
        EXPECT_EQ(place.area, c.area) << c.w << "x" << c.h;
        EXPECT_EQ(oxn3::panelSizeWithinLimits(c.w, c.h), c.kept) << c.w << "x" << c.h;
    }
}

// Snapshots of every page in forced windows: the panel's pixels are those of a window of the
// panel's own size shifted to the centre (within the renderer's rounding), and every margin pixel
// is the one plain colour.
TEST(EditorShape, ForcedWindowsCentreThePanelOnPlainMargins)
{
    EditorRig rig(true);
    auto& editor = rig.open();
    rig.tick(100);
    for (const auto forced : {juce::Point<int>(1400, 900), juce::Point<int>(1300, 520), juce::Point<int>(600, 600)})
    {
        for (const int view : {0, 1, 2, 3, 4, -1})
        {
            editor.setSize(forced.x, forced.y);
            rig.processor->PatternKnob = view;
            rig.tick(2);
            const auto place = oxn3::panelPlace(forced.x, forced.y);
            const auto area = place.area;
            EXPECT_LE(std::abs(area.getCentreX() - forced.x / 2), 1);
            EXPECT_LE(std::abs(area.getCentreY() - forced.y / 2), 1);
            EXPECT_EQ(rig.processor->uiWidth, area.getWidth());
            EXPECT_EQ(rig.processor->uiHeight, area.getHeight());

            const auto image = shot(editor);
            const juce::String name = "editor_forced_" + juce::String(forced.x) + "x" + juce::String(forced.y)
                                      + "_view" + juce::String(view);
            saveSnapshot(image, name);
            juce::RectangleList<int> margins(image.getBounds());
            margins.subtract(area);
            for (const auto& r : margins)
                EXPECT_EQ(countPixelsUnlike(image, r, editor.marginColour), 0) << name << " " << r.toString();
            for (int i = 0; i < editor.getNumChildComponents(); ++i)
            {
                auto* child = editor.getChildComponent(i);
                if (child->isVisible() && !child->getBounds().isEmpty())
                {
                    EXPECT_TRUE(area.contains(child->getBounds())) << name << " " << child->getName();
                }
            }
            EXPECT_EQ(editor.getBitmapSliderWithName("tuningKnob")->getBounds(),
                      (juce::Rectangle<float>(200, 61, 48, 48) * place.scale).getSmallestIntegerContainer()
                          + area.getPosition());

            editor.setSize(area.getWidth(), area.getHeight());
            EXPECT_LE(largestDifference(image, shot(editor), area.getPosition()), 32) << name;
        }
    }
}

// What a host reads before it sizes its window (the VST3 size handshake reads these limits and
// this shape) hands the host's own size back: a host window that follows its content and a window
// manager that holds the window's size then agree at once instead of resizing each other without
// end. The editor takes the size with the panel centred in it; only its own corner keeps the shape.
TEST(EditorShape, HostsKeepTheirSizeAndTheEditorTakesIt)
{
    EditorRig rig(true);
    auto& editor = rig.open();
    EXPECT_TRUE(editor.isResizable());
    for (const auto& [w, h] : {std::pair(1700, 700), {1300, 700}, {3000, 300}, {980, 358}, {120, 40}})
    {
        juce::Rectangle<int> answer(w, h);
        editor.getConstrainer()->checkBounds(answer, editor.getBounds(), {}, false, false, true, true);
        EXPECT_EQ(answer, juce::Rectangle<int>(w, h));
        editor.setBoundsConstrained(answer); // the LV2 wrapper's and the Standalone's way to size it
        EXPECT_EQ(editor.getBounds(), answer);
        EXPECT_EQ(juce::Point<int>(rig.processor->uiWidth, rig.processor->uiHeight),
                  oxn3::panelSizeWithinLimits(w, h));
    }
    juce::Rectangle<int> dragged(1300, 700);
    editor.constrainer.checkBounds(dragged, editor.getBounds(), {}, false, false, true, true);
    EXPECT_NEAR((double) dragged.getWidth() / dragged.getHeight(), 754.0 / 276.0, 0.01);
    EXPECT_LE(dragged.getHeight(), 550);

    // A parent that holds an area the editor does not fill: one resize fills it, and no other follows.
    juce::Component host;
    host.setSize(980, 358);
    editor.setBounds(host.getLocalBounds());
    host.addAndMakeVisible(editor);
    struct : juce::ComponentListener
    {
        int resizes = 0;
        void componentMovedOrResized(juce::Component&, bool, bool wasResized) override
        {
            resizes += wasResized ? 1 : 0;
        }
    } counter;
    editor.addComponentListener(&counter);
    host.setSize(1300, 700);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
    EXPECT_EQ(editor.getBounds(), host.getLocalBounds());
    EXPECT_EQ(counter.resizes, 1);
    EXPECT_EQ(rig.processor->uiWidth, 1300);
    EXPECT_EQ(rig.processor->uiHeight, 476);
    const auto place = oxn3::panelPlace(1300, 700);
    for (const auto& [y, opens] : {std::pair(place.area.getY() + 75 * place.scale, true), {75 * place.scale, false}})
    {
        editor.splashVisible = false;
        editor.mouseDown(oxn3test::mouseAt(editor, int(60 * place.scale), int(y)));
        EXPECT_EQ(editor.splashVisible, opens) << "the logo, on the centred panel only";
    }
    editor.removeComponentListener(&counter);
    host.removeChildComponent(&editor);

    rig.processor->uiWidth = 1592, rig.processor->uiHeight = 942; // a forced size stored before
    EXPECT_EQ(rig.open().getBounds(), juce::Rectangle<int>(0, 0, 1508, 552));
}
