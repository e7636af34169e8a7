// The pattern grid page and the scope page over it.
#include <cstring>

#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/CPatternDisplay.h"
#include "ui/CWaveformDisplay.h"
#include "ui/PatternGridGeometry.h"
#include "ui/ScopeGeometry.h"

namespace
{
using juce::ModifierKeys;
struct GridFixture : oxn3test::EditorRig
{
    Vst303Pattern& pattern = synth.activePattern();
    CPatternDisplay grid{nullptr, editor.get()};
    CWaveformDisplay scope{nullptr, editor.get()};

    explicit GridFixture(float s = 1.0f)
    {
        grid.synth = &synth;
        grid.scale = s;
        scope.setSynth(&synth);
        scope.setScale(s);
        grid.setBounds(0, 0, int(622 * s), int(133 * s));
        scope.setBounds(0, 0, int(622 * s), int(133 * s));
    }

    // Window pixel of a design point on step i's centre line.
    juce::Point<int> on(int step, float yd, float dx = 0) const
    {
        return {int((oxn3::grid::stepCentre(step) + dx) * grid.scale), int(yd * grid.scale)};
    }
};

TEST(PatternGrid, PressesHitTheStepDrawnUnderThePointer)
{
    GridFixture f(2.0f);
    for (int i = 0; i < 16; ++i)
        f.pattern.steps[i].flags = 0;
    for (int i = 0; i < 16; ++i)
    {
        f.grid.pointerPressed(f.on(i, 6, i % 2 == 0 ? -18 : 18)); // gate, near either column edge
        f.grid.pointerPressed(f.on(i, 101, -4));                  // down box
        f.grid.pointerPressed(f.on(i, 101, 4));                   // up box
    }
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(f.pattern.steps[i].flags, step_t::kGate | step_t::kDown | step_t::kUp) << i;
    f.grid.pointerMoved(f.on(15, 50, 19));
    EXPECT_EQ(f.grid.hoverStep, 15);
}

TEST(PatternGrid, RowZonesGapsAndPitches)
{
    struct Case
    {
        int yd;
        int pitch;
        std::uint8_t flags;
    };
    // Starting from pitch 20 and no flags.
    const Case cases[] = {{15, 36, 0}, {17, 36, 0}, {86, 1, 0}, {0, 20, step_t::kGate},
                          {87, 20, 0}, {97, 20, 0},  {110, 20, 0}, {111, 20, 0},
                          {112, 20, step_t::kAccent}, {133, 20, step_t::kSlide}};
    GridFixture f;
    for (const auto& c : cases)
    {
        f.pattern.steps[3] = step_t{20, 0};
        f.grid.pointerPressed(f.on(3, float(c.yd)));
        EXPECT_EQ(f.pattern.steps[3].pitch, c.pitch) << c.yd;
        EXPECT_EQ(f.pattern.steps[3].flags, c.flags) << c.yd;
    }
}

TEST(PatternGrid, DragsReachZeroAndShiftSweepsUntilItLeavesTheSteps)
{
    GridFixture f;
    f.grid.pointerPressed(f.on(2, 50));
    f.grid.pointerDragged(f.on(2, 200), {});
    EXPECT_EQ(f.pattern.steps[2].pitch, 0);

    f.pattern.steps[5].pitch = 7;
    const ModifierKeys shift(ModifierKeys::shiftModifier);
    f.grid.pointerDragged(f.on(4, 15), shift);
    EXPECT_EQ(f.pattern.steps[4].pitch, 36);
    f.grid.pointerDragged({-200, 15}, shift);
    f.grid.pointerDragged(f.on(5, 15), shift);
    EXPECT_EQ(f.pattern.steps[5].pitch, 7);
    f.grid.pointerLeft();
    EXPECT_EQ(f.editor->statusState, 0);
}

TEST(PatternGrid, OnlyARestoredViewOfMinusOneShowsTheGridUnderTheScope)
{
    for (int view : {-1, 9})
    {
        oxn3test::EditorRig rig;
        juce::MemoryBlock state;
        rig.processor->getStateInformation(state);
        auto xml = juce::AudioProcessor::getXmlFromBinary(state.getData(), int(state.getSize()));
        xml->setAttribute("PatternKnob", view);
        juce::AudioProcessor::copyXmlToBinary(*xml, state);
        rig.processor->setStateInformation(state.getData(), int(state.getSize()));
        auto& editor = rig.open();
        editor.setSize(754, 276);
        rig.tick(2);
        const auto image = editor.createComponentSnapshot({66, 130, 622, 133});
        EXPECT_EQ(image.getPixelAt(36, 40) == juce::Colour(64, 0, 0), view == -1) << view;
        EXPECT_EQ(editor.waveformDisplay->isVisible(), view == -1);
    }
}

TEST(Scope, ChannelButtonsWrapAndNameWaitsForTheEngine)
{
    GridFixture f(2.0f);
    auto click = [&](int x) {
        f.scope.mouseDown(oxn3test::mouseAt(f.scope, x, 16));
        f.scope.mouseUp(oxn3test::mouseAt(f.scope, x, 16));
    };
    click(170); // "<"
    EXPECT_EQ(f.processor->captureSource, 15);
    click(510); // ">"
    EXPECT_EQ(f.processor->captureSource, 0);

    f.scope.onIdle(true);
    EXPECT_STREQ(f.scope.getControlWithTag(CWaveformDisplay::kChannelName)->label, "Text");
    f.scope.buttonClicked(CWaveformDisplay::kPlay);
    oxn3test::render(*f.processor, oxn3test::kTestBlock);
    f.scope.onIdle(true);
    EXPECT_STREQ(f.scope.getControlWithTag(CWaveformDisplay::kChannelName)->label, "audio");
    EXPECT_STREQ(f.scope.getControlWithTag(CWaveformDisplay::kPlay)->label, "Stop");
}

TEST(Scope, ZoomsAndScroll)
{
    GridFixture f;
    f.scope.scrollX = 30;
    f.scope.buttonClicked(CWaveformDisplay::kTimeIn);
    f.scope.buttonClicked(CWaveformDisplay::kZoomIn);
    f.scope.buttonClicked(CWaveformDisplay::kReset);
    EXPECT_EQ(f.scope.timeZoom, 1.0f);
    EXPECT_EQ(f.scope.gain, 1.0f);
    EXPECT_EQ(f.scope.scrollX, 30.0f);

    const struct
    {
        int x;
        float zoom;
    } drags[] = {{0, 100}, {-5, 0.1f}, {6220, 0.1f}, {622, 1}, {311, 2}};
    for (const auto& d : drags)
    {
        f.scope.dragTo({d.x, 50});
        EXPECT_FLOAT_EQ(f.scope.timeZoom, d.zoom) << d.x;
    }

    f.scope.timeZoom = 2;
    f.scope.mouseDown(oxn3test::mouseAt(f.scope, 40, 130));
    EXPECT_EQ(f.scope.pressedIndex, CWaveformDisplay::kScrollBarPressed);
    f.scope.dragTo({100, 130});
    EXPECT_EQ(f.scope.scrollX, 90.0f);
    f.scope.dragTo({-100, 130});
    EXPECT_EQ(f.scope.scrollX, 0.0f);
}

TEST(Scope, OneBarFillsThePageAtEveryWidthAndColumnsBeyondTheBufferDrawNothing)
{
    const double samplesPerStep = 5512.5; // 120 BPM at 44.1 kHz: a bar is 88200 samples
    for (int width : {622, 1244})
    {
        const auto last = oxn3::scope::column(width - 1, width, samplesPerStep, 1, 0, 441000);
        EXPECT_TRUE(last.drawn);
        EXPECT_NEAR(last.start + last.count, 88200, 2 * last.count) << width;
    }
    EXPECT_TRUE(oxn3::scope::column(300, 622, samplesPerStep, 0.1f, 0, 441000).drawn);
    EXPECT_FALSE(oxn3::scope::column(320, 622, samplesPerStep, 0.1f, 0, 441000).drawn);

    GridFixture f;
    f.scope.timeZoom = 0.1f;
    const auto image = oxn3test::paintOf(f.scope, juce::Colours::transparentBlack);
    auto columnDrawn = [&](int x) {
        for (int y = 20; y < 120; ++y)
            if (image.getPixelAt(x, y).getAlpha() != 0)
                return true;
        return false;
    };
    EXPECT_TRUE(columnDrawn(300));
    EXPECT_FALSE(columnDrawn(320));
}
} // namespace
