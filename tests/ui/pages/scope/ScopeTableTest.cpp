#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/pages/scope/CWaveformDisplay.h"

TEST(ScopeTable, ScrollBarAnswersFromItsFirstToItsLastPixel)
{
    oxn3test::PageRig<CWaveformDisplay> rig;
    CWaveformDisplay& scope = rig.page;
    scope.setSynth(&rig.synth);
    scope.timeZoom = 2;  // the bar is 311 pixels wide
    scope.scrollX = 100; // from x 100 to 410, in the page's bottom 8 rows 125..132
    // {x, y, grabbed}
    const std::tuple<int, int, bool> rows[] = {
        {100, 125, true}, {410, 132, true}, {99, 128, false}, {411, 128, false}, {200, 124, false}, {200, 133, false},
    };
    for (const auto& [x, y, grabbed] : rows)
    {
        scope.mouseDown(oxn3test::mouseAt(scope, x, y));
        EXPECT_EQ(scope.pressedIndex == CWaveformDisplay::kScrollBarPressed, grabbed) << x << "," << y;
        scope.mouseUp(oxn3test::mouseAt(scope, x, y));
    }
}

TEST(ScopeTable, EachButtonDoesExactlyItsJob)
{
    oxn3test::PageRig<CWaveformDisplay> rig;
    CWaveformDisplay& scope = rig.page;
    scope.setSynth(&rig.synth);
    // {button's left edge (all at y 0, 16 high), running, channel, time zoom, gain}; from channel 5,
    // time zoom 2, gain 4, stopped
    const std::tuple<int, int, int, float, float> rows[] = {
        {0, 1, 5, 2, 4},     {60, 0, 4, 2, 4},  {120, 0, 5, 2, 4}, {230, 0, 6, 2, 4}, {290, 0, 5, 1, 1},
        {350, 0, 5, 2, 8},   {410, 0, 5, 2, 2}, {470, 0, 5, 3, 4}, {530, 0, 5, 2 / 1.5f, 4},
    };
    for (const auto& [x, running, channel, zoom, gain] : rows)
        for (int px : {x + 1, x + 40})
        {
            rig.synth.setRunStop(0);
            rig.processor->captureSource = 5;
            scope.timeZoom = 2, scope.gain = 4;
            scope.mouseDown(oxn3test::mouseAt(scope, px, 8));
            scope.mouseUp(oxn3test::mouseAt(scope, px, 8));
            EXPECT_EQ(rig.synth.running * 100 + rig.processor->captureSource, running * 100 + channel) << px;
            EXPECT_FLOAT_EQ(scope.timeZoom, zoom) << px;
            EXPECT_FLOAT_EQ(scope.gain, gain) << px;
        }
    rig.synth.setRunStop(0);
}
