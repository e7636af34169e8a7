#pragma once

#include <functional>

#include <juce_gui_basics/juce_gui_basics.h>

class JuceDemoPluginAudioProcessor;
class JuceDemoPluginAudioProcessorEditor;
struct Vst303PatternMetaData;

// The editor's popup menu and the file commands behind it (the members live in PluginEditor.h).
namespace oxn3
{
// Command ids of the menu; pattern file i of the patterns folder is kPatternFileItem + i.
enum PatchMenuId : int
{
    kMenuLoadPattern = 1, kMenuSavePattern, kMenuCopyPattern, kMenuPastePattern, kMenuUndo,
    kMenuMidiMode, kMenuSyncMode, kMenuMidiLearn = 9, kMenuResetMidiLearn, kMenuLoadMidiMap,
    kMenuSaveMidiMap, kMenuMidiOutput, kMenuImport, kMenuTuning, kMenuExportREPatch, kMenuExportMidi,
    kMenuTriplet, kMenuDefaultSize, kMenuSmallSize, kMenuLargeSize, kMenuSkin, kMenuBackground,
    kMenuSticker, kMenuSaveConfig, kMenuResetConfig, kMenuOutputClipping = 29, kPatternFileItem = 1000
};

// One file dialog of the menu.
struct PatchFileDialog
{
    int commandId = 0;
    juce::String title;
    juce::String wildcard;
    juce::File start;
    bool save = false;
    bool multiple = false;
};

// Where the menu asks the user. Unset, the real asynchronous menu and dialogs open; tests set them
// to answer without a window (an empty file answer is a cancel, a menu result 0 a dismissal).
struct PatchMenuSeams
{
    std::function<void(const juce::PopupMenu&, std::function<void(int)> chosen)> showMenu;
    std::function<juce::Array<juce::File>(const PatchFileDialog&)> chooseFiles;
    std::function<void(const juce::String& title, const juce::String& text)> alert;
    // Asked before a save replaces an existing file; answers true to replace it.
    std::function<void(const juce::File& existing, std::function<void(bool replace)> answer)> confirmReplace;
};
PatchMenuSeams& patchMenuSeams();

// The menu as shown, built from the current processor, engine and editor state.
juce::PopupMenu buildPatchMenu(JuceDemoPluginAudioProcessorEditor& editor);

// The knob settings a pattern file or a Reason patch carries, from the host parameters.
void fillPatchMetadata(JuceDemoPluginAudioProcessor& processor, Vst303PatternMetaData& meta);

// The dialog a command opens; commandId 0 when the command needs none.
PatchFileDialog patchFileDialogFor(JuceDemoPluginAudioProcessorEditor& editor, int id);

// Opens the command's dialog and runs the command with the user's answer.
void askForPatchFiles(JuceDemoPluginAudioProcessorEditor& editor, const PatchFileDialog& dialog);

// The dialog's answer: a save adds the dialog's extension to a name without it and asks before
// replacing an existing file; then the command runs. An empty answer is a cancel.
void answerPatchDialog(JuceDemoPluginAudioProcessorEditor& editor, const PatchFileDialog& dialog,
                       const juce::Array<juce::File>& files);

// `file` ending in the extension of the dialog's wildcard ("*.pat"), compared ignoring case.
juce::File withDialogExtension(const juce::File& file, const juce::String& wildcard);

// The part of a file command after its dialog, with the chosen files (never empty).
void runPatchFileCommand(JuceDemoPluginAudioProcessorEditor& editor, int id, const juce::Array<juce::File>& files);

// Bytes 2..8 of a ReBirth unit become the knobs (unless the pattern lock is on) and its 32
// pattern records patterns 0..63; see RebirthConversion.cpp.
void importRebirthSong(JuceDemoPluginAudioProcessorEditor& editor, const char* path);
} // namespace oxn3
