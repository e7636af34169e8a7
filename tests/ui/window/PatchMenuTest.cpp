#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "UiTestHelpers.h"
#include "ui/pages/classic/CCustomDisplay.h"
#include "ui/window/PatchMenu.h"
#include "ui/window/SaveFailureText.h"
#include "ui/window/RebirthConversion.h"

using namespace oxn3;
using oxn3test::samePattern;

namespace
{
// Each item as "id text", with " -" when disabled and " *" when ticked; 0 for a separator.
std::vector<juce::String> itemsOf(const juce::PopupMenu& menu)
{
    std::vector<juce::String> items;
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
    {
        const juce::PopupMenu::Item& i = it.getItem();
        items.push_back(i.isSeparator ? "0" : juce::String(i.itemID) + " " + i.text + (i.isEnabled ? "" : " -") +
                                                  (i.isTicked ? " *" : ""));
    }
    return items;
}
// A ReBirth song of one or two bass units, each record r of unit u: length lengths[r], step s
// pitch 10u + s, flags from `flags`.
std::string rebirthSong(const std::vector<int>& lengths, int units, uint8_t flags, uint8_t waveform = 1)
{
    ByteBuilder b;
    for (int u = 0; u < units; ++u)
    {
        rbs303_t unit;
        for (int k = 0; k < 6; ++k)
            unit.bytes[rebirth::kFirstKnobByte + k] = static_cast<uint8_t>(127 - 20 * k);
        unit.bytes[rebirth::kWaveformByte] = waveform;
        for (int r = 0; r < rebirth::kRecordsPerUnit; ++r)
        {
            uint8_t* rec = unit.bytes + rebirth::kFirstRecordByte + rebirth::kRecordBytes * r;
            rec[0] = static_cast<uint8_t>(lengths[static_cast<size_t>(r) % lengths.size()]);
            for (int s = 0; s < 16; ++s)
                rec[1 + 2 * s] = static_cast<uint8_t>(10 * u + s), rec[2 + 2 * s] = flags;
        }
        b.text("303 ").be32(rbs303_t::kBytes);
        b.bytes.insert(b.bytes.end(), unit.bytes, unit.bytes + rbs303_t::kBytes);
        b.byte(0);
    }
    return std::string(b.bytes.begin(), b.bytes.end());
}
} // namespace

class PatchMenu : public oxn3test::EditorTest
{
  protected:
    juce::Array<juce::File> answer;
    std::vector<PatchFileDialog> asked;
    std::vector<juce::String> alerts;

    PatchMenu()
    {
        patchMenuSeams().chooseFiles = [this](const PatchFileDialog& d) {
            asked.push_back(d);
            return answer;
        };
        patchMenuSeams().alert = [this](const juce::String& title, const juce::String& text) {
            alerts.push_back(title + "|" + text);
        };
        for (int p = 0; p < 144; ++p)
            synth.patterns[p].steps[20].pitch = 33; // marks steps that imports must leave alone
        // A skin or background choice is written to "Gui.ini" at once: keep it out of the data
        // folder the other tests read.
        std::snprintf(processor->configFolder, sizeof processor->configFolder, "%s", folder.path("").c_str());
    }
    ~PatchMenu() override { patchMenuSeams() = {}; }

    void choose(int id, std::initializer_list<juce::String> paths)
    {
        answer.clear();
        for (const juce::String& p : paths)
            answer.add(juce::File(p));
        editor->menuItemSelected(id, editor.get());
    }

    std::vector<juce::String> menu() { return itemsOf(buildPatchMenu(*editor)); }
    juce::String item(int id)
    {
        for (const juce::String& i : menu())
            if (i.upToFirstOccurrenceOf(" ", false, false).getIntValue() == id)
                return i.fromFirstOccurrenceOf(" ", false, false);
        return "missing";
    }
};

TEST_F(PatchMenu, ItemsInOrderWithTheirTicksAndStates)
{
    const int toggled[] = {5, 6, 7, 9, 13, 15, 18, 24, 29};
    auto states = [&] {
        juce::StringArray s;
        for (int id : toggled)
            s.add(item(id));
        return s.joinIntoString("|");
    };
    EXPECT_EQ(states(), "Undo -|MIDI Mode: Pattern|Sync Mode: Host|MIDI Learn|MIDI Output [VST]|Load Tuning File|"
                        "Pattern Triplet|Show Sticker *|Output Clipping: Off");
    EXPECT_EQ(item(22), "Select skin [Now " + juce::String(skinDir) + "]");

    processor->MidiMode = 1, processor->SyncMode = 0, processor->midiLearnActive = 1, processor->MidiOutput = 1;
    processor->TuningMode = 1, processor->ShowSticker = 0, processor->OutputClipping = 1;
    synth.activePattern().setTriplet(1);
    editor->undoLabel = "Alter Pattern";
    EXPECT_EQ(states(), "Undo Alter Pattern|MIDI Mode: Note|Sync Mode: Midi Trigger|MIDI Learn *|MIDI Output [VST] *|"
                        "Load Tuning File *|Pattern Triplet *|Show Sticker|Output Clipping: On");
}

TEST_F(PatchMenu, OneItemPerPatternFileOfTheFolder)
{
    writePattern("bass.pat", 5, 1);
    writePattern("acid.pat", 9, 2);
    folder.write("notes.txt", std::string("x"));
    if (!editor->scannerThread.isThreadRunning())
        editor->scannerThread.startThread();
    editor->patternFileList.setDirectory(file("x").getParentDirectory(), false, true);
    for (int i = 0; i < 500 && editor->patternFileList.isStillLoading(); ++i)
        juce::Thread::sleep(10);
    ASSERT_EQ(editor->patternFileList.getNumFiles(), 2);

    const int acid = item(1000) == "acid" ? 1000 : 1001;
    EXPECT_EQ(menu().size(), 36u);
    editor->menuItemSelected(acid, editor.get());
    EXPECT_EQ(synth.activePattern().getLength(), 9);
    EXPECT_EQ(editor->lastBrowseFolder.getFileName(), "acid.pat");
    EXPECT_TRUE(asked.empty());
}

TEST_F(PatchMenu, SavedPatternLoadsBackWithItsKnobsAndSeveralFillSlotsUpTo127)
{
    Vst303Pattern& p = synth.activePattern();
    p.header = Vst303Pattern::kTripletBit | 13;
    p.steps[3] = {-4, step_t::kGate | step_t::kAccent | step_t::kDown}; // the file has no tie column
    processor->setParameter(1, 0.3f);
    const Vst303Pattern saved = p;
    choose(kMenuSavePattern, {folder.path("saved.pat")});
    EXPECT_TRUE(asked[0].save);
    EXPECT_EQ(processor->patternsFolder, file("x").getParentDirectory());
    synth.currentPattern = 40;
    processor->setParameter(1, 0.9f);
    choose(kMenuLoadPattern, {folder.path("saved.pat")});
    EXPECT_TRUE(samePattern(synth.patterns[40], saved));
    EXPECT_NEAR(processor->getParameter(1), 0.3f, 1e-6);

    const juce::String a = writePattern("a.pat", 5, 1, 0.2f), b = writePattern("b.pat", 6, 2, 0.7f),
                       c = writePattern("c.pat", 7, 3);
    synth.currentPattern = 126;
    choose(kMenuLoadPattern, {a, b, c});
    EXPECT_EQ(asked[2].title + (asked[2].multiple ? " multiple" : ""), "Load Pattern... multiple");
    EXPECT_EQ(synth.patterns[126].getLength() * 100 + synth.patterns[127].getLength() * 10, 560);
    EXPECT_EQ(synth.patterns[128].getLength(), 16);
    EXPECT_FLOAT_EQ(processor->getParameter(1), 0.7f); // the last file's knobs stay
    EXPECT_EQ(editor->lastBrowseFolder, juce::File(a));
    synth.currentPattern = 127;
    choose(kMenuLoadPattern, {c, a});
    EXPECT_EQ(synth.patterns[127].getLength(), 7);
    EXPECT_EQ(asked[3].start, juce::File(a)); // the last file chosen is where the next dialog starts
    choose(kMenuLoadPattern, {}); // cancelled
    EXPECT_EQ(editor->lastBrowseFolder, juce::File(c));
}

TEST_F(PatchMenu, KnobValuesThatAreNoNumberAreNotApplied)
{
    Vst303Pattern p;
    Vst303PatternMetaData meta;
    meta.setValue("Cutoff:", std::nanf(""));
    meta.setValue("Tune:", 0.25f);
    p.Save(folder.path("nan.pat").c_str(), nullptr, &meta);
    processor->setParameter(1, 0.6f);
    choose(kMenuLoadPattern, {folder.path("nan.pat")});
    EXPECT_FLOAT_EQ(processor->getParameter(1), 0.6f);
    EXPECT_FLOAT_EQ(processor->getParameter(0), 0.25f);
}

// Undo writes the copy back into the pattern it was taken from, whichever is current by then.
TEST_F(PatchMenu, UndoRestoresThePatternItWasTakenFromOnce)
{
    CCustomDisplay panel(nullptr, editor.get());
    panel.setSynth(&synth);
    processor->advancedRandom.apply = 1;
    EXPECT_EQ(item(kMenuUndo), "Undo -");

    const Vst303Pattern before = synth.patterns[0];
    panel.press(classicpanel::buttonBox(22, 1.0f).getCentre(), false, false); // randomise
    panel.release();
    EXPECT_EQ(item(kMenuUndo), "Undo Randomize Pattern");
    const Vst303Pattern randomised = synth.patterns[0];

    synth.currentPattern = 3;
    const Vst303Pattern three = synth.patterns[3];
    editor->menuItemSelected(kMenuUndo, editor.get());
    EXPECT_TRUE(samePattern(synth.patterns[0], before));
    EXPECT_TRUE(samePattern(synth.patterns[3], three));
    EXPECT_FALSE(samePattern(randomised, before));
    EXPECT_EQ(processor->advancedRandom.apply, 0);
    EXPECT_EQ(item(kMenuUndo), "Undo -");

    processor->advancedRandom.apply = 1;
    panel.press(classicpanel::buttonBox(20, 1.0f).getCentre(), false, false); // clear
    editor->menuItemSelected(kMenuUndo, editor.get());
    EXPECT_EQ(processor->advancedRandom.apply, 1);
}

// A pattern file sets its steps without ties (it stores none); one without a single step line is
// a failed load that changes neither the slot nor the knobs.
TEST_F(PatchMenu, LoadedPatternFileClearsTiesAndAFileWithoutStepsChangesNothing)
{
    Vst303Pattern& p = synth.activePattern();
    for (step_t& s : p.steps)
        s.flags = step_t::kGate | step_t::kTie;
    choose(kMenuLoadPattern, {writePattern("four.pat", 4, 3)});
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(p.steps[i].flags, i < 4 ? step_t::kGate : step_t::kGate | step_t::kTie) << i;

    folder.write("garbage.pat", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    folder.write("tag.pat", std::string("; OXN3 Meta tag: 2147483655\n; Cutoff: 0.900000 \n"));
    processor->setParameter(1, 0.4f);
    const Vst303Pattern before = p;
    for (int id : {kMenuLoadPattern, kMenuImport})
        for (const char* name : {"garbage.pat", "tag.pat"})
        {
            editor->setPatchDisplayText("", 0);
            editor->statusCounter = 0;
            choose(id, {juce::String(folder.path(name))});
            EXPECT_TRUE(samePattern(p, before)) << name;
            EXPECT_EQ(status() + " " + juce::String(editor->statusCounter), "Could not read " + juce::String(name) + " 50");
        }
    EXPECT_FLOAT_EQ(processor->getParameter(1), 0.4f);
}

TEST_F(PatchMenu, NoteModeStopsTheSequencerAndBackDoesNotStartIt)
{
    synth.running = 1, synth.gate = 1, synth.keyHeld = 1;
    for (int mode : {1, 0})
    {
        editor->menuItemSelected(kMenuMidiMode, editor.get());
        EXPECT_EQ(processor->MidiMode * 10 + synth.running + synth.gate + synth.keyHeld, mode * 10);
    }
}

TEST_F(PatchMenu, ResetDefaultConfigMovesTheHostsTrimParametersWithTheTrims)
{
    for (int trim : {oxn3::kResoTrim, oxn3::kGateTrim, oxn3::kDetune, oxn3::kVcfTrim})
        processor->setParameter(trim, 0.2f);
    editor->menuItemSelected(kMenuResetConfig, editor.get());
    for (int trim : {oxn3::kResoTrim, oxn3::kGateTrim, oxn3::kDetune, oxn3::kVcfTrim})
        EXPECT_FLOAT_EQ(processor->getParameter(trim), 0.5f) << trim;
    EXPECT_EQ(processor->ResoTrim + processor->GateTrim + processor->TuningTrim + processor->VCFTrim, 2.0);
}

// The editor the processor creates: a press on the status line opens the menu, the chosen item runs.
TEST_F(PatchMenu, StatusLinePressOpensTheMenu)
{
    std::unique_ptr<juce::AudioProcessorEditor> window(processor->createEditor());
    auto& ed = dynamic_cast<JuceDemoPluginAudioProcessorEditor&>(*window);
    int shown = 0;
    juce::String pick = "Pattern Triplet";
    patchMenuSeams().showMenu = [&](const juce::PopupMenu& m, std::function<void(int)> chosen) {
        ++shown;
        for (juce::PopupMenu::MenuItemIterator it(m); it.next();)
            if (it.getItem().text == pick)
                return chosen(it.getItem().itemID);
        chosen(0);
    };
    for (juce::String item : {"Pattern Triplet", ""}) // the second is dismissed
    {
        pick = item;
        ed.patchDisplay->press(10, false);
        ed.patchDisplay->release(); // the release opens nothing
    }
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(synth.activePattern().getTriplet(), 1);
}

TEST_F(PatchMenu, TuningFileToggleAlertAndLoad)
{
    processor->TuningMode = 1;
    editor->menuItemSelected(kMenuTuning, editor.get());
    EXPECT_EQ(processor->TuningMode, 0);
    EXPECT_TRUE(asked.empty()); // back to equal temperament without a dialog

    choose(kMenuTuning, {folder.path("missing.tun")});
    EXPECT_EQ(asked[0].title, "Import Tuning File (.tun)");
    EXPECT_EQ(alerts, std::vector<juce::String>{"Quellbrook Groundwalk 3|Could not load .tun file"});
    EXPECT_EQ(processor->TuningMode, 0);
    choose(kMenuTuning, {juce::String(folder.write("a.tun", std::string("[Exact Tuning]\nnote 69 = 432.0\n")))});
    EXPECT_EQ(processor->TuningMode * 1000 + processor->tuningTable[69], 1432.0);
}

TEST_F(PatchMenu, RebirthSongFillsPatterns0To63)
{
    const Vst303Pattern p40 = synth.patterns[40];
    synth.patterns[1].setTriplet(1);
    processor->PatternLock = 1;
    const float cutoff = processor->getParameter(1);
    // records: length 0, 20 (held at 16), 5; one unit only; flag 0x1F is a rest with every flag
    choose(kMenuImport, {juce::String(folder.write("song.RBS", rebirthSong({0, 20, 5}, 1, 0x1F)))});
    EXPECT_EQ(processor->getParameter(1), cutoff);
    EXPECT_EQ(synth.patterns[0].getLength() * 100 + synth.patterns[0].steps[0].pitch, 100); // no step touched
    const Vst303Pattern& p1 = synth.patterns[1];
    EXPECT_EQ(p1.getLength() * 10 + p1.getTriplet() + synth.patterns[2].getLength() * 1000, 5161);
    EXPECT_EQ(p1.steps[15].pitch * 100 + p1.steps[15].flags, 1500 + (step_t::kSlide | step_t::kAccent | step_t::kUp | step_t::kDown));
    EXPECT_EQ(p1.steps[20].pitch, 33);
    EXPECT_TRUE(samePattern(synth.patterns[40], p40)); // no second unit: kept

    processor->PatternLock = 0;
    choose(kMenuImport, {juce::String(folder.write("two.rbs", rebirthSong({3}, 2, 0x00, 7)))});
    EXPECT_FLOAT_EQ(processor->getParameter(0) + processor->getParameter(2), 1.0f + 87.0f / 127.0f);
    EXPECT_FLOAT_EQ(processor->getParameter(8), 1.0f); // a damaged waveform byte held in range
    EXPECT_EQ(synth.patterns[40].steps[2].pitch * 100 + synth.patterns[40].steps[2].flags, 1200 + step_t::kGate);
}

TEST_F(PatchMenu, ImportsAndExportsGoByExtension)
{
    synth.currentPattern = 9;
    juce::File(folder.path("my.tb")).createDirectory(); // a folder name does not pick the importer
    std::string ph = "12 0 0\n";
    for (int s = 0; s < 16; ++s)
        ph += "5 1 1 1 1 1 0 0 0\n";
    // {file, slot, length}: ".ph" files go to pattern 0; ".prm" holds steps 0..END_STEP
    const std::tuple<juce::String, int, int> cases[] = {
        {writePattern("x.pat", 11, 4, 0.05f), 9, 11},
        {writePattern("my.tb/y.PAT", 12, 5), 9, 12},
        {folder.write("p.prm", std::string("END_STEP = 5\nSTEP 1 = STATE=1 NOTE=41 ACCENT=0 SLIDE=0\n")), 9, 6},
        {folder.write("b.ph", ph), 0, 12}};
    const float cutoff = processor->getParameter(1);
    for (const auto& [path, slot, length] : cases)
    {
        choose(kMenuImport, {path});
        EXPECT_EQ(synth.patterns[slot].getLength(), length) << path;
        EXPECT_EQ(synth.patterns[slot + 1].steps[20].pitch, 33) << path; // one slot only
    }
    EXPECT_EQ(asked[0].wildcard, "*.rbs;*.tb;*.ph;*.prm;*.pat");
    EXPECT_EQ(processor->getParameter(1), cutoff); // knob lines are not applied by an import
    EXPECT_EQ(editor->lastBrowseFolder, juce::File(std::get<0>(cases[3])));

    for (const auto& [id, name, content] : {std::tuple(kMenuExportMidi, "out.mid", "MThd"),
                                            {kMenuExportREPatch, "out.repatch", "JukeboxPatch"},
                                            {kMenuSaveMidiMap, "out.map", ""}})
    {
        choose(id, {folder.path(name)});
        EXPECT_TRUE(file(name).existsAsFile() && file(name).loadFileAsString().contains(content)) << name;
    }
    EXPECT_EQ(editor->lastBrowseFolder, file("out.map")); // exports set it too
}

TEST_F(PatchMenu, DialogsStartInTheirFolders)
{
    processor->patternsFolder = juce::File(folder.path("Patterns"));
    const juce::File config = file("x").getParentDirectory();
    // {id, title, save, start}
    const std::tuple<int, const char*, bool, juce::File> cases[] = {
        {kMenuLoadMidiMap, "Load MidiCC Map", false, processor->patternsFolder},
        {kMenuExportMidi, "Export Pattern as MIDI", true, processor->patternsFolder},
        {kMenuBackground, "Select Background File", false, config}};
    for (const auto& [id, title, save, start] : cases)
    {
        const PatchFileDialog d = patchFileDialogFor(*editor, id);
        EXPECT_EQ(d.title, title);
        EXPECT_EQ(d.save, save) << title;
        EXPECT_EQ(d.start, start) << title;
    }
    EXPECT_EQ(patchFileDialogFor(*editor, kMenuCopyPattern).commandId, 0);
}

TEST_F(PatchMenu, PathsOver255BytesAreRefused)
{
    juce::File deep = juce::File(folder.path("x")).getParentDirectory();
    for (int i = 0; i < 6; ++i)
        deep = deep.getChildFile(juce::String::repeatedString("d", 50));
    ASSERT_TRUE(deep.createDirectory());
    const juce::File file = deep.getChildFile("p.pat");
    ASSERT_GT(file.getFullPathName().getNumBytesAsUTF8(), 255u);
    choose(kMenuSavePattern, {file.getFullPathName()});
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(editor->statusCounter, kSaveFailureTicks);
    EXPECT_EQ(editor->lastBrowseFolder, juce::File());
}

// A choice is kept only when the next window can show it: a skin file from another folder and a
// file that is no picture are refused with the reason and leave the old choice.
TEST_F(PatchMenu, SkinAndBackgroundWaitForTheNextWindowIfTheyCanTakeEffect)
{
    char savedSkin[sizeof skinDir], savedName[sizeof skinName];
    std::memcpy(savedSkin, skinDir, sizeof skinDir);
    std::memcpy(savedName, skinName, sizeof skinName);
    std::strcpy(backgroundFilename, "/old.png");
    std::filesystem::create_directory(folder.path("elsewhere"));
    folder.write("elsewhere/Night.oxn3skin", std::string());
    folder.write("bad.png", std::string("no picture"));
    const std::pair<int, const char*> refused[] = {{kMenuSkin, "elsewhere/Night.oxn3skin"},
                                                   {kMenuBackground, "bad.png"}};
    for (const auto& [id, name] : refused)
    {
        choose(id, {folder.path(name)});
        EXPECT_STREQ(skinDir, savedSkin) << name;
        EXPECT_STREQ(backgroundFilename, "/old.png") << name;
        EXPECT_EQ(editor->lastBrowseFolder, juce::File()) << name;
        EXPECT_FALSE(juce::File(folder.path("Gui.ini")).exists()) << name;
    }
    EXPECT_EQ(status(), "Not a picture: bad.png");
    choose(kMenuSkin, {folder.path("elsewhere/Night.oxn3skin")});
    EXPECT_EQ(status(), "Skin not in config folder");

    folder.write("Night.oxn3skin", std::string());
    choose(kMenuSkin, {folder.path("Night.oxn3skin")});
    EXPECT_STREQ(skinDir, "Night");
    EXPECT_STREQ(backgroundFilename, "");
    EXPECT_EQ(status(), "Please reopen the GUI");

    juce::Image picture(juce::Image::RGB, 4, 3, true);
    juce::FileOutputStream out(juce::File(folder.path("bg.png")));
    juce::PNGImageFormat().writeImageToStream(picture, out);
    out.flush();
    choose(kMenuBackground, {folder.path("bg.png")});
    EXPECT_EQ(editor->backgroundImage.getWidth(), 4);
    EXPECT_STREQ(backgroundFilename, folder.path("bg.png").c_str());
    open(); // the next window: the chosen skin and background
    EXPECT_STREQ(skinDir, "Night");
    EXPECT_EQ(editor->backgroundImage.getWidth(), 4);
    std::memcpy(skinDir, savedSkin, sizeof skinDir);
    std::memcpy(skinName, savedName, sizeof skinName);
    backgroundFilename[0] = '\0';
}
