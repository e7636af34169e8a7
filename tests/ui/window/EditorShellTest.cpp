// The editor shell: the design geometry at every size, the size limits, the logo click, skins and
// "Gui.ini".
#include <gtest/gtest.h>

#include <string>

#include "UiTestHelpers.h"
#include "ui/pages/steps/CAiraDisplay.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/widgets/CPatternDigits.h"
#include "ui/window/DefaultSkin.h"
#include "ui/guifile/GuiFile.h"

using oxn3test::EditorRig;

TEST(EditorShell, ChildrenSitAtDesignCoordinatesAndDoubleAtTwiceTheWidth)
{
    EditorRig rig(true);
    auto& editor = rig.open();
    for (const int factor : {1, 2})
    {
        editor.setSize(754 * factor, 276 * factor);
        const std::pair<juce::Component*, juce::Rectangle<int>> cases[] = {
            {editor.patchDisplay, {244, 6, 216, 25}},        {editor.airaDisplay, {66, 130, 622, 137}},
            {editor.getBitmapSliderWithName("tuningKnob"), {200, 61, 48, 48}},
            {editor.getBitmapSliderWithName("sticker00005"), {649, 47, 80, 56}},
        };
        for (const auto& [child, design] : cases)
            EXPECT_EQ(child->getBounds(), design * factor) << child->getName() << " x" << factor;
        EXPECT_EQ(rig.processor->uiWidth, 754 * factor);
    }
}

TEST(EditorShell, SizeLimitsLogoClickAndViewKnob)
{
    EditorRig rig(true);
    auto& editor = rig.open();
    EXPECT_EQ(editor.getBounds(), juce::Rectangle<int>(0, 0, 980, 358));
    editor.setSize(1508, 552); // the menu's large size
    EXPECT_EQ(editor.getHeight(), 552);
    juce::Rectangle<int> dragged(0, 0, 3000, 1100);
    editor.constrainer.checkBounds(dragged, editor.getBounds(), {}, false, false, true, true);
    EXPECT_EQ(dragged.getHeight(), 550);
    EXPECT_LT(dragged.getWidth(), 1508);
    EXPECT_NEAR((double)dragged.getWidth() / dragged.getHeight(), 754.0 / 276.0, 0.01);

    for (const auto& [x, y, opens] : {std::tuple(20, 55, true), std::tuple(104, 98, true), std::tuple(105, 60, false)})
    {
        editor.splashVisible = false;
        editor.mouseDown(oxn3test::mouseAt(editor, x * 2, y * 2));
        EXPECT_EQ(editor.splashVisible, opens) << x << "," << y;
    }

    rig.processor->uiWidth = 5000, rig.processor->uiHeight = 10; // the smallest panel
    EXPECT_EQ(rig.open().getBounds(), juce::Rectangle<int>(0, 0, 150, 55));
    for (const int view : {0, 2, 4})
    {
        rig.processor->PatternKnob = view;
        EXPECT_DOUBLE_EQ(rig.open().patternKnobWidget->getValue(), view * 0.25);
    }
}

TEST(EditorShell, MissingStripLeavesOnlyThatWidgetAtZeroSize)
{
    EditorRig rig(true);
    rig.open();
    rig.editor.reset();
    ASSERT_TRUE(rig.file("Default Skin/kb03d.png").deleteFile());
    auto& editor = rig.open();
    for (int i = 0; i < editor.widgetCount; ++i)
        EXPECT_EQ(editor.widgets[i]->getBounds().isEmpty(), editor.widgets[i]->getName() == "cutoffKnob")
            << editor.widgets[i]->getName();
    EXPECT_FALSE(rig.file("Default Skin/kb03d.png").exists()); // the folder exists: nothing written back
}

TEST(GuiFile, ScannerRules)
{
    const juce::File file = juce::File::createTempFile(".ini");
    const struct
    {
        const char* text;
        bool withBackground;
        const char *skin, *background;
        int red, alpha;
    } cases[] = {
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
        file.replaceWithText(c.text, false, false, nullptr);
        char skin[1024] = "unchanged", background[1024] = "unchanged";
        int colour[4] = {-7, -7, -7, -7};
        oxn3gui::GuiFields fields;
        fields.skin = skin, fields.skinSize = sizeof(skin);
        if (c.withBackground)
            fields.background = background, fields.backgroundSize = sizeof(background);
        for (int i = 0; i < 4; ++i)
            fields.colour[i] = &colour[i];
        EXPECT_EQ(oxn3gui::readGuiFile(file.getFullPathName().toRawUTF8(), fields), 1);
        EXPECT_STREQ(skin, c.skin) << c.text;
        EXPECT_STREQ(background, c.background) << c.text;
        EXPECT_EQ(colour[0] * 1000 + colour[3], c.red * 1000 + c.alpha) << c.text;
    }
    file.deleteFile();
    EXPECT_EQ(oxn3gui::readGuiFile("/nonexistent/Gui.ini", oxn3gui::GuiFields{}), 0);
}

// A background chosen in a deep folder comes back whole; a value longer than its field is refused.
TEST(GuiFile, LongValuesRoundTripOrAreRefused)
{
    const juce::File file = juce::File::createTempFile(".ini");
    const std::string background = "/home/someone/Music/Samples/Backgrounds/" + std::string(150, 'b') + ".png";
    ASSERT_EQ(oxn3gui::writeGuiFile(file.getFullPathName().toRawUTF8(), std::string(40, 's').c_str(),
                                    background.c_str()), 1);
    char skin[24] = "unchanged", read[1024] = "";
    oxn3gui::GuiFields fields;
    fields.skin = skin, fields.skinSize = sizeof(skin);
    fields.background = read, fields.backgroundSize = sizeof(read);
    EXPECT_EQ(oxn3gui::readGuiFile(file.getFullPathName().toRawUTF8(), fields), 1);
    EXPECT_EQ(std::string(read), background);
    EXPECT_STREQ(skin, "unchanged");
    file.deleteFile();
}

TEST(GuiConfig, WithoutFilesTheDefaultSkinIsWrittenUsedAndNamedInGuiIni)
{
    EditorRig rig(true);
    auto& editor = rig.open();
    EXPECT_STREQ(skinDir, "Default Skin");
    EXPECT_EQ(juce::String(graphicsDir), juce::String(rig.folder.path("Default Skin/")));
    EXPECT_EQ(rig.file("Default Skin").getNumberOfChildFiles(juce::File::findFiles), oxn3::kDefaultSkinFileCount);
    EXPECT_TRUE(editor.backgroundImage.isValid());
    EXPECT_EQ(editor.patchDisplay->textColour, juce::Colour(255, 255, 0));
    rig.editor.reset();
    EXPECT_EQ(rig.file("Gui.ini").loadFileAsString(), "Skin = \"Default Skin\"\nBackground = \"\"\n");
}

// Through two windows: the skin file redirects the image folder and overrides the colour each
// time, and "Gui.ini" keeps the skin name it gave, the user's colour keys and comment.
TEST(GuiConfig, SkinFileRedirectsTheFolderAndGuiIniKeepsTheUsersSettings)
{
    EditorRig rig(true);
    const juce::String userLines =
        "; mine\r\nSkin = \"Mine\"\r\nTextColorR = 300\r\nTextColorB = 9\r\nTextColorG = 7\r\n";
    rig.file("Gui.ini").replaceWithText(userLines);
    rig.file("Mine.oxn3skin").replaceWithText("Skin = \"Images\"\nTextColorG = 12\n");
    for (int window = 0; window < 2; ++window)
    {
        auto& editor = rig.open();
        EXPECT_STREQ(skinDir, "Images") << window;
        EXPECT_EQ(editor.patchDisplay->textColour, juce::Colour(44, 12, 9)) << window;
        EXPECT_FALSE(editor.backgroundImage.isValid()); // "Images" holds no pictures
        rig.editor.reset();
        EXPECT_EQ(rig.file("Gui.ini").loadFileAsString(), "Background = \"\"\n" + userLines) << window;
    }
}

TEST(GuiFile, UpdateSetsTheProgramsKeysInPlaceAndKeepsEveryOtherLine)
{
    const juce::File file = juce::File::createTempFile(".ini");
    const auto update = [&](const std::string& old) {
        file.replaceWithText(old, false, false, nullptr);
        EXPECT_EQ(oxn3gui::updateGuiFile(file.getFullPathName().toRawUTF8(), "New", "/b.png"), 1);
        return file.loadFileAsString().toStdString();
    };
    // "Skin=" is no key, and a comment runs to the LF, as the reader takes them; lone CRs end lines.
    const std::string userLines = "\tSkin=\"x\"\r\n; c\rSkin = \"Hidden\"\nTextColorR = 1\r";
    EXPECT_EQ(update(userLines + "Background = \"/a.png\"\rSkin = \"Old\"\nTextColorA = 1"),
              userLines + "Background = \"/b.png\"\rSkin = \"New\"\nTextColorA = 1");
    EXPECT_EQ(update("Skin = \"Old\"\r\nSkin = \"Older\"\nBackground \"\""), // later lines of a key go
              "Skin = \"New\"\r\nBackground = \"/b.png\"\n");
    file.deleteFile(); // no file: the program's two lines
    EXPECT_EQ(oxn3gui::updateGuiFile(file.getFullPathName().toRawUTF8(), "New", "/b.png"), 1);
    EXPECT_EQ(file.loadFileAsString(), "Skin = \"New\"\nBackground = \"/b.png\"\n");
    file.deleteFile();
}
