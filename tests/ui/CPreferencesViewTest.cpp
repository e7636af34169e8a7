#include <cmath>

#include "SettingsPageHelpers.h"
#include "ui/CPatchDisplay.h"
#include "ui/CPreferencesView.h"
#include "ui/CubeMaths.h"

namespace
{
using namespace oxn3test;

class PreferencesViewTest : public ::testing::Test
{
protected:
    EditorFixture f;
    CPreferencesView page{nullptr, &f.editor};

    JuceDemoPluginAudioProcessor& p() { return *f.processor; }
    PanelControl& control(int tag) { return *page.getControlWithTag(tag); }
    PanelControl& caption(int tag)
    {
        for (int i = page.controlCount - 1; i >= 0; --i)
            if (page.controls[i].tag == tag)
                return page.controls[i];
        return page.controls[0];
    }
};

TEST_F(PreferencesViewTest, CaptionClicksActLikeTheirBoxesAndVcoModeCaptionAlternates)
{
    placePage(page, 1.0f);
    Synth303& engine = *p().synth;
    engine.running = engine.runRequest = engine.gate = engine.slideActive = engine.keyHeld = 1;
    clickAt(page, 60, 90); // "Note Mode" stops the pattern at once
    EXPECT_EQ(p().MidiMode, 1);
    EXPECT_EQ(engine.running + engine.runRequest + engine.gate + engine.slideActive + engine.keyHeld, 0);
    engine.running = 1;
    clickAt(page, 60, 90); // back to pattern mode: only the mode changes
    EXPECT_EQ(p().MidiMode, 0);
    EXPECT_EQ(engine.running, 1);

    clickAt(page, 60, 122); // "Improved Emulation": the dimming shows at once
    EXPECT_EQ(p().ImprovedEmulation, 0);
    EXPECT_EQ(caption(207).enabled, 0);

    for (int expected : {0, 1, 0, 1})
    {
        clickAt(page, 60, 10); // "VCO Mode"
        EXPECT_EQ(p().VCOMode, expected);
        page.onIdle(true);
    }
    clickAt(page, 36, 14); // the switch's right end
    EXPECT_EQ(p().VCOMode, 2);
}

TEST_F(PreferencesViewTest, OptionsToggleAsOneMinusTheirValue)
{
    struct Case
    {
        int tag;
        int JuceDemoPluginAudioProcessor::*option;
    };
    for (const Case& c : {Case{102, &JuceDemoPluginAudioProcessor::VCANoise},
                          Case{105, &JuceDemoPluginAudioProcessor::VCOPhaseReset}})
    {
        p().*c.option = 5; // hand-edited configuration
        page.buttonClicked(c.tag);
        EXPECT_EQ(p().*c.option, -4) << c.tag;
        page.buttonClicked(c.tag);
        EXPECT_EQ(p().*c.option, 5) << c.tag;
    }
}

TEST_F(PreferencesViewTest, BassAndVcfTrimDimWithTheClassicEngineButStillWork)
{
    page.buttonClicked(106);
    EXPECT_EQ(p().ImprovedEmulation, 0);
    for (int tag : {206, 207, 212, 213})
        EXPECT_EQ(caption(tag).enabled, 0) << tag;
    EXPECT_EQ(control(200).enabled, 1);

    page.valueChanged(206, 0.25f);
    EXPECT_FLOAT_EQ(p().getParameter(16), 0.25f);
    EXPECT_EQ(f.editor.patchDisplay->text, "Bass: 25%");
    EXPECT_EQ(p().touchedParameter, 16);
    page.valueChanged(212, 0.75f);
    EXPECT_DOUBLE_EQ(p().VCFTrim, 0.75);

    // A restored state with the improved engine shows on the next tick.
    p().ImprovedEmulation = 1;
    page.onIdle(true);
    EXPECT_EQ(caption(213).enabled, 1);
    EXPECT_EQ(control(106).value, 1.0f);
}

TEST_F(PreferencesViewTest, InTheEditorARestoredStateShowsOnTheNextTicks)
{
    p().PatternKnob = 4;
    f.editor.timerCallback();
    CPreferencesView& shown = *f.editor.preferencesView;
    ASSERT_TRUE(shown.isVisible());
    p().ImprovedEmulation = 0;
    p().VCANoise = 1;
    f.editor.timerCallback();
    EXPECT_EQ(shown.getControlWithTag(102)->value, 1.0f);
    EXPECT_EQ(shown.getControlWithTag(212)->enabled, 0);
    snapshotEditor(f.editor, "editor_view4_preferences.png");
}

TEST_F(PreferencesViewTest, TrimsGoThroughTheHostParameterWithTruncatedPercentTexts)
{
    struct Case
    {
        int tag, parameter;
        float v;
        const char* text;
    };
    for (const Case& c : {Case{200, 13, 0.999f, "Reso Trim: 99%"}, Case{202, 14, 1.0f, "Gate Trim: 100%"},
                          Case{204, 15, 0.5f, "Detune Trim: 50%"}, Case{210, 9, 0.0f, "Hipass: 0%"}})
    {
        page.valueChanged(c.tag, c.v);
        EXPECT_FLOAT_EQ(p().getParameter(c.parameter), c.v) << c.tag;
        EXPECT_EQ(p().touchedParameter, c.parameter);
        EXPECT_EQ(f.editor.patchDisplay->text, c.text);
        EXPECT_EQ(f.editor.statusCounter, 10);
    }
    EXPECT_DOUBLE_EQ(p().ResoTrim, static_cast<double>(0.999f));

    page.valueChanged(99, 2.0f);
    EXPECT_EQ(p().VCOMode, 2);
    page.valueChanged(99, 0.0f);
    EXPECT_EQ(p().VCOMode, 0);
}

TEST_F(PreferencesViewTest, SpinHalvesInAbout69TicksAndADragWithoutNetMovementStopsIt)
{
    placePage(page, 1.0f);
    const juce::Point<float> down(300, 60);
    page.mouseDown(mouseAt(page, down, down));
    page.mouseDrag(mouseAt(page, {340, 40}, down));
    EXPECT_FLOAT_EQ(page.cubeSpin[0], -0.02f);
    EXPECT_FLOAT_EQ(page.cubeSpin[1], 0.04f);
    EXPECT_FLOAT_EQ(page.cubeSpin[2], 0.002f);

    for (int tick = 0; tick < 69; ++tick)
        page.onIdle(true);
    EXPECT_NEAR(page.cubeSpin[1], 0.02f, 0.0001f);

    page.mouseDrag(mouseAt(page, down, down));
    for (float spin : page.cubeSpin)
        EXPECT_EQ(spin, 0.0f);
}

TEST(CubeMaths, WaveformHalfIsTwistedJustAboveIsStraight)
{
    const float shape[5] = {1, 1, 1, 1, 1};
    float box[8][3];
    oxn3::cubeTargetVertices(shape, oxn3::cubeIsTwisted(0.5f), box);
    EXPECT_EQ(box[0][0], 10.0f);
    EXPECT_EQ(box[0][1], 10.0f);
    oxn3::cubeTargetVertices(shape, oxn3::cubeIsTwisted(0.5001f), box);
    EXPECT_EQ(box[0][0], -10.0f);
    EXPECT_EQ(box[0][1], -10.0f);
    EXPECT_EQ(box[0][2], -10.0f);
    EXPECT_EQ(box[4][0], -10.0f) << "the back face keeps its side in both variants";
}

TEST(CubeMaths, FacesScaleWithDecayAndAccentAndTheShapeEasesByHalves)
{
    float shape[5] = {};
    oxn3::easeCubeShape(shape, {1.0f, 0.8f, 0.4f, 1.0f, 0.5f, 0.25f});
    EXPECT_FLOAT_EQ(shape[0], 0.4f);
    EXPECT_FLOAT_EQ(shape[2], 0.325f); // half of Envmod x 0.65
    const float full[5] = {1.0f, 1.0f, 1.0f, 0.5f, 0.25f};
    float box[8][3];
    oxn3::cubeTargetVertices(full, false, box);
    EXPECT_FLOAT_EQ(box[2][0], 5.0f);   // front x: 10 A D
    EXPECT_FLOAT_EQ(box[6][0], 10.0f);  // back x: 10 A
    EXPECT_FLOAT_EQ(box[6][1], 2.5f);   // back y: 10 B E
    EXPECT_FLOAT_EQ(box[6][2], 2.5f);   // back z: 10 C E
}

TEST(CubeMaths, RotationCentringAndProjection)
{
    const float quarter = static_cast<float>(juce::MathConstants<double>::halfPi);
    struct Case
    {
        float angle[3];
        float in[3], out[3];
    };
    for (const Case& c : {Case{{0, quarter, 0}, {1, 0, 0}, {0, 0, 1}}, Case{{quarter, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                          Case{{0, 0, quarter}, {1, 0, 0}, {0, 1, 0}}})
    {
        float out[3];
        oxn3::rotateCubeVertex(c.in, c.angle, out);
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_NEAR(out[axis], c.out[axis], 1e-6f);
    }
    float box[8][3];
    const float shape[5] = {1, 1, 1, 1, 0.5f};
    oxn3::cubeTargetVertices(shape, false, box);
    oxn3::centreCube(box);
    float sum[3] = {};
    for (auto& v : box)
        for (int axis = 0; axis < 3; ++axis)
            sum[axis] += v[axis];
    for (float s : sum)
        EXPECT_NEAR(s, 0.0f, 1e-5f);

    float sx = 0, sy = 0;
    const float v[3] = {10, -5, 30};
    oxn3::projectCubeVertex(v, 2.0f, 100, 50, sx, sy);
    EXPECT_FLOAT_EQ(sx, 200.0f); // 10 x 800 / 80 + 100
    EXPECT_FLOAT_EQ(sy, 0.0f);
}

TEST_F(PreferencesViewTest, SnapshotsShowGridBoxAndControls)
{
    p().setParameter(8, 0.0f); // twisted box
    const float sound[][2] = {{1, 0.7f}, {2, 0.6f}, {3, 0.8f}, {4, 0.6f}, {5, 0.5f}};
    for (const auto& parameter : sound)
        p().setParameter(static_cast<int>(parameter[0]), parameter[1]);
    for (float scale : {1.0f, 2.0f})
    {
        placePage(page, scale);
        page.cubeSpin[0] = 0.3f, page.cubeSpin[1] = 0.5f;
        juce::Image image;
        for (int frame = 0; frame < 12; ++frame) // let the box grow from its point
        {
            page.onIdle(true);
            image = snapshot(page, ("preferences_x" + juce::String(static_cast<int>(scale)) + ".png"));
        }
        const auto centre = oxn3::preferencesGrid(scale).getCentre().toInt();
        EXPECT_GT(litPixels(image, juce::Rectangle<int>(0, 0, 60, 60).withCentre(centre), 0.8f), 0) << "the box";
    }
}
} // namespace
