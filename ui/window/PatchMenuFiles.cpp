#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/Synth303.h"
#include "patterns/Vst303PatternMetaData.h"
#include "processor/PluginProcessor.h"
#include "ui/window/PatchMenu.h"
#include "ui/window/PatchPath.h"
#include "ui/window/PluginEditor.h"
#include "ui/window/ReadFailureText.h"
#include "ui/window/RebirthConversion.h"
#include "ui/window/SaveFailureText.h"
#include "ui/guifile/GuiFile.h"

namespace
{
using namespace oxn3;
using Editor = JuceDemoPluginAudioProcessorEditor;

constexpr int kReopenTicks = 50;
constexpr int kRefusedChoiceTicks = 50;
constexpr int kPathTooLongTicks = 50;
constexpr int kLastSlot = 127;
const char* const kGuiFileName = "Gui.ini";
const char* const kSkinFileExtension = ".oxn3skin";
const char* const kSkinElsewhereText = "Skin not in config folder";
const char* const kNotAPictureText = "Not a picture: ";
const char* const kAlertTitle = "Quellbrook Groundwalk 3";
const char* const kTuningFailedText = "Could not load .tun file";

// The dialog that is open; replaced by the next one, gone when the program ends.
struct OpenDialog : juce::DeletedAtShutdown
{
    std::unique_ptr<juce::FileChooser> chooser;
    ~OpenDialog() override { clearSingletonInstance(); }
    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL(OpenDialog)
};
JUCE_IMPLEMENT_SINGLETON(OpenDialog)

juce::File lastFileStart(Editor& ed)
{
    return ed.lastBrowseFolder != juce::File() ? ed.lastBrowseFolder : ed.processor.patternsFolder;
}

void showAlert(const juce::String& title, const juce::String& text)
{
    if (patchMenuSeams().alert)
        patchMenuSeams().alert(title, text);
    else
        juce::AlertWindow::showMessageBoxAsync(juce::MessageBoxIconType::WarningIcon, title, text, "OK");
}

// The folder of the chosen pattern file becomes the patterns folder the menu lists.
void followPatternFolder(Editor& ed, const juce::File& file)
{
    const juce::File folder = file.getParentDirectory();
    ed.setPatchDir(folder);
    ed.patternFileList.setDirectory(folder, false, true);
    ed.patternFileList.refresh();
}

// Imports go by the file's extension, whatever the folders on the way are called.
void importFile(Editor& ed, const juce::File& file, const char* path)
{
    Synth303& s = *ed.processor.synth;
    const juce::String ext = file.getFileExtension().toLowerCase();
    if (ext == ".rbs")
        importRebirthSong(ed, path);
    else if (ext == ".ph")
        s.importPhoscyonPatterns(path);
    else if (ext == ".tb")
        s.importTechnobox2Patterns(path);
    else if (ext == ".prm")
        s.importTB03Pattern(path);
    else if (ext == ".pat")
    {
        if (!s.activePattern().Load(path, nullptr, nullptr))
            ed.setPatchDisplayText(couldNotReadText(file), kCouldNotReadTicks);
    }
    else
        return;
    ed.repaint();
}

// A file whose path is too long is refused before anything moves: the folders follow the first
// file that can be read.
void loadPatternFiles(Editor& ed, const juce::Array<juce::File>& files)
{
    Synth303& s = *ed.processor.synth;
    const int first = juce::jlimit(0, kLastSlot, s.currentPattern);
    bool followed = false;
    for (int k = 0; k < files.size() && first + k <= kLastSlot; ++k)
    {
        PatchPath path;
        if (!toPatchPath(files[k], path))
        {
            ed.setPatchDisplayText(pathTooLongText(), kPathTooLongTicks);
            continue;
        }
        if (!followed)
        {
            followPatternFolder(ed, files[k]);
            ed.lastBrowseFolder = files[k];
            followed = true;
        }
        ed.loadPatch(&s.patterns[first + k], path);
    }
}

// Says on the status line that `file` was not written; `error` is the writer's errno.
void reportSaveFailure(Editor& ed, const juce::String& fileName, int error)
{
    ed.setPatchDisplayText(saveFailureText(fileName, error), kSaveFailureTicks);
}

// The skin and background choices are kept in "Gui.ini"; a choice counts only once it is there.
bool saveGuiChoice(Editor& ed, const char* skin, const char* background)
{
    char path[kMaxPatchPathBytes + 1];
    const int length = std::snprintf(path, sizeof path, "%s%s", ed.processor.configFolder, kGuiFileName);
    if (length < 0 || length > kMaxPatchPathBytes)
    {
        reportSaveFailure(ed, kGuiFileName, ENAMETOOLONG);
        return false;
    }
    juce::File(juce::String::fromUTF8(ed.processor.configFolder)).createDirectory();
    if (oxn3gui::updateGuiFile(path, skin, background))
        return true;
    reportSaveFailure(ed, kGuiFileName, errno);
    return false;
}

// The next window opens a skin by name, from the configuration folder only.
bool configFolderHasSkinFile(const Editor& ed, const char* skin)
{
    char path[kMaxPatchPathBytes + 1];
    const int length = std::snprintf(path, sizeof path, "%s%s%s", ed.processor.configFolder, skin, kSkinFileExtension);
    if (length < 0 || length > kMaxPatchPathBytes)
        return false;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

void chooseSkin(Editor& ed, const juce::File& file)
{
    char skin[sizeof(skinDir)];
    std::snprintf(skin, sizeof skin, "%s", file.getFileNameWithoutExtension().toRawUTF8());
    if (!configFolderHasSkinFile(ed, skin))
    {
        ed.setPatchDisplayText(kSkinElsewhereText, kRefusedChoiceTicks);
        return;
    }
    if (!saveGuiChoice(ed, skin, ""))
        return;
    ed.lastBrowseFolder = file;
    std::memcpy(skinName, skin, sizeof skinName);
    std::memcpy(skinDir, skin, sizeof skinDir);
    backgroundFilename[0] = '\0';
    ed.setPatchDisplayText("Please reopen the GUI", kReopenTicks);
}

void chooseBackground(Editor& ed, const juce::File& file, const char* path)
{
    const juce::Image picture = juce::ImageFileFormat::loadFrom(file);
    if (!picture.isValid())
    {
        ed.setPatchDisplayText(kNotAPictureText + file.getFileName(), kRefusedChoiceTicks);
        return;
    }
    char background[sizeof(backgroundFilename)];
    std::snprintf(background, sizeof background, "%s", path);
    if (!saveGuiChoice(ed, skinName, background))
        return;
    ed.lastBrowseFolder = file;
    ed.backgroundImage = picture;
    std::memcpy(backgroundFilename, background, sizeof backgroundFilename);
    ed.setPatchDisplayText("Please reopen the GUI", kReopenTicks);
}
} // namespace

namespace oxn3
{
PatchMenuSeams& patchMenuSeams()
{
    static PatchMenuSeams seams;
    return seams;
}

PatchFileDialog patchFileDialogFor(Editor& ed, int id)
{
    const juce::File last = lastFileStart(ed);
    const juce::File patterns = ed.processor.patternsFolder;
    const juce::File config = patterns.getParentDirectory();
    auto make = [id](const char* title, const char* wildcard, juce::File start, bool save, bool multiple = false) {
        return PatchFileDialog{id, title, wildcard, start, save, multiple};
    };
    switch (id)
    {
    case kMenuLoadPattern: return make("Load Pattern...", "*.pat", last, false, true);
    case kMenuSavePattern: return make("Save Pattern...", "*.pat", last, true);
    case kMenuLoadMidiMap: return make("Load MidiCC Map", "*.map", patterns, false);
    case kMenuSaveMidiMap: return make("Save MidiCC Map", "*.map", patterns, true);
    case kMenuImport:
        return make("Import OXN1/ReBirth/technoBox2/TB-03 Patterns", "*.rbs;*.tb;*.ph;*.prm;*.pat", last, false);
    case kMenuTuning:
        if (ed.processor.TuningMode >= 1)
            return {};
        return make("Import Tuning File (.tun)", "*.tun", patterns, false);
    case kMenuExportREPatch: return make("Export Reason Patch", "*.repatch", last, true);
    case kMenuExportMidi: return make("Export Pattern as MIDI", "*.mid", last, true);
    case kMenuSkin: return make("Select Skin File (.oxn3skin)", "*.oxn3skin", config, false);
    case kMenuBackground: return make("Select Background File", "*.jpg;*.jpeg;*.png", config, false);
    default: return {};
    }
}

void askForPatchFiles(Editor& ed, const PatchFileDialog& dialog)
{
    if (patchMenuSeams().chooseFiles)
    {
        answerPatchDialog(ed, dialog, patchMenuSeams().chooseFiles(dialog));
        return;
    }
    // A fresh install has no patterns folder yet: a dialog started there would offer "Patterns"
    // as the file name in the folder above and save the pattern under that name.
    if (dialog.start == ed.processor.patternsFolder)
        dialog.start.createDirectory();
    int flags = juce::FileBrowserComponent::canSelectFiles;
    if (dialog.save)
        flags |= juce::FileBrowserComponent::saveMode; // asked about once the extension is added
    else
        flags |= juce::FileBrowserComponent::openMode;
    if (dialog.multiple)
        flags |= juce::FileBrowserComponent::canSelectMultipleItems;

    OpenDialog* open = OpenDialog::getInstance();
    open->chooser = std::make_unique<juce::FileChooser>(dialog.title, dialog.start, dialog.wildcard, true);
    juce::Component::SafePointer<Editor> safe(&ed);
    open->chooser->launchAsync(flags, [safe, dialog](const juce::FileChooser& chooser) {
        if (safe != nullptr)
            answerPatchDialog(*safe, dialog, chooser.getResults());
    });
}

void runPatchFileCommand(Editor& ed, int id, const juce::Array<juce::File>& files)
{
    if (files.isEmpty())
        return;
    JuceDemoPluginAudioProcessor& p = ed.processor;
    Synth303& s = *p.synth;
    if (id == kMenuLoadPattern)
    {
        loadPatternFiles(ed, files);
        return;
    }
    const juce::File& file = files[0];
    PatchPath path;
    if (!toPatchPath(file, path))
    {
        if (patchFileDialogFor(ed, id).save)
            reportSaveFailure(ed, file.getFileName(), ENAMETOOLONG);
        else
            ed.setPatchDisplayText(pathTooLongText(), kPathTooLongTicks);
        return;
    }
    switch (id)
    {
    case kMenuSavePattern:
        if (!ed.savePatch(&s.activePattern(), path))
        {
            reportSaveFailure(ed, file.getFileName(), errno);
            break;
        }
        ed.lastBrowseFolder = file;
        followPatternFolder(ed, file);
        break;
    case kMenuLoadMidiMap: ed.lastBrowseFolder = file, p.ReadMidiCC(path); break;
    case kMenuSaveMidiMap:
        if (!p.WriteMidiCC(path))
        {
            reportSaveFailure(ed, file.getFileName(), errno);
            break;
        }
        ed.lastBrowseFolder = file;
        break;
    case kMenuImport:
        ed.lastBrowseFolder = file;
        importFile(ed, file, path);
        break;
    case kMenuTuning:
        ed.lastBrowseFolder = file;
        if (p.LoadTuningTable(path))
            p.TuningMode = 1;
        else
            showAlert(kAlertTitle, kTuningFailedText);
        break;
    case kMenuExportREPatch:
    {
        Vst303PatternMetaData meta;
        fillPatchMetadata(p, meta);
        if (!s.activePattern().exportREPatch(path, &meta))
            reportSaveFailure(ed, file.getFileName(), errno);
        break;
    }
    case kMenuExportMidi:
        if (!s.exportMidiPattern(path))
            reportSaveFailure(ed, file.getFileName(), errno);
        break;
    case kMenuSkin: chooseSkin(ed, file); break;
    case kMenuBackground: chooseBackground(ed, file, path); break;
    default:
        if (id >= kPatternFileItem)
        {
            ed.lastBrowseFolder = file;
            ed.loadPatch(&s.activePattern(), path);
        }
        break;
    }
}

void importRebirthSong(Editor& ed, const char* path)
{
    JuceDemoPluginAudioProcessor& p = ed.processor;
    rbs303_t units[kRbsUnits];
    const int count = import_rbs(path, units, kRbsUnits);
    if (count <= 0)
        return;
    if (!p.PatternLock)
    {
        const uint8_t* knobs = units[0].bytes;
        for (int i = 0; i < 6; ++i)
            p.setParameter(i, juce::jlimit(0.0f, 1.0f, static_cast<float>(knobs[rebirth::kFirstKnobByte + i] / 127.0)));
        // The waveform byte is 0 (saw) or 1 (square); a damaged song must not push the knob out of range.
        p.setParameter(8, juce::jlimit(0.0f, 1.0f, static_cast<float>(knobs[rebirth::kWaveformByte])));
        p.updateHostDisplay();
    }
    rebirth::convertUnits(units, count, p.synth->patterns);
}
} // namespace oxn3
