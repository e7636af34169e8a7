#include <gtest/gtest.h>

#include <cstring>

#include "EditorFixture.h"
#include "ui/CPatchDisplay.h"
#include "ui/PatchMenu.h"

using namespace oxn3;

// The real editor, offscreen: a press on the status line opens the menu, a pattern saved
// through it loads back through it.
class StatusLineMenu : public EditorFixture
{
  protected:
    std::unique_ptr<juce::AudioProcessorEditor> window{processor->createEditor()};
    JuceDemoPluginAudioProcessorEditor& ed = dynamic_cast<JuceDemoPluginAudioProcessorEditor&>(*window);
    int menusShown = 0;
    juce::String pick;          // text of the item to choose
    juce::File file;            // the dialog's answer

    StatusLineMenu()
    {
        patchMenuSeams().showMenu = [this](const juce::PopupMenu& menu, std::function<void(int)> chosen) {
            ++menusShown;
            for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
                if (it.getItem().text == pick)
                    return chosen(it.getItem().itemID);
            chosen(0);
        };
        patchMenuSeams().chooseFiles = [this](const PatchFileDialog&) { return juce::Array<juce::File>{file}; };
    }
    ~StatusLineMenu() override { patchMenuSeams() = {}; }

    void pressStatusLine(const juce::String& item)
    {
        pick = item;
        ed.patchDisplay->press(10, false);
        ed.patchDisplay->release(); // the release opens nothing
    }
};

TEST_F(StatusLineMenu, PatternSavedThroughTheMenuLoadsBack)
{
    Vst303Pattern& p = synth.activePattern();
    p.header = 11;
    p.steps[4] = {7, step_t::kGate | step_t::kSlide};
    const Vst303Pattern saved = p;
    file = juce::File(folder.path("roundtrip.pat"));
    pressStatusLine("Save Pattern");
    EXPECT_EQ(menusShown, 1);
    ASSERT_TRUE(file.existsAsFile());

    for (int i = 0; i < 11; ++i) // the file holds the steps within the length
        p.steps[i] = {};
    p.header = 16;
    pressStatusLine("Load Pattern");
    EXPECT_EQ(menusShown, 2);
    EXPECT_EQ(std::memcmp(&synth.activePattern(), &saved, sizeof saved), 0);

    pressStatusLine(""); // dismissed
    EXPECT_EQ(menusShown, 3);
}
