#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"

namespace
{
using A = CPatternAnalyzer;

struct Analyser : ::testing::Test, oxn3test::PageRig<A>
{
    Analyser() { page.setSynth(&synth); }
    void down(int x, int y) { page.mouseDown(oxn3test::mouseAt(page, x, y)); }
    void up(int x, int y) { page.mouseUp(oxn3test::mouseAt(page, x, y)); }
    // What a press changed: 'w' wave playing, 'p' pattern running, 'h' help shown.
    std::string state() const
    {
        return std::string(processor->playSample ? "w" : "") + (synth.running ? "p" : "") + (page.helpVisible ? "h" : "");
    }
};
} // namespace

TEST_F(Analyser, EachButtonDoesItsOwnJobFromItsFirstToItsLastPixel)
{
    // {design rectangle's top left, width, height, what its press turns on}; Detect and Load have
    // no state of their own here, so they must turn on nothing of the others.
    const std::tuple<int, int, int, int, std::string> rows[] = {
        {4, 5, 90, 18, "w"}, {4, 26, 90, 18, "p"}, {4, 47, 90, 18, ""}, {4, 68, 90, 18, "h"},
    };
    for (const auto& [x, y, w, h, job] : rows)
        // The framework's boxes hold their right and bottom edges, one pixel past the design size.
        for (const auto& [px, py, inside] : {std::tuple(x, y, true), {x + w + 1, y + h + 1, true}, {x + w + 2, y + 5, false},
                                             {x + 5, y - 1, false}})
        {
            down(px, py);
            up(px, py);
            EXPECT_EQ(state(), inside ? job : "") << px << "," << py;
            processor->playSample = 0, page.helpVisible = false;
            synth.setRunStop(0);
        }
}

TEST_F(Analyser, MarkerHandlesAndTheDeadAreaEndOnTheirLastPixel)
{
    // Page 622 x 133 at scale 1: the wave starts at x 105 and is 512 pixels wide; handles are the
    // bottom 8 rows, the left one from x 105, the right one ending at the wave's right end.
    const std::tuple<int, int, int> rows[] = {
        {105, 125, A::kLeftMarker},   {112, 132, A::kLeftMarker},   {113, 128, A::kPlayPosition},
        {105, 124, A::kPlayPosition}, {609, 125, A::kRightMarker},  {616, 132, A::kRightMarker},
        {608, 130, A::kPlayPosition}, {617, 130, A::kPlayPosition}, {368, 0, -1},
        {431, 15, -1},                {432, 10, A::kPlayPosition},  {400, 16, A::kPlayPosition},
        {367, 5, A::kPlayPosition},
    };
    for (const auto& [x, y, target] : rows)
    {
        down(x, y);
        EXPECT_EQ(page.pressedTag, target) << x << "," << y;
        up(x, y);
    }
}

TEST_F(Analyser, StepsDragKeepsTheLengthInOneTo64)
{
    for (const auto& [dy, length] : {std::pair(-8, 18), {-400, 64}, {60, 1}, {400, 1}})
    {
        synth.activePattern().setLength(16);
        const juce::Point<float> at(40, 119);
        page.mouseDown(oxn3test::mouseAt(page, at, at));
        page.mouseDrag(oxn3test::mouseAt(page, at.translated(0, float(dy)), at));
        page.mouseUp(oxn3test::mouseAt(page, at.translated(0, float(dy)), at));
        EXPECT_EQ(synth.activePattern().getLength(), length) << dy;
    }
}
