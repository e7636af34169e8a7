#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <unistd.h>
#include <vector>

#include "UiTestHelpers.h"
#include "tests/patterns/FileFaults.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/window/PatchMenu.h"
#include "ui/window/PatchPath.h"
#include "ui/window/SaveFailureText.h"

using namespace oxn3;

namespace
{
const std::string kOld = "old bytes\n";
}

class PatchMenuSave : public oxn3test::EditorTest
{
  protected:
    juce::Array<juce::File> answer;
    std::vector<juce::File> replaceAsked;
    bool replace = true;
    char savedSkin[sizeof skinDir] = {};
    char savedName[sizeof skinName] = {};
    char savedBackground[sizeof backgroundFilename] = {};

    PatchMenuSave()
    {
        std::memcpy(savedSkin, skinDir, sizeof skinDir);
        std::memcpy(savedName, skinName, sizeof skinName);
        std::memcpy(savedBackground, backgroundFilename, sizeof backgroundFilename);
        patchMenuSeams().chooseFiles = [this](const PatchFileDialog&) { return answer; };
        patchMenuSeams().confirmReplace = [this](const juce::File& f, std::function<void(bool)> a) {
            replaceAsked.push_back(f);
            a(replace);
        };
        patchMenuSeams().alert = [](const juce::String&, const juce::String&) {};
        setConfigFolder(folder.path(""));
        processor->patternsFolder = file("Patterns");
    }
    ~PatchMenuSave() override
    {
        patchMenuSeams() = {};
        std::memcpy(skinDir, savedSkin, sizeof skinDir);
        std::memcpy(skinName, savedName, sizeof skinName);
        std::memcpy(backgroundFilename, savedBackground, sizeof backgroundFilename);
    }

    void setConfigFolder(const std::string& path)
    {
        std::snprintf(processor->configFolder, sizeof processor->configFolder, "%s", path.c_str());
    }
    void choose(int id, const juce::String& path)
    {
        answer = {juce::File(path)};
        editor->menuItemSelected(id, editor.get());
    }
    // What a failed write must leave alone.
    juce::String movable() const
    {
        return editor->lastBrowseFolder.getFullPathName() + "|" + processor->patternsFolder.getFullPathName() + "|" +
               juce::String(skinDir) + "|" + juce::String(backgroundFilename);
    }
};

// Every command that writes a file, under each fault: the old file keeps its bytes, nothing is
// left beside it, the status line says why and which file failed, reason first, long enough to
// be read, and no folder or skin choice moves. The names the user types are 60 characters long.
// (A skin is chosen from the configuration folder; where that is no folder, the skin itself is
// refused.)
TEST_F(PatchMenuSave, EveryWritingCommandReportsAFailureAndMovesNothing)
{
    auto named = [](const std::string& extension) {
        const std::string start = "friday night bassline take ";
        return start + std::string(60 - start.size() - extension.size(), 'x') + extension;
    };
    // {command, file it writes, the file lives in the configuration folder}
    const std::tuple<int, std::string, bool> commands[] = {
        {kMenuSavePattern, named(".pat"), false},     {kMenuSaveMidiMap, named(".map"), false},
        {kMenuExportREPatch, named(".repatch"), false}, {kMenuExportMidi, named(".mid"), false},
        {kMenuSaveConfig, "Config.ini", true},            {kMenuSkin, "Gui.ini", true},
        {kMenuBackground, "Gui.ini", true}};
    enum Fault { kNoRoom, kThroughAFile, kAFolder };
    const char* const reasons[] = {"File too large: ", "No such folder: ", "Name taken by a folder: "};
    juce::MemoryOutputStream png;
    juce::PNGImageFormat().writeImageToStream(juce::Image(juce::Image::RGB, 2, 2, true), png);
    folder.write("bg.png", std::string(static_cast<const char*>(png.getData()), png.getDataSize()));
    editor->lastBrowseFolder = file("start.pat");
    int n = 0;
    for (const auto& [id, name, inConfig] : commands)
        for (Fault fault : {kNoRoom, kThroughAFile, kAFolder})
        {
            const std::string base = folder.path("case" + std::to_string(n++));
            std::filesystem::create_directory(base);
            std::ofstream(base + "/plain.txt") << "x";
            const std::string where = fault == kThroughAFile ? base + "/plain.txt/" : base + "/";
            const std::string target = where + name;
            if (fault == kAFolder)
                std::filesystem::create_directory(target);
            if (fault == kNoRoom)
                std::ofstream(target, std::ios::binary) << kOld;
            if (inConfig)
                setConfigFolder(where);
            if (id == kMenuSkin && fault != kThroughAFile)
                std::ofstream(where + "Night.oxn3skin");
            const juce::String picked = id == kMenuSkin ? juce::String(where + "Night.oxn3skin")
                                      : id == kMenuBackground ? folder.path("bg.png") : target;
            const auto before = entriesUnder(base);
            const juce::String kept = movable();
            {
                std::unique_ptr<NoRoomOnDisk> full(fault == kNoRoom ? new NoRoomOnDisk : nullptr);
                choose(id, picked);
            }
            const std::string label = name + " / " + reasons[fault];
            if (id == kMenuSkin && fault == kThroughAFile)
            {
                EXPECT_EQ(status(), juce::String("Skin not in config folder")) << label;
                EXPECT_EQ(editor->statusCounter, 50) << label;
            }
            else
            {
                EXPECT_TRUE(status().startsWith(reasons[fault]) && status().endsWith(" not saved")) << status();
                EXPECT_EQ(status(), saveFailureText(name, fault == kNoRoom ? EFBIG
                                                    : fault == kThroughAFile ? ENOTDIR : EISDIR)) << label;
                EXPECT_TRUE(fitsStatusLine(status())) << status();
                EXPECT_EQ(editor->statusCounter, kSaveFailureTicks) << label;
            }
            EXPECT_EQ(entriesUnder(base), before) << label;
            EXPECT_EQ(movable(), kept) << label;
            if (fault == kNoRoom)
            {
                EXPECT_EQ(ScratchFolder::read(target), kOld) << label;
            }
            editor->statusCounter = 0;
        }
}

// The failure stays six seconds unless the panel is used; a save that is refused for its path's
// length names the file the same way.
TEST_F(PatchMenuSave, AFailureStaysSixSecondsOrUntilThePanelIsUsed)
{
    tick(81); // past the banner
    choose(kMenuSavePattern, folder.path("no such folder/acid1.pat"));
    const juce::String failure = status();
    EXPECT_EQ(failure, "No such folder: acid1.pat not saved");
    tick(kSaveFailureTicks);
    EXPECT_EQ(status(), failure);
    tick();
    EXPECT_NE(status(), failure);

    choose(kMenuSavePattern, folder.path("no such folder/acid1.pat"));
    editor->patternKnobWidget->setValue(0.25, juce::sendNotificationSync);
    EXPECT_EQ(status(), "Pattern Edit");

    juce::File deep = file("d");
    for (int i = 0; i < 6; ++i)
        deep = deep.getChildFile(juce::String::repeatedString("d", 50));
    choose(kMenuExportMidi, deep.getChildFile("line.mid").getFullPathName());
    EXPECT_EQ(status(), "Path too long: line.mid not saved");
}

// A process under a file-size limit of 0 bytes whose SIGXFSZ keeps its default action, which is
// to end it: a save through the menu fails, says why, and the process lives on.
TEST_F(PatchMenuSave, AFileSizeLimitFailsTheSaveWithoutEndingTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string target = folder.path("acid1.pat");
    auto saveUnderTheLimit = [&] {
        std::signal(SIGXFSZ, SIG_DFL);
        {
            NoRoomOnDisk full;
            choose(kMenuSavePattern, target);
        }
        std::fprintf(stderr, "%s\n", status().toRawUTF8());
        std::fflush(stderr);
        _exit(std::filesystem::exists(target) ? 1 : 0);
    };
    EXPECT_EXIT(saveUnderTheLimit(), ::testing::ExitedWithCode(0), "File too large: acid1.pat not saved");
}

TEST_F(PatchMenuSave, ACommandThatWritesMovesTheFoldersAndTheSkinOnlyAfterwards)
{
    choose(kMenuSavePattern, folder.path("sub/acid1.pat"));
    EXPECT_EQ(processor->patternsFolder, file("Patterns")); // no folder "sub": nothing written, nothing moved
    std::filesystem::create_directory(folder.path("sub"));
    choose(kMenuSavePattern, folder.path("sub/acid1.pat"));
    EXPECT_EQ(processor->patternsFolder, file("sub"));
    EXPECT_EQ(editor->lastBrowseFolder, file("sub/acid1.pat"));

    folder.write("Night.oxn3skin", std::string());
    choose(kMenuSkin, folder.path("Night.oxn3skin"));
    EXPECT_STREQ(skinDir, "Night");
    EXPECT_EQ(file("Gui.ini").loadFileAsString(), "Skin = \"Night\"\nBackground = \"\"\n");
    EXPECT_EQ(status(), "Please reopen the GUI");
}

// A typed name without the dialog's extension gets it (compared ignoring case); the question
// about replacing a file is asked for the name that is written.
TEST_F(PatchMenuSave, SaveDialogsAddTheirExtensionAndAskAboutTheFinalName)
{
    // {command, typed, written}
    const std::tuple<int, const char*, const char*> cases[] = {
        {kMenuSavePattern, "acid1", "acid1.pat"},   {kMenuSavePattern, "loud.PAT", "loud.PAT"},
        {kMenuSavePattern, "v1.2", "v1.2.pat"},     {kMenuSaveMidiMap, "cc", "cc.map"},
        {kMenuExportREPatch, "patch", "patch.repatch"}, {kMenuExportMidi, "line", "line.mid"}};
    folder.write("acid1", kOld); // a file of the bare name is not the one written
    for (const auto& [id, typed, written] : cases)
    {
        choose(id, folder.path(typed));
        EXPECT_TRUE(file(written).existsAsFile()) << typed;
    }
    EXPECT_EQ(ScratchFolder::read(folder.path("acid1")), kOld);
    EXPECT_FALSE(file("v1.2").exists());
    EXPECT_TRUE(replaceAsked.empty());

    const juce::String saved = file("acid1.pat").loadFileAsString();
    synth.activePattern().setLength(5);
    editor->lastBrowseFolder = juce::File();
    replace = false;
    choose(kMenuSavePattern, folder.path("acid1"));
    ASSERT_EQ(replaceAsked, std::vector<juce::File>{file("acid1.pat")});
    EXPECT_EQ(file("acid1.pat").loadFileAsString(), saved);
    EXPECT_EQ(editor->lastBrowseFolder, juce::File()); // a "no" is a cancel
    replace = true;
    choose(kMenuSavePattern, folder.path("acid1"));
    EXPECT_EQ(replaceAsked.size(), 2u);
    EXPECT_EQ(synth.activePattern().getLength(), 5);
    EXPECT_NE(file("acid1.pat").loadFileAsString(), saved);
}

TEST_F(PatchMenuSave, LoadPatternRefusesATooLongPathBeforeMovingTheFolders)
{
    juce::File deep = file("d");
    for (int i = 0; i < 6; ++i)
        deep = deep.getChildFile(juce::String::repeatedString("d", 50));
    ASSERT_TRUE(deep.createDirectory());
    const juce::File tooLong = deep.getChildFile("p.pat");
    tooLong.replaceWithText("; OXN3 Meta tag: 3\n");
    ASSERT_GT(tooLong.getFullPathName().getNumBytesAsUTF8(), 255u);
    const juce::String kept = movable();
    choose(kMenuLoadPattern, tooLong.getFullPathName());
    EXPECT_EQ(movable(), kept);
    EXPECT_EQ(status(), pathTooLongText());

    // Several files: the folders follow the first that fits, each refused file keeps its slot.
    const juce::String fits = writePattern("fits.pat", 7, 2);
    synth.currentPattern = 10;
    answer = {tooLong, juce::File(fits)};
    editor->menuItemSelected(kMenuLoadPattern, editor.get());
    EXPECT_EQ(synth.patterns[10].getLength() * 100 + synth.patterns[11].getLength(), 1607);
    EXPECT_EQ(editor->lastBrowseFolder, juce::File(fits));
    EXPECT_EQ(processor->patternsFolder, file("fits.pat").getParentDirectory());
}
