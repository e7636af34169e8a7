// "Gui.ini" and skin files: the scanner's rules, the skin resolution at construction and the
// file written on close.
#include <gtest/gtest.h>

#include "EditorTestHelpers.h"
#include "ui/CPatchDisplay.h"
#include "ui/DefaultSkin.h"
#include "ui/guifile/GuiFile.h"

namespace
{
struct Read
{
    char skin[1024] = "unchanged";
    char background[1024] = "unchanged";
    int colour[4] = {-7, -7, -7, -7};
};

Read readText(const juce::File& file, const char* text, bool withBackground)
{
    file.replaceWithText(text, false, false, nullptr);
    Read r;
    oxn3gui::GuiFields fields;
    fields.skin = r.skin;
    fields.skinSize = sizeof(r.skin);
    if (withBackground)
        fields.background = r.background, fields.backgroundSize = sizeof(r.background);
    for (int i = 0; i < 4; ++i)
        fields.colour[i] = &r.colour[i];
    EXPECT_EQ(oxn3gui::readGuiFile(file.getFullPathName().toRawUTF8(), fields), 1);
    return r;
}
} // namespace

TEST(GuiFile, ScannerRules)
{
    const juce::File file = juce::File::createTempFile(".ini");
    struct Case
    {
        const char* text;
        bool withBackground;
        const char* skin;
        const char* background;
        int red, alpha;
    } cases[] = {
        {"Skin = \"Gfx\"\nBackground = \"/b.png\"\nTextColorR = 300\nTextColorA = -1\n", true, "Gfx", "/b.png", 300, -1},
        {"; comment = \"x\"\r\n\r\n\tSkin = \"Gfx\"\r\nBackground = \"/b.png\"\r\nTextColorR = 300\r\nTextColorA = -1\r\n",
         true, "Gfx", "/b.png", 300, -1},
        {"Skin = Gfx\nTextColorR = red\n", true, "unchanged", "unchanged", -7, -7},        // unquoted: not taken
        {"Background = \"/b.png\"\nSkin = \"A\"\n", false, "A", "unchanged", -7, -7},         // skin files: no background
        {"Unknown = word Skin = \"B\" TextColorR = +12", true, "B", "unchanged", 12, -7}, // unknown key skipped
        {"Skin = \"unterminated", true, "unterminated", "unchanged", -7, -7},
        {"skin = \"lower\"\nTextColorR = 99999999999\n", true, "unchanged", "unchanged", 2147483647, -7},
    };
    for (const auto& c : cases)
    {
        const Read r = readText(file, c.text, c.withBackground);
        EXPECT_STREQ(r.skin, c.skin) << c.text;
        EXPECT_STREQ(r.background, c.background) << c.text;
        EXPECT_EQ(r.colour[0], c.red) << c.text;
        EXPECT_EQ(r.colour[3], c.alpha) << c.text;
    }
    file.deleteFile();
    EXPECT_EQ(oxn3gui::readGuiFile("/nonexistent/Gui.ini", oxn3gui::GuiFields{}), 0);
}

TEST(GuiConfig, WithoutFilesTheDefaultSkinIsWrittenUsedAndNamedInGuiIni)
{
    oxn3test::EditorRig rig;
    auto& editor = rig.open();
    EXPECT_STREQ(skinDir, "Default Skin");
    EXPECT_EQ(juce::String(graphicsDir), rig.folder.getFullPathName() + "/Default Skin/");
    EXPECT_EQ(rig.file("Default Skin").getNumberOfChildFiles(juce::File::findFiles), oxn3::kDefaultSkinFileCount);
    EXPECT_TRUE(editor.backgroundImage.isValid());
    EXPECT_EQ(editor.patchDisplay->textColour, juce::Colour(255, 255, 0));
    rig.close();
    EXPECT_EQ(rig.file("Gui.ini").loadFileAsString(), "Skin = \"Default Skin\"\nBackground = \"\"\n");
}

TEST(GuiConfig, SkinFileRedirectsTheFolderAndOverridesTheColour)
{
    oxn3test::EditorRig rig;
    rig.file("Gui.ini").replaceWithText("Skin = \"Mine\"\r\nTextColorR = 300\r\nTextColorG = 7\r\n");
    rig.file("Mine.oxn3skin").replaceWithText("Skin = \"Images\"\nTextColorG = 12\n");
    auto& editor = rig.open();
    EXPECT_STREQ(skinDir, "Images");
    EXPECT_EQ(editor.patchDisplay->textColour, juce::Colour(44, 12, 0));
    EXPECT_FALSE(editor.backgroundImage.isValid()); // "Images" holds no pictures
    rig.close();
    EXPECT_TRUE(rig.file("Gui.ini").loadFileAsString().startsWith("Skin = \"Images\"\n"));
}
