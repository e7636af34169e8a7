#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "UiTestHelpers.h"
#include "ui/framework/PanelMouse.h"
#include "ui/framework/PanelRules.h"

using namespace oxn3;

namespace
{
// Notifications as text: "B4" buttonClicked, "b4" valueBegin, "c4=0.5" valueChanged, "e4" valueEnd.
// Recorded into a fixed buffer so the recording itself allocates nothing.
struct RecordingPage : MyCustomDisplay
{
    RecordingPage() : MyCustomDisplay(nullptr, nullptr) {}
    char log[256] = {};
    void add(const char* kind, int t, float v = -9)
    {
        const size_t n = strlen(log);
        snprintf(log + n, sizeof(log) - n, v == -9 ? "%s%d " : "%s%d=%g ", kind, t, v);
    }
    void buttonClicked(int t) override { add("B", t); }
    void valueBegin(int t) override { add("b", t); }
    void valueChanged(int t, float v) override { add("c", t, v); }
    void valueEnd(int t) override { add("e", t); }
    std::string take()
    {
        const std::string s(log);
        log[0] = 0;
        return s;
    }
};
} // namespace

TEST(PanelRules, InclusiveBoundsWidenedSliderAndDirtyArea)
{
    // {type, scale, px, py, hit}: a control at (10, 20, 30, 40); 1.5 scale truncates 61.5 and 91.5
    const float cases[][5] = {{0, 1, 10, 20, 1},   {0, 1, 41, 61, 1},   {0, 1, 42, 30, 0},
                              {0, 1, 9, 30, 0},    {0, 1.5, 61, 91, 1}, {0, 1.5, 62, 30, 0},
                              {0, 1.5, 15, 92, 0}, {2, 1.5, 9, 40, 1},  {2, 1.5, 8, 40, 0},
                              {2, 1.5, 67, 40, 1}, {2, 1.5, 68, 40, 0}};
    for (const auto& k : cases)
    {
        PanelControl c;
        c.type = (int)k[0], c.x = 10, c.y = 20, c.w = 30, c.h = 40;
        EXPECT_EQ(hits(c, k[1], (int)k[2], (int)k[3]), k[4] != 0) << k[0] << " " << k[1] << " " << k[2];
    }
    PanelControl d;
    d.x = 10.3f, d.y = 4, d.w = 20, d.h = -30; // negative size: an empty rectangle, not a negative one
    EXPECT_EQ(dirtyArea(d, 2.0f), juce::Rectangle<int>(12, 0, 57, 0));
    const PanelControl empty; // 0/0 must not become NaN
    EXPECT_EQ(sliderValueAt(empty, 1.0f, 0) + switchPositionAt(empty, 1.0f, 0), 0.0f);
    PanelControl c; // new: previousValue -1, so the first change marks it dirty; the step compares the
    c.dirty = 0;    // value with previousValue, not with the new value
    for (const auto& [v, dirty] : {std::pair{0.3f, 1}, {0.3f, 1}, {0.9f, 0}})
    {
        updateValue(c, v);
        EXPECT_EQ(std::exchange(c.dirty, 0), dirty) << v;
    }
}

TEST(PanelRules, FullTableAndLongTextsNeverWritePastARecord)
{
    RecordingPage page;
    for (int i = 0; i < kMaxPanelControls; ++i)
        page.addControl(i, 0, 0, 0, 1, 1, "x", 0);
    EXPECT_EQ(page.addControl(999, 0, 0, 0, 1, 1, "x", 0), nullptr);
    EXPECT_EQ(page.controlCount, kMaxPanelControls);
    const std::string ascii(100, 'a'), utf8 = std::string(62, 'b') + "\xc3\xa9"; // 2 bytes across the limit
    const std::pair<const char*, size_t> cases[] = {{ascii.c_str(), 63}, {utf8.c_str(), 62}, {nullptr, 0}};
    for (const auto& [in, length] : cases)
    {
        PanelControl c;
        copyText(c.label, sizeof(c.label), in);
        EXPECT_EQ(strlen(c.label), length);
    }
    PanelControl c;
    memset(c.overlayText, 'z', sizeof(c.overlayText)); // unterminated
    EXPECT_EQ(recordText(c.overlayText, sizeof(c.overlayText)).length(), 256);
}

TEST(PanelMouse, NotificationOrderPerControlType)
{
    RecordingPage page;
    page.setScale(2.0f);
    PanelControl* toggle = page.addControl(4, 4, 0, 0, 10, 10, "", 0);
    PanelControl* knob = page.addControl(7, 7, 20, 0, 10, 10, "", 0.8f);
    page.addControl(8, 8, 40, 0, 30, 10, "", 0);
    PanelControl* inert = page.addControl(-5, 1, 80, 0, 10, 10, "", 0.5f);
    const std::pair<int, const char*> presses[] = {{5, "B4 b4 c4=0 "},
                                                   {5, "B4 b4 c4=1 "}, // toggle: old value, then flip
                                                   {86, "B8 b8 c8=0 c8=0 "},
                                                   {110, "B8 b8 c8=0 c8=1 "},
                                                   {122, "B8 b8 c8=1 c8=2 "}, // 0.1w, 0.5w, 0.7w
                                                   {165, ""},
                                                   {500, ""}}; // negative tag, empty space
    for (const auto& [x, expected] : presses)
    {
        panelPress(page, x, 5, 1);
        EXPECT_EQ(page.take(), expected) << x;
    }
    EXPECT_EQ(toggle->value, 0.0f);
    panelPress(page, 165, 5, 1);
    EXPECT_EQ(page.pressedIndex, 3);
    panelDrag(page, 165, 15); // the negative tag still drags and reports
    panelRelease(page);
    EXPECT_EQ(page.take(), "c-5=0.425 e-5 ");
    EXPECT_FLOAT_EQ(inert->value, 0.425f);
    panelRelease(page);
    EXPECT_EQ(page.take(), "e-1 ");

    page.mouseDown(oxn3test::mouseAt(page, 45, 5, 2)); // double-click: 0.5, and drags go on from there
    EXPECT_EQ(page.take(), "B7 b7 c7=0.8 c7=0.5 ");
    page.mouseDrag(oxn3test::mouseAt(page, {45, -5}, {45, 5}));
    EXPECT_FLOAT_EQ(knob->value, 0.575f);
}

TEST(PanelMouse, OverlapSliderHoverAndIdle)
{
    RecordingPage page;
    PanelControl* anim = page.addControl(3, 3, 0, 0, 20, 20, "", 1);
    PanelControl* slider = page.addControl(2, 2, 10, 10, 6, 100, "", 0);
    panelHover(page, 12, 15); // both show hover; the later one is hovered and receives the press
    EXPECT_EQ(page.hoveredIndex + anim->hoverTarget + slider->hoverTarget, 3.0f);
    panelPress(page, 12, 35, 1); // slider: 0 is the top
    EXPECT_FLOAT_EQ(slider->value, 0.25f);
    panelRelease(page);
    panelHover(page, 300, 300); // nothing hit: the hovered index stays
    EXPECT_EQ(page.hoveredIndex, 1);
    anim->hoverTarget = 1;
    page.onIdle(false);
    EXPECT_EQ(page.frameCounter + anim->hoverLevel, 0.0f);
    for (int i = 0; i < 8; ++i)
    {
        anim->dirty = slider->dirty = 0;
        page.onIdle(true);
        EXPECT_TRUE(anim->dirty && !slider->dirty); // type 3 repaints on every tick, even when settled
    }
    EXPECT_EQ(page.frameCounter, 8);
    EXPECT_FLOAT_EQ(anim->hoverLevel, 1.0f - 1.0f / 256.0f);
    EXPECT_EQ(anim->animation, 1.0f);
    panelLeave(page);
    EXPECT_EQ(page.hoveredIndex + anim->hoverTarget, -1.0f);
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
        panelHover(page, 30 * i + 10, 20);
        panelPress(page, 30 * i + 10, 20, 1 + i % 2);
        panelDrag(page, 30 * i + 13, 5);
        panelRelease(page);
        page.log[0] = 0;
        panelLeave(page);
        page.onIdle(true);
        page.invalidateRects();
    }
    EXPECT_EQ(scope.count(), 0);
}
