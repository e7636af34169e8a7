// Every page and widget drawn into the snapshot folder for people to look at (pages at scale 1 and 2),
// with the few pixels that show each picture holds what it should.
#include "UiTestHelpers.h"
#include "ui/pages/randomiser/CAdvancedRandomView.h"
#include "ui/pages/steps/CAiraDisplay.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/pages/analyser/CPatternAnalyzer.h"
#include "ui/widgets/CPatternDigits.h"
#include "ui/pages/grid/CPatternDisplay.h"
#include "ui/pages/preferences/CPreferencesView.h"
#include "ui/widgets/CSplashView.h"
#include "ui/pages/scope/CWaveformDisplay.h"
#include "ui/framework/CubeMaths.h"
#include "ui/pages/grid/PatternGridGeometry.h"

namespace
{
using namespace oxn3test;
const juce::Colour kBack(24, 26, 30);

juce::String suffix(float s) { return "_x" + juce::String(static_cast<int>(s)); }
juce::Image shot(juce::Component& c) { return c.createComponentSnapshot(c.getLocalBounds(), true, 1.0f); }
template <typename Page>
void place(Page& page, float s, int height = 133)
{
    page.setScale(s);
    page.setBounds(0, 0, static_cast<int>(622 * s), static_cast<int>(height * s));
}
} // namespace

// The whole editor at the menu's three sizes (turning the cutoff changes only its knob's pixels), its
// small displays and bitmap widgets at scale 1 and 2, and each page that only the view knob shows.
TEST(Snapshots, EditorAtThreeSizesAndInEachView)
{
    EditorRig rig(true);
    auto& editor = rig.open();
    rig.tick(100);
    for (const auto size : {juce::Point<int>(754, 276), juce::Point<int>(980, 358), juce::Point<int>(1508, 552)})
    {
        editor.setSize(size.x, size.y);
        rig.processor->parameterValues[1] = 0.5;
        rig.tick();
        const auto before = shot(editor);
        saveSnapshot(before, "editor_" + juce::String(size.x) + "x" + juce::String(size.y));
        rig.processor->parameterValues[1] = 0.9;
        rig.tick();
        const auto after = shot(editor);
        juce::Rectangle<int> changed;
        for (int y = 0; y < before.getHeight(); ++y)
            for (int x = 0; x < before.getWidth(); ++x)
                if (before.getPixelAt(x, y) != after.getPixelAt(x, y))
                    changed = changed.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1) : changed.getUnion({x, y, 1, 1});
        EXPECT_FALSE(changed.isEmpty());
        EXPECT_TRUE(editor.getBitmapSliderWithName("cutoffKnob")->getBounds().contains(changed)) << changed.toString();
        if (size.x % 754 != 0)
            continue;
        const float s = float(size.x / 754);
        saveSnapshot(after.getClippedImage((juce::Rectangle<float>(140, 0, 614, 120) * s).toNearestInt()),
                     "bitmap_widgets" + suffix(s));
        for (int lockAndRun : {0, 1})
        {
            rig.processor->PatternLock = rig.synth.running = lockAndRun;
            rig.tick();
            const auto image = shot(editor);
            saveSnapshot(image.getClippedImage(editor.patternDigits->getBounds()),
                         (lockAndRun ? "pattern_digits_locked_running" : "pattern_digits_open_stopped") + suffix(s));
            saveSnapshot(image.getClippedImage(editor.patchDisplay->getBounds()), "patch_display" + suffix(s));
        }
        rig.synth.running = 0;
        editor.splashVisible = true;
        rig.tick(150);
        saveSnapshot(shot(editor).getClippedImage(editor.splashView->getBounds()), "about_view" + suffix(s));
        EXPECT_GT(countPixelsUnlike(shot(*editor.splashView), editor.splashView->getLocalBounds(), juce::Colours::black),
                  200 * s); // the credits
        editor.splashVisible = false;
    }

    editor.setSize(980, 358);
    rig.processor->handleMidiCC(102, 0); // the randomiser's gate density at 0
    rig.processor->VCANoise = 1;
    for (const auto& [view, name] : {std::pair(3, "editor_view3_randomiser"), {4, "editor_view4_preferences"},
                                     {-1, "grid_scope_editor"}})
    {
        rig.processor->PatternKnob = view;
        rig.tick(2);
        saveSnapshot(shot(editor), name);
    }
    rig.processor->PatternKnob = 2;
    rig.tick();
    const juce::File loop = renderedLoop(bassLine(), 44100, "oxn3-snapshot-loop.wav");
    editor.analyzer->filesDropped(juce::StringArray(loop.getFullPathName()), 10, 10);
    rig.tick(2);
    saveSnapshot(shot(editor), "analyzer_editor");
    CPatternAnalyzer& page = *editor.analyzer;
    page.selectionStart = 0.125f, page.selectionEnd = 0.875f;
    rig.processor->samplePlayPosition = rig.processor->sampleBuffer.getNumSamples() * 0.3;
    saveSnapshot(paintOf(page, kBack), "analyzer_wave");
    page.helpVisible = true;
    for (int frame = 0; frame < 30; ++frame)
        paintOf(page, kBack);
    saveSnapshot(paintOf(page, kBack), "analyzer_help");
    loop.deleteFile();
}

// Each page in the editor at scale 1 and 2: the classic panel with a pitch, flags, run, auto-advance and
// the blinking step-record lamp lit, MIDI learn labels and the hidden animation's faces; the step table
// and its pitch bars; the grid under a running scope; the preferences' box; the randomiser learning.
TEST(Snapshots, Pages)
{
    EditorRig rig(true);
    Editor& editor = rig.open();
    Vst303Pattern& p = rig.synth.activePattern();
    const int pitches[] = {0, 12, 7, 0, 3, 15, 14, 10, 5, 17, 12, 0, 7, 19, 3, 24};
    const std::uint8_t flags[] = {1, 0x11, 0x09, 1, 0, 0x13, 0x15, 1, 0x19, 1, 0x03, 0, 0x11, 1, 0x09, 1};
    for (int i = 0; i < 16; ++i)
        p.steps[i] = step_t{static_cast<std::int8_t>(pitches[i]), flags[i]};
    p.setLength(13);
    rig.processor->setParameter(8, 0.0f); // twisted box
    for (const auto& [parameter, value] : {std::pair(1, 0.7f), {2, 0.6f}, {3, 0.8f}, {4, 0.6f}, {5, 0.5f}})
        rig.processor->setParameter(parameter, value);
    rig.processor->midiCCMap[74] = 101;
    rig.processor->midiKeyMap[60] = 200; // C
    rig.tick(100);
    for (float s : {1.0f, 2.0f})
    {
        editor.setSize(int(754 * s), int(276 * s));
        auto page = [&](int view, juce::Component* c, const juce::String& name, int ticks = 2) {
            rig.processor->PatternKnob = view;
            rig.tick(ticks);
            if (view == 0) // the step-record lamp in its lit phase
                editor.customDisplay->frameCounter = 7;
            const juce::Image image = shot(editor).getClippedImage(c->getBounds());
            saveSnapshot(image, name + suffix(s));
            return image;
        };
        rig.synth.editStep = 6, rig.synth.playStep = 5;
        rig.synth.running = rig.synth.autoAdvance = rig.synth.stepRecord = 1;
        const juce::Image panel = page(0, editor.customDisplay, "classic_panel");
        rig.synth.running = rig.synth.autoAdvance = rig.synth.stepRecord = 0;
        const auto at = [&](float px, float py) { return panel.getPixelAt(int((px - 2.5f) * s), int(py * s)); };
        // pitch 14 is D of the second band: lamp 2 red; the step-record lamp blinks red
        EXPECT_EQ(at(186, 74), juce::Colour(255, 0, 0));
        EXPECT_EQ(at(592, 21), juce::Colour(255, 0, 0));
        EXPECT_EQ(at(433, 74), juce::Colours::white); // down
        EXPECT_NE(at(151, 74), juce::Colour(255, 0, 0));

        page(1, editor.airaDisplay, "aira_table");
        editor.airaDisplay->pitchBarView = 1, editor.airaDisplay->pitchBarFade = 1.0;
        page(1, editor.airaDisplay, "aira_pitchbars", 0);
        editor.airaDisplay->pitchBarView = 0;
        rig.processor->PatternKnob = -1;
        rig.tick();
        editor.waveformDisplay->buttonClicked(CWaveformDisplay::kPlay); // a running trace
        for (int block = 0; block < 200; ++block)
            render(*rig.processor, kTestBlock);
        page(-1, editor.waveformDisplay, "grid_scope");
        editor.waveformDisplay->buttonClicked(CWaveformDisplay::kPlay);
        editor.preferencesView->cubeSpin[0] = 0.3f, editor.preferencesView->cubeSpin[1] = 0.5f;
        const juce::Image prefs = page(4, editor.preferencesView, "preferences", 12); // the box grows from its point
        EXPECT_GT(litPixels(prefs, juce::Rectangle<int>(0, 0, 60, 60).withCentre(oxn3::preferencesGrid(s).getCentre().toInt()), 0.8f), 0);
        CAdvancedRandomView& random = *editor.randomView;
        for (bool learning : {true, false})
        {
            rig.processor->midiLearnActive = learning ? 1 : 0;
            page(3, &random, juce::String("advanced_random_learn_") + (learning ? "on" : "off"), 6);
            EXPECT_EQ(random.getControlWithTag(101)->showOverlay + random.getControlWithTag(124)->showOverlay,
                      learning ? 2 : 0);
            EXPECT_EQ(random.getControlWithTag(125)->showOverlay, 0);
            const juce::String texts = juce::String(random.getControlWithTag(101)->overlayText) + "|" +
                                       juce::String(random.getControlWithTag(102)->overlayText);
            EXPECT_TRUE(!learning || texts == "#74|N/A") << texts;
        }
    }

    editor.setSize(754, 276);
    rig.synth.editStep = 0;
    rig.processor->PatternKnob = 0;
    rig.tick();
    const juce::Rectangle<int> c = classicpanel::buttonBox(0, 1.0f).reduced(1) + editor.customDisplay->getPosition();
    const juce::Image plain = shot(editor);
    rig.processor->midiLearnActive = 1;
    rig.tick();
    const juce::Image learning = shot(editor);
    saveSnapshot(learning.getClippedImage(editor.customDisplay->getBounds()), "classic_panel_learn_x1");
    int darker = 0;
    for (int y = c.getY(); y < c.getBottom(); ++y)
        for (int x = c.getX(); x < c.getRight(); ++x)
            darker += learning.getPixelAt(x, y).getBrightness() < plain.getPixelAt(x, y).getBrightness();
    EXPECT_GT(litPixels(learning, c, 0.9f), 5); // "60"
    EXPECT_GT(darker, c.getWidth() * c.getHeight() / 2);

    rig.processor->midiLearnActive = 0;
    p.steps[0] = {24, 0x1E}; // up, down, slide and accent
    rig.tick();
    editor.customDisplay->frameCounter = 40;
    const juce::Image faces = shot(editor).getClippedImage(editor.customDisplay->getBounds());
    saveSnapshot(faces, "classic_panel_faces_x1");
    // t = 40: the first face is centred 400 pixels left of the right edge, on the middle line.
    EXPECT_EQ(faces.getPixelAt(222, 66 - 25), juce::Colour(250, 250, 0));
}

// The panel controls of every type at scale 1 and 2; the about view's logo fades in.
TEST(Snapshots, PanelControls)
{
    MyCustomDisplay gallery(nullptr, nullptr);
    gallery.addControl(0, 0, 10, 10, 60, 20, "Button", 0);
    gallery.addControl(1, 1, 90, 20, 60, 60, "", 0.4f)->fontSize = 9;
    gallery.addControl(2, 2, 230, 10, 10, 100, "", 0.3f);
    gallery.addControl(3, 3, 270, 10, 60, 20, "Toggle", 1)->animation = 1;
    gallery.addControl(30, 3, 270, 40, 60, 20, "Off", 0);
    gallery.addControl(4, 4, 350, 10, 14, 14, "", 1);
    gallery.addControl(40, 4, 370, 10, 14, 14, "", 0);
    gallery.addControl(5, 5, 350, 40, 80, 16, "Centred", 0);
    gallery.addControl(50, 5, 350, 60, 80, 16, "Disabled", 0)->enabled = 0;
    gallery.addControl(6, 6, 450, 10, 80, 16, "Left caption", 0);
    gallery.addControl(7, 7, 470, 50, 30, 30, "", 0.75f);
    gallery.addControl(8, 8, 560, 10, 60, 16, "", 2);
    gallery.addControl(9, 9, 560, 40, 60, 20, "Hover", 0)->hoverLevel = 1;
    PanelControl* overlay = gallery.addControl(10, 7, 640, 20, 30, 30, "", 0.5f);
    overlay->showOverlay = 1;
    strcpy(overlay->overlayText, "CC 74");
    for (float s : {1.0f, 2.0f})
    {
        gallery.setScale(s);
        gallery.setBounds(0, 0, int(754 * s), int(130 * s));
        juce::Image image = paintOf(gallery);
        juce::Graphics g(image);
        gallery.drawPlayButton(g, juce::Rectangle<float>(690, 10, 40, 40) * s, 0, 255);
        gallery.drawPlayButton(g, juce::Rectangle<float>(690, 60, 40, 40) * s, 1, 200);
        saveSnapshot(image, "panel_controls" + suffix(s));
        // The caption needs a working font; a lit toggle box is filled, an unlit one only outlined.
        EXPECT_GT(countPixelsUnlike(image, (juce::Rectangle<float>(350, 40, 80, 16) * s).toNearestInt(),
                                    juce::Colour(0xff202428)), 20 * s);
        EXPECT_GT(litPixels(image, {int(357 * s) - 1, int(17 * s) - 1, 3, 3}, 0.5f), 0);
        EXPECT_EQ(litPixels(image, {int(377 * s) - 1, int(17 * s) - 1, 3, 3}, 0.5f), 0);

        juce::Image logo(juce::Image::ARGB, 240, 160, true);
        juce::Graphics(logo).fillAll(juce::Colours::lightblue);
        CSplashView about(&logo, nullptr);
        place(about, s);
        for (int t : {5, 10})
        {
            about.frameCounter = t;
            EXPECT_NEAR(paintOf(about, juce::Colours::black).getPixelAt(10, (int)(20 * s)).getBlue(),
                        t == 5 ? 127 * 230 / 255 : 230, 2);
        }
    }
}
