#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/CWaveformDisplay.h"

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
