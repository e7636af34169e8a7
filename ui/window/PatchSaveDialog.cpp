#include "ui/window/PatchMenu.h"
#include "ui/window/PluginEditor.h"

namespace
{
using Editor = JuceDemoPluginAudioProcessorEditor;

void askToReplace(const juce::File& existing, std::function<void(bool)> answer)
{
    if (oxn3::patchMenuSeams().confirmReplace)
    {
        oxn3::patchMenuSeams().confirmReplace(existing, std::move(answer));
        return;
    }
    juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::WarningIcon, "File already exists",
        "There's already a file called: " + existing.getFullPathName() + "\n\nAre you sure you want to overwrite it?",
        "Overwrite", "Cancel", nullptr,
        juce::ModalCallbackFunction::create([answer](int result) { answer(result != 0); }));
}
} // namespace

namespace oxn3
{
juce::File withDialogExtension(const juce::File& file, const juce::String& wildcard)
{
    const juce::String extension = wildcard.fromLastOccurrenceOf("*", false, false);
    if (extension.isEmpty() || file.getFileName().endsWithIgnoreCase(extension))
        return file;
    return file.getSiblingFile(file.getFileName() + extension);
}

void answerPatchDialog(Editor& ed, const PatchFileDialog& dialog, const juce::Array<juce::File>& files)
{
    if (files.isEmpty() || files[0] == juce::File())
        return;
    if (!dialog.save)
    {
        runPatchFileCommand(ed, dialog.commandId, files);
        return;
    }
    // The dialog's own overwrite warning would ask about the name as typed, not the one written.
    const juce::File target = withDialogExtension(files[0], dialog.wildcard);
    if (!target.existsAsFile())
    {
        runPatchFileCommand(ed, dialog.commandId, {target});
        return;
    }
    juce::Component::SafePointer<Editor> safe(&ed);
    const int id = dialog.commandId;
    askToReplace(target, [safe, id, target](bool replace) {
        if (replace && safe != nullptr)
            runPatchFileCommand(*safe, id, {target});
    });
}
} // namespace oxn3
