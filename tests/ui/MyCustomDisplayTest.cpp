#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "PanelTestHelpers.h"
#include "ui/MyCustomDisplay.h"
#include "ui/PanelMouse.h"
#include "ui/PanelRules.h"

using namespace oxn3;

namespace
{
// One notification: 'B' buttonClicked, 'b' valueBegin, 'c' valueChanged, 'e' valueEnd.
struct Note
{
    char kind;
    int tag;
    float value;
    bool operator==(const Note& o) const { return kind == o.kind && tag == o.tag && value == o.value; }
};

// A page that records its notifications into a fixed array (no allocation while recording).
struct RecordingPage : MyCustomDisplay
{
    RecordingPage() : MyCustomDisplay(nullptr, nullptr) {}
    Note notes[16] = {};
    int count = 0;
    void add(char k, int t, float v)
    {
        if (count < 16) notes[count++] = {k, t, v};
    }
    void buttonClicked(int t) override { add('B', t, 0); }
    void valueBegin(int t) override { add('b', t, 0); }
    void valueChanged(int t, float v) override { add('c', t, v); }
    void valueEnd(int t) override { add('e', t, 0); }
    std::vector<Note> take()
    {
        std::vector<Note> out(notes, notes + count);
        count = 0;
        return out;
    }
};
} // namespace

TEST(PanelRules, HitBoundsAreInclusiveAndTheSliderIsWidened)
{
    struct Case
    {
        int type;
        float scale;
        int px, py;
        bool hit;
    } cases[] = {
        {0, 1.0f, 10, 20, true}, {0, 1.0f, 41, 61, true},  {0, 1.0f, 42, 30, false}, {0, 1.0f, 9, 30, false},
        {0, 1.5f, 61, 91, true}, {0, 1.5f, 62, 30, false}, {0, 1.5f, 15, 92, false}, // 61.5, 91.5 truncated
        {2, 1.5f, 9, 40, true},  {2, 1.5f, 8, 40, false},  {2, 1.5f, 67, 40, true},  {2, 1.5f, 68, 40, false},
    };
    for (const Case& k : cases)
    {
        PanelControl c;
        c.type = k.type, c.x = 10, c.y = 20, c.w = 30, c.h = 40;
        EXPECT_EQ(hits(c, k.scale, k.px, k.py), k.hit)
            << k.type << " " << k.scale << " " << k.px << "," << k.py;
    }
}

TEST(PanelRules, ValueStepSwitchPositionsKnobDragAndDirtyArea)
{
    PanelControl c; // a new record: previousValue -1, so its first change marks it dirty
    c.dirty = 0;
    updateValue(c, 0.3f);
    EXPECT_TRUE(c.dirty);
    EXPECT_FLOAT_EQ(c.previousValue, 0.0f);
    c.dirty = 0;
    c.previousValue = 0.3f;
    updateValue(c, 0.9f); // value equals previousValue: the step compares those two, not the new value
    EXPECT_FALSE(c.dirty);

    PanelControl sw;
    sw.type = 8, sw.x = 100, sw.w = 60, sw.h = 20;
    for (float s : {1.0f, 2.0f})
    {
        EXPECT_EQ(switchPositionAt(sw, s, (int)((100 + 0.1f * 60) * s)), 0.0f);
        EXPECT_EQ(switchPositionAt(sw, s, (int)((100 + 0.5f * 60) * s)), 1.0f);
        EXPECT_EQ(switchPositionAt(sw, s, (int)((100 + 0.7f * 60) * s)), 2.0f);
    }
    EXPECT_FLOAT_EQ(knobDragValue(0.5f, 90, 100), 0.575f);
    EXPECT_EQ(knobDragValue(0.5f, -500, 100), 1.0f);
    EXPECT_EQ(knobDragValue(0.5f, 500, 100), 0.0f);
    PanelControl empty; // zero size must not produce NaN
    EXPECT_EQ(sliderValueAt(empty, 1.0f, 0), 0.0f);
    EXPECT_EQ(switchPositionAt(empty, 1.0f, 0), 0.0f);

    PanelControl d;
    d.x = 10.3f, d.y = 4, d.w = 20, d.h = -30;
    EXPECT_EQ(dirtyArea(d, 2.0f), juce::Rectangle<int>(12, 0, 57, 0));
}

TEST(PanelRules, FullTableAndLongTextsNeverWritePastARecord)
{
    RecordingPage page;
    for (int i = 0; i < kMaxPanelControls; ++i)
        ASSERT_NE(page.addControl(i, 0, 0, 0, 1, 1, "x", 0), nullptr);
    EXPECT_EQ(page.addControl(999, 0, 0, 0, 1, 1, "x", 0), nullptr);
    EXPECT_EQ(page.controlCount, kMaxPanelControls);
    EXPECT_EQ(page.getControlWithTag(999), nullptr);

    const std::string longAscii(100, 'a');
    std::string utf8(62, 'b');
    utf8 += "\xc3\xa9"; // a two-byte character straddling the 63-byte limit
    const struct
    {
        const char* in;
        size_t length;
    } cases[] = {{longAscii.c_str(), 63}, {utf8.c_str(), 62}, {nullptr, 0}, {"Cutoff", 6}};
    for (const auto& k : cases)
    {
        PanelControl c;
        copyText(c.label, sizeof(c.label), k.in);
        EXPECT_EQ(strlen(c.label), k.length);
    }
    PanelControl c;
    memset(c.overlayText, 'z', sizeof(c.overlayText)); // no terminator at all
    EXPECT_EQ(recordText(c.overlayText, sizeof(c.overlayText)).length(), 256);
}

TEST(PanelMouse, NotificationOrderPerControlType)
{
    const auto B = [](int t) { return Note{'B', t, 0}; };
    const auto b = [](int t) { return Note{'b', t, 0}; };
    const auto ch = [](int t, float v) { return Note{'c', t, v}; };
    RecordingPage page;
    page.setScale(2.0f);
    PanelControl* toggle = page.addControl(4, 4, 0, 0, 10, 10, "", 0);
    PanelControl* knob = page.addControl(7, 7, 20, 0, 10, 10, "", 0.8f);
    PanelControl* sw = page.addControl(8, 8, 40, 0, 30, 10, "", 0);
    PanelControl* inert = page.addControl(-5, 1, 80, 0, 10, 10, "", 0.5f);

    panelPress(page, 5, 5, 1); // toggle: old value reported, then flipped
    EXPECT_EQ(page.take(), (std::vector<Note>{B(4), b(4), ch(4, 0)}));
    EXPECT_EQ(toggle->value, 1.0f);
    panelPress(page, 5, 5, 1);
    EXPECT_EQ(page.take(), (std::vector<Note>{B(4), b(4), ch(4, 1)}));
    EXPECT_EQ(toggle->value, 0.0f);

    page.mouseDown(oxn3test::mouseAt(page, 45, 5, 2)); // double-click resets to 0.5, drags go on from there
    EXPECT_EQ(page.take(), (std::vector<Note>{B(7), b(7), ch(7, 0.8f), ch(7, 0.5f)}));
    page.mouseDrag(oxn3test::mouseAt(page, 45, -5, 1, {}, {45, 5}));
    EXPECT_FLOAT_EQ(knob->value, 0.575f);
    page.take();

    const int presses[][2] = {
        {(int)((40 + 3) * 2.0f), 0}, {(int)((40 + 15) * 2.0f), 1}, {(int)((40 + 21) * 2.0f), 2}};
    for (const auto& p : presses)
    {
        const float old = sw->value;
        panelPress(page, p[0], 5, 1);
        EXPECT_EQ(page.take(), (std::vector<Note>{B(8), b(8), ch(8, old), ch(8, (float)p[1])}));
    }

    panelPress(page, 165, 5, 1); // negative tag: silent press, drag and release still report
    EXPECT_EQ(page.count, 0);
    EXPECT_EQ(page.pressedIndex, 3);
    panelDrag(page, 165, 15);
    panelRelease(page);
    EXPECT_EQ(page.take(), (std::vector<Note>{ch(-5, inert->value), Note{'e', -5, 0}}));
    EXPECT_FLOAT_EQ(inert->value, 0.425f);

    panelPress(page, 500, 500, 1); // empty space
    panelRelease(page);
    EXPECT_EQ(page.take(), (std::vector<Note>{Note{'e', -1, 0}}));
}

TEST(PanelMouse, OverlapSliderJumpAndHover)
{
    RecordingPage page;
    PanelControl* under = page.addControl(1, 0, 0, 0, 20, 20, "", 0);
    PanelControl* slider = page.addControl(2, 2, 10, 10, 6, 100, "", 0);
    panelHover(page, 12, 15);
    EXPECT_EQ(page.hoveredIndex, 1);
    EXPECT_EQ(under->hoverTarget, 1.0f);
    EXPECT_EQ(slider->hoverTarget, 1.0f);
    panelPress(page, 12, 35, 1); // the later control wins; 0 is the top
    EXPECT_EQ(page.pressedTag, 2);
    EXPECT_FLOAT_EQ(slider->value, 0.25f);
    panelDrag(page, 12, 500);
    EXPECT_EQ(slider->value, 1.0f);
    panelHover(page, 300, 300); // nothing hit: the last hovered index stays
    EXPECT_EQ(page.hoveredIndex, 1);
    panelLeave(page);
    EXPECT_EQ(page.hoveredIndex, -1);
    EXPECT_EQ(under->hoverTarget, 0.0f);
}

TEST(PanelIdle, HoverDecayAnimationAndFrameClock)
{
    RecordingPage page;
    PanelControl* anim = page.addControl(3, 3, 0, 0, 10, 10, "", 1);
    PanelControl* plain = page.addControl(4, 4, 20, 0, 10, 10, "", 0);
    anim->hoverTarget = 1;
    page.onIdle(false);
    EXPECT_EQ(page.frameCounter, 0);
    EXPECT_EQ(anim->hoverLevel, 0.0f);
    for (int i = 0; i < 8; ++i)
    {
        anim->dirty = plain->dirty = 0;
        page.onIdle(true);
        EXPECT_TRUE(anim->dirty); // type 3 repaints every tick, even when settled
        EXPECT_FALSE(plain->dirty);
    }
    EXPECT_EQ(page.frameCounter, 8);
    EXPECT_FLOAT_EQ(anim->hoverLevel, 1.0f - 1.0f / 256.0f);
    EXPECT_EQ(anim->animation, 1.0f);
}

TEST(PanelMouse, MouseAndIdlePathsAllocateNothing)
{
    RecordingPage page;
    page.setSize(400, 100);
    for (int t = 0; t < 10; ++t)
        page.addControl(t, t, 30.0f * t, 10, 25, 25, "Label", 0.5f);
    oxn3test::CountingScope scope;
    for (int i = 0; i < 10; ++i)
    {
        const int x = 30 * i + 10;
        panelHover(page, x, 20);
        panelPress(page, x, 20, 1 + i % 2);
        panelDrag(page, x + 3, 5);
        panelRelease(page);
        page.count = 0;
        panelLeave(page);
        page.onIdle(true);
        page.invalidateRects();
    }
    EXPECT_EQ(scope.count(), 0);
}
