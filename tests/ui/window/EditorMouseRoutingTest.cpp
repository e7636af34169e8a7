// The editor in a window on a (virtual) display, driven through its window's peer: JUCE itself
// decides which component gets each press, drag, release and wheel move, as for a real pointer.
// The editor's own timer runs in the message loop, so held-button repeats happen as they would.
#include <algorithm>

#include "UiTestHelpers.h"
#include "ui/widgets/CBitmapSlider.h"

namespace
{
// Passes the rocker's reports on to the editor and keeps a copy.
struct Relay : ValueChangedListener
{
    ValueChangedListener* owner = nullptr;
    std::vector<float> seen;
    void valueChanged(int tag, float value) override
    {
        seen.push_back(value);
        owner->valueChanged(tag, value);
    }
};

struct EditorInAWindow : ::testing::Test
{
    Relay relay;
    oxn3test::EditorRig rig;
    juce::DocumentWindow window{"OXN3", juce::Colours::black, 0};
    juce::int64 clock = 0;

    ~EditorInAWindow() override { window.clearContentComponent(); }

    static void run(int ms) { juce::MessageManager::getInstance()->runDispatchLoopUntil(ms); }

    // Until the window manager has placed and sized the window.
    void SetUp() override
    {
        window.setUsingNativeTitleBar(true);
        window.setContentNonOwned(rig.editor.get(), true);
        window.setVisible(true);
        juce::Rectangle<int> last;
        for (int i = 0; i < 50; ++i)
        {
            run(100);
            const auto now = window.getScreenBounds();
            if (window.getPeer() != nullptr && window.isShowing() && now == last) break;
            last = now;
        }
        ASSERT_NE(window.getPeer(), nullptr);
        relay.owner = rig.editor->rocker->listener;
        rig.editor->rocker->listener = &relay;
    }

    juce::Point<float> at(juce::Component& c, float x, float y)
    {
        return window.getLocalPoint(&c, juce::Point<float>(x, y));
    }
    // Event times as a real pointer's: the clock, never twice the same.
    void tick() { clock = std::max(clock + 1, juce::Time::currentTimeMillis()); }
    void pointer(juce::Point<float> p, bool held)
    {
        tick();
        window.getPeer()->handleMouseEvent(
            juce::MouseInputSource::InputSourceType::mouse, p,
            held ? juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier) : juce::ModifierKeys(),
            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, clock);
        run(20);
    }
    // The pointer moves there first: a press goes to whatever is under the pointer already.
    void press(juce::Point<float> p)
    {
        pointer(p, false);
        pointer(p, true);
    }
    void wheel(juce::Point<float> p, float deltaY)
    {
        tick();
        juce::MouseWheelDetails details{0.0f, deltaY, false, false, false};
        window.getPeer()->handleMouseWheel(juce::MouseInputSource::InputSourceType::mouse, p, clock, details);
        run(20);
    }
};
} // namespace

// However the pointer leaves the pressed rocker (sideways, up, or down past the lower half), the
// rocker reports rest once and the held-button repeat stops.
TEST_F(EditorInAWindow, RockerLeftWhileHeldReturnsToRestAndStopsRepeating)
{
    CBitmapRocker& rocker = *rig.editor->rocker;
    const float w = (float)rocker.getWidth(), h = (float)rocker.getHeight();
    // {press y, leave to x, y, report of the press, pattern step of the press}
    const float cases[][5] = {{h / 4, w + 10, h / 4, 0, 1},
                              {h / 4, w / 2, -10, 0, 1},
                              {h / 4, w / 2, h + 10, 0, 1},
                              {h * 3 / 4, -10, h * 3 / 4, 2, -1}};
    for (const auto& c : cases)
    {
        rig.synth.currentPattern = 5;
        relay.seen.clear();
        press(at(rocker, w / 2, c[0]));
        pointer(at(rocker, w / 2, c[0] + 1), true);
        pointer(at(rocker, c[1], c[2]), true);
        run(1000); // twenty timer ticks: a repeat would have stepped five patterns
        EXPECT_EQ(relay.seen, (std::vector<float>{c[3], 1})) << c[1] << " " << c[2];
        pointer(at(rocker, c[1], c[2]), false);
        EXPECT_EQ(relay.seen.size(), 2u) << c[1] << " " << c[2]; // the release outside adds nothing
        EXPECT_EQ(rig.synth.currentPattern, 5 + (int)c[4]) << c[1] << " " << c[2];
    }
}

TEST_F(EditorInAWindow, RockerRepeatsWhileHeldAndPressesAgainWhenThePointerComesBack)
{
    CBitmapRocker& rocker = *rig.editor->rocker;
    const float w = (float)rocker.getWidth(), h = (float)rocker.getHeight();
    rig.synth.currentPattern = 5;
    press(at(rocker, w / 2, h / 4));
    run(1500); // thirty ticks: the repeat starts after ten
    const int held = rig.synth.currentPattern;
    EXPECT_GT(held, 6);
    pointer(at(rocker, w + 10, h / 4), true);
    pointer(at(rocker, w / 2, h * 3 / 4), true);
    pointer(at(rocker, w / 2, h * 3 / 4), false);
    EXPECT_EQ(relay.seen, (std::vector<float>{0, 1, 2, 1}));
    EXPECT_EQ(rig.synth.currentPattern, held - 1);
}

// Neither the wheel nor a drag over the sticker changes it, so the status line keeps away from the
// last touched parameter's text.
TEST_F(EditorInAWindow, StickerIgnoresTheWheelAndTheMouse)
{
    rig.processor->ShowSticker = 1;
    rig.processor->touchedParameter = 1;
    run(200);
    CBitmapSticker& sticker = *rig.editor->sticker;
    const auto middle = at(sticker, sticker.getWidth() * 0.4f, sticker.getHeight() * 0.4f);
    ASSERT_EQ(window.getComponentAt(middle.roundToInt()), &sticker);
    const double value = sticker.getValue();
    for (float deltaY : {0.5f, 0.5f, 1.0f})
        wheel(middle, deltaY);
    press(middle);
    pointer(middle.translated(0, -40), true);
    pointer(middle.translated(0, -40), false);
    run(100);
    EXPECT_EQ(sticker.getValue(), value);
    EXPECT_NE(rig.status(), rig.processor->getParameterTextForGUI(1));
}
