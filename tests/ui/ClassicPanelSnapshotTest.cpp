#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "ui/CCustomDisplay.h"
#include "ui/DefaultSkinData.h"

namespace
{
// The panel's picture from the default skin, as the editor hands it over.
juce::Image* skinPicture()
{
    for (int i = 0; i < oxn3::kDefaultSkinFileCount; ++i)
        if (juce::String(oxn3::kDefaultSkinFiles[i].name) == "Switchboard_Back_x4.png")
            return new juce::Image(juce::ImageFileFormat::loadFrom(oxn3::kDefaultSkinFiles[i].data,
                                                                   static_cast<size_t>(oxn3::kDefaultSkinFiles[i].size)));
    return nullptr;
}

bool writePng(const juce::Image& image, const juce::String& name)
{
    const juce::File file = juce::File(OXN3_SNAPSHOT_DIR).getChildFile(name);
    file.deleteFile();
    juce::FileOutputStream out(file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream(image, out);
}
} // namespace

class ClassicPanelSnapshot : public EditorFixture
{
};

// The panel with a pitch, flags, run, auto-advance and the blinking step-record lamp lit and both
// read-outs, at scale 1 and 2.
TEST_F(ClassicPanelSnapshot, LampsAndReadOutsAtTwoScales)
{
    synth.activePattern().setLength(32);
    synth.activePattern().steps[6] = {14, step_t::kGate | step_t::kDown | step_t::kAccent};
    synth.editStep = 6;
    synth.running = 1;
    synth.autoAdvance = 1;
    synth.stepRecord = 1;
    for (float scale : {1.0f, 2.0f})
    {
        CCustomDisplay panel(skinPicture(), editor.get());
        panel.setSynth(&synth);
        panel.setScale(scale);
        panel.setBounds(0, 0, static_cast<int>(622 * scale), static_cast<int>(133 * scale));
        panel.frameCounter = 7; // step-record lamp in its lit phase
        panel.chaseFrame = 27;  // start-up chase over
        juce::Image image(juce::Image::ARGB, panel.getWidth(), panel.getHeight(), true);
        {
            juce::Graphics g(image);
            g.fillAll(juce::Colour(24, 24, 28));
            panel.paint(g);
        }
        ASSERT_TRUE(writePng(image, "classic_panel_x" + juce::String(static_cast<int>(scale)) + ".png"));

        // pitch 14 is D of the second band: lamp 2 red; the step-record lamp blinks red
        const auto at = [&](float x, float y) {
            return image.getPixelAt(static_cast<int>((x - 2.5f) * scale), static_cast<int>(y * scale));
        };
        EXPECT_EQ(at(186, 74), juce::Colour(255, 0, 0));
        EXPECT_EQ(at(592, 21), juce::Colour(255, 0, 0));
        EXPECT_EQ(at(433, 74), juce::Colours::white); // down
        EXPECT_NE(at(151, 74), juce::Colour(255, 0, 0));
    }
}

// MIDI learn: every push area darkened and labelled with its key, "-" where none is mapped.
TEST_F(ClassicPanelSnapshot, LearnLabelsOverEveryButton)
{
    processor->midiKeyMap[60] = 200; // C
    processor->midiKeyMap[37] = 233; // run/stop
    CCustomDisplay panel(skinPicture(), editor.get());
    panel.setSynth(&synth);
    panel.setBounds(0, 0, 622, 133);
    panel.chaseFrame = 27;
    auto paint = [&](int learn) {
        processor->midiLearnActive = learn;
        juce::Image image(juce::Image::ARGB, 622, 133, true);
        juce::Graphics g(image);
        panel.paint(g);
        return image;
    };
    const juce::Image plain = paint(0), learning = paint(1);
    ASSERT_TRUE(writePng(learning, "classic_panel_learn_x1.png"));
    const juce::Rectangle<int> c = classicpanel::buttonBox(0, 1.0f);
    int whitePixels = 0, darker = 0;
    for (int y = c.getY() + 1; y < c.getBottom() - 1; ++y)
        for (int x = c.getX() + 1; x < c.getRight() - 1; ++x)
        {
            whitePixels += learning.getPixelAt(x, y).getBrightness() > 0.9f ? 1 : 0;
            darker += learning.getPixelAt(x, y).getBrightness() < plain.getPixelAt(x, y).getBrightness() ? 1 : 0;
        }
    EXPECT_GT(whitePixels, 5); // "60"
    EXPECT_GT(darker, c.getWidth() * c.getHeight() / 2);
}

// Step 0 at pitch 24 with up, down, slide and accent sends faces across the panel.
TEST_F(ClassicPanelSnapshot, HiddenAnimation)
{
    synth.activePattern().steps[0] = {24, 0x1E};
    CCustomDisplay panel(skinPicture(), editor.get());
    panel.setSynth(&synth);
    panel.setBounds(0, 0, 622, 133);
    panel.chaseFrame = 27;
    panel.frameCounter = 40;
    juce::Image image(juce::Image::ARGB, 622, 133, true);
    {
        juce::Graphics g(image);
        panel.paint(g);
    }
    ASSERT_TRUE(writePng(image, "classic_panel_faces_x1.png"));
    // t = 40: the first face is centred 400 pixels left of the right edge, on the middle line.
    EXPECT_EQ(image.getPixelAt(222, 66 - 25), juce::Colour(250, 250, 0));
}
