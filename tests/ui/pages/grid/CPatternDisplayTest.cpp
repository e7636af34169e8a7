// The pattern grid page and the scope page over it.
#include "UiTestHelpers.h"
#include "ui/pages/grid/CPatternDisplay.h"
#include "ui/pages/scope/CWaveformDisplay.h"
#include "ui/pages/grid/PatternGridGeometry.h"
#include "ui/pages/scope/ScopeGeometry.h"

namespace
{
struct GridFixture : oxn3test::PageRig<CWaveformDisplay>
{
    Vst303Pattern& pattern = synth.activePattern();
    CPatternDisplay grid{nullptr, editor.get()};
    CWaveformDisplay& scope = page;

    explicit GridFixture(float s = 1.0f) : PageRig(s)
    {
        grid.synth = &synth;
        grid.scale = s;
        scope.setSynth(&synth);
        grid.setBounds(scope.getBounds());
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
    {
        f.pattern.steps[i].flags = 0;
        f.grid.pointerPressed(f.on(i, 6, i % 2 == 0 ? -18 : 18)); // gate, near either column edge
        f.grid.pointerPressed(f.on(i, 101, -4));                  // down box
        f.grid.pointerPressed(f.on(i, 101, 4));                   // up box
        EXPECT_EQ(f.pattern.steps[i].flags, step_t::kGate | step_t::kDown | step_t::kUp) << i;
    }
    f.grid.pointerMoved(f.on(15, 50, 19));
    EXPECT_EQ(f.grid.hoverStep, 15);
}

TEST(PatternGrid, RowZonesGapsAndPitches)
{
    // {design y, pitch, flags} starting from pitch 20 and no flags
    const std::tuple<int, int, std::uint8_t> cases[] = {
        {15, 36, 0}, {17, 36, 0}, {86, 1, 0},  {0, 20, step_t::kGate}, {87, 20, 0}, {97, 20, 0},
        {110, 20, 0}, {111, 20, 0}, {112, 20, step_t::kAccent}, {133, 20, step_t::kSlide}};
    GridFixture f;
    for (const auto& [yd, pitch, flags] : cases)
    {
        f.pattern.steps[3] = step_t{20, 0};
        f.grid.pointerPressed(f.on(3, float(yd)));
        EXPECT_EQ(f.pattern.steps[3].pitch * 256 + f.pattern.steps[3].flags, pitch * 256 + flags) << yd;
    }
}

TEST(PatternGrid, DragsReachZeroAndShiftSweepsUntilItLeavesTheSteps)
{
    GridFixture f;
    f.grid.pointerPressed(f.on(2, 50));
    f.grid.pointerDragged(f.on(2, 200), {});
    EXPECT_EQ(f.pattern.steps[2].pitch, 0);
    f.pattern.steps[5].pitch = 7;
    const juce::ModifierKeys shift(juce::ModifierKeys::shiftModifier);
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
    for (const auto& [x, channel] : {std::pair(170, 15), {510, 0}}) // "<" then ">"
    {
        f.scope.mouseDown(oxn3test::mouseAt(f.scope, x, 16));
        f.scope.mouseUp(oxn3test::mouseAt(f.scope, x, 16));
        EXPECT_EQ(f.processor->captureSource, channel);
    }
    f.scope.onIdle(true);
    EXPECT_STREQ(f.control(CWaveformDisplay::kChannelName).label, "Text");
    f.scope.buttonClicked(CWaveformDisplay::kPlay);
    oxn3test::render(*f.processor, oxn3test::kTestBlock);
    f.scope.onIdle(true);
    EXPECT_STREQ(f.control(CWaveformDisplay::kChannelName).label, "audio");
    EXPECT_STREQ(f.control(CWaveformDisplay::kPlay).label, "Stop");
}

TEST(Scope, ZoomsAndScroll)
{
    GridFixture f;
    f.scope.scrollX = 30;
    for (int button : {CWaveformDisplay::kTimeIn, CWaveformDisplay::kZoomIn, CWaveformDisplay::kReset})
        f.scope.buttonClicked(button);
    EXPECT_EQ(f.scope.timeZoom * 1000 + f.scope.gain * 100 + f.scope.scrollX, 1130.0f);
    for (const auto& [x, zoom] : {std::pair(0, 100.0f), {-5, 0.1f}, {6220, 0.1f}, {622, 1.0f}, {311, 2.0f}})
    {
        f.scope.dragTo({x, 50});
        EXPECT_FLOAT_EQ(f.scope.timeZoom, zoom) << x;
    }
    f.scope.timeZoom = 2;
    f.scope.mouseDown(oxn3test::mouseAt(f.scope, 40, 130));
    EXPECT_EQ(f.scope.pressedIndex, CWaveformDisplay::kScrollBarPressed);
    for (const auto& [x, scroll] : {std::pair(100, 90.0f), {-100, 0.0f}})
    {
        f.scope.dragTo({x, 130});
        EXPECT_EQ(f.scope.scrollX, scroll);
    }
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
    GridFixture f;
    f.scope.timeZoom = 0.1f;
    const auto image = oxn3test::paintOf(f.scope, juce::Colours::transparentBlack);
    for (const auto& [x, drawn] : {std::pair(300, true), {320, false}})
    {
        EXPECT_EQ(oxn3::scope::column(x, 622, samplesPerStep, 0.1f, 0, 441000).drawn, drawn);
        EXPECT_EQ(oxn3test::countPixelsUnlike(image, {x, 20, 1, 100}, juce::Colours::black) > 0, drawn) << x;
    }
}
TEST(Scope, EndlessZoomOutDrawsNothingAndKeepsTheBarOnThePage)
{
    for (float zoom : {1e-9f, 0.0f})
    {
        EXPECT_FALSE(oxn3::scope::column(0, 622, 5512.5, zoom, 0, 441000).drawn) << zoom;
        EXPECT_EQ(oxn3::scope::scrollBarWidth(622, zoom), 622.0f);
        EXPECT_TRUE(oxn3::scope::onScrollBar(621, 130, 622, 133, zoom, 0));
    }
    GridFixture f;
    for (int i = 0; i < 60; ++i)
        f.scope.buttonClicked(CWaveformDisplay::kTimeOut);
    oxn3test::paintOf(f.scope, juce::Colours::transparentBlack);
}
} // namespace
