#include <gtest/gtest.h>

#include "UiTestHelpers.h"
#include "ui/pages/grid/CPatternDisplay.h"
#include "ui/pages/grid/PatternGridGeometry.h"

namespace
{
struct Grid : oxn3test::EditorRig
{
    CPatternDisplay grid{nullptr, editor.get()};
    Vst303Pattern& pattern = synth.activePattern();

    explicit Grid(float scale)
    {
        grid.synth = &synth;
        grid.scale = scale;
        grid.setBounds(0, 0, int(622 * scale), int(133 * scale));
        reset();
    }
    void reset()
    {
        for (int i = 0; i < 64; ++i)
            pattern.steps[i] = step_t{20, 0};
    }
    void press(int xd, int yd)
    {
        const juce::Point<float> p(float(int(xd * grid.scale)), float(int(yd * grid.scale)));
        grid.mouseDown(oxn3test::mouseAt(grid, p, p));
        grid.mouseUp(oxn3test::mouseAt(grid, p, p));
    }
};
} // namespace

TEST(GridPageTable, EachBandEditsExactlyItsFlagFromItsFirstToItsLastDesignRow)
{
    constexpr int kG = step_t::kGate, kA = step_t::kAccent, kS = step_t::kSlide, kD = step_t::kDown, kU = step_t::kUp;
    // {design y, x offset from the step's centre, pitch afterwards, flags afterwards}
    const std::tuple<int, int, int, int> rows[] = {
        {0, 0, 20, kG},    {14, 0, 20, kG},   {15, 0, 36, 0},    {85, 0, 2, 0},     {86, 0, 1, 0},
        {87, 0, 20, 0},    {97, 0, 20, 0},    {98, -3, 20, kD},  {98, 3, 20, kU},   {109, -3, 20, kD},
        {109, 3, 20, kU},  {110, 0, 20, 0},   {111, 0, 20, 0},   {112, 0, 20, kA},  {120, 0, 20, kA},
        {121, 0, 20, kS},  {133, 0, 20, kS},  {134, 0, 20, 0},
    };
    for (float scale : {1.0f, 2.0f})
    {
        Grid g(scale);
        for (const auto& [yd, dx, pitch, flags] : rows)
        {
            g.reset();
            g.press(int(oxn3::grid::stepCentre(5)) + dx, yd);
            for (int s = 0; s < 16; ++s)
                ASSERT_EQ(g.pattern.steps[s].pitch * 256 + g.pattern.steps[s].flags,
                          s == 5 ? pitch * 256 + flags : 20 * 256)
                    << "y " << yd << " dx " << dx << " step " << s << " scale " << scale;
        }
    }
}

TEST(GridPageTable, ColumnsEndHalfWayBetweenTheDrawnSteps)
{
    // {design x, step whose gate toggles, octave box it toggles at y 100}
    const std::tuple<int, int, int> rows[] = {
        {0, 0, step_t::kDown},    {17, 0, step_t::kDown},  {18, 0, step_t::kUp},   {37, 0, step_t::kUp},
        {38, 1, step_t::kDown},   {57, 1, step_t::kDown},  {58, 1, step_t::kUp},   {76, 1, step_t::kUp},
        {77, 2, step_t::kDown},   {584, 14, step_t::kUp},  {585, 15, step_t::kDown}, {621, 15, step_t::kUp},
    };
    Grid g(1.0f);
    for (const auto& [xd, step, box] : rows)
    {
        g.reset();
        g.press(xd, 3);
        g.press(xd, 100);
        for (int s = 0; s < 16; ++s)
            EXPECT_EQ(g.pattern.steps[s].flags, s == step ? step_t::kGate | box : 0) << "x " << xd << " step " << s;
    }
}
