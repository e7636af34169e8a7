// Edits made in the window reach the host as a changed state, so a song knows it needs saving;
// opening the window, moving a knob or switching learn on does not.
#include <gtest/gtest.h>

#include "StateChangeCounter.h"
#include "UiTestHelpers.h"
#include "processor/HostStateWatcher.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/window/PatchMenu.h"

using namespace oxn3;

namespace
{
constexpr int kNoteKeyE = 4, kLengthDown = 23;
constexpr int kClearTag = 221;

class SessionChange : public oxn3test::EditorTest
{
  protected:
    oxn3test::StateChangeCounter counter{*processor};
    juce::Array<juce::File> answer;

    SessionChange()
    {
        patchMenuSeams().chooseFiles = [this](const PatchFileDialog&) { return answer; };
        std::snprintf(processor->configFolder, sizeof processor->configFolder, "%s", folder.path("").c_str());
    }
    ~SessionChange() override { patchMenuSeams() = {}; }

    // What one look tells the host after the editor's next tick.
    int look()
    {
        tick();
        const int before = counter.count;
        processor->stateWatcher->check();
        return counter.count - before;
    }

    void press(int buttonIndex)
    {
        editor->customDisplay->press(classicpanel::buttonBox(buttonIndex, editor->customDisplay->scale).getCentre(),
                                     false, false);
        editor->customDisplay->release();
    }

    int indexOfTag(int tag) const
    {
        for (int i = 0; i < classicpanel::kButtonCount; ++i)
            if (buttonlist[i].tag == tag)
                return i;
        return -1;
    }

    void menu(int id, const juce::String& file = {})
    {
        answer.clear();
        if (file.isNotEmpty())
            answer.add(juce::File(file));
        editor->menuItemSelected(id, editor.get());
    }
};
} // namespace

TEST_F(SessionChange, EachKindOfEditInTheWindowIsTold)
{
    EXPECT_EQ(look(), 0); // the window opening changes nothing

    const Vst303Pattern before = synth.patterns[0];
    press(kNoteKeyE);
    EXPECT_FALSE(oxn3test::samePattern(synth.patterns[0], before));
    EXPECT_EQ(look(), 1) << "a step";

    for (int i = 0; i < 4; ++i)
        press(kLengthDown);
    EXPECT_EQ(synth.patterns[0].getLength(), 12);
    EXPECT_EQ(look(), 1) << "four times LENGTH -";

    press(indexOfTag(kClearTag));
    EXPECT_EQ(look(), 1) << "Clear";

    menu(kMenuLoadPattern, writePattern("bass.pat", 5, 3, 0.4f));
    EXPECT_EQ(synth.patterns[0].getLength(), 5);
    EXPECT_EQ(look(), 1) << "a load";

    menu(kMenuCopyPattern);
    EXPECT_EQ(look(), 0) << "a copy";
    synth.currentPattern = 3; // as the rocker does
    EXPECT_EQ(look(), 1) << "another pattern";
    menu(kMenuPastePattern);
    EXPECT_EQ(synth.patterns[3].getLength(), 5);
    EXPECT_EQ(look(), 1) << "a paste";

    menu(kMenuMidiMode);
    EXPECT_EQ(look(), 1) << "an option";
    menu(kMenuMidiMode);
    EXPECT_EQ(look(), 1) << "the option back";
}

TEST_F(SessionChange, ALearnEntryAndTheWindowSizeAreToldKnobsAndLearnModeAreNot)
{
    menu(kMenuMidiLearn);
    ASSERT_EQ(processor->midiLearnActive, 1);
    editor->getBitmapSliderWithName("cutoffKnob")->setValue(0.3, juce::sendNotificationSync);
    EXPECT_NEAR(processor->getParameter(kCutoff), 0.3f, 1e-6);
    EXPECT_EQ(look(), 0) << "learn on and a knob moved";
    oxn3test::send(*processor, oxn3test::controller(20, 64));
    EXPECT_EQ(processor->midiCCMap[20], kCutoff);
    EXPECT_EQ(look(), 1) << "a learn entry";

    const int width = processor->uiWidth;
    editor->setSize(editor->getWidth() * 3 / 2, editor->getHeight() * 3 / 2);
    EXPECT_NE(processor->uiWidth, width);
    EXPECT_EQ(look(), 1) << "the window size";

    // A window a host opened takes a last look as it goes.
    editor.reset();
    std::unique_ptr<juce::AudioProcessorEditor> hosted(processor->createEditorIfNeeded());
    const int before = counter.count;
    synth.patterns[7].setLength(2);
    hosted.reset();
    EXPECT_EQ(counter.count - before, 1) << "an edit just before the window closed";
}
