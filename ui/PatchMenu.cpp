#include "ui/PluginEditor.h"

// Placeholder: the popup menu and its file commands.
void JuceDemoPluginAudioProcessorEditor::showPatchMenu() {}
void JuceDemoPluginAudioProcessorEditor::menuItemSelected(int, JuceDemoPluginAudioProcessorEditor*) {}
bool JuceDemoPluginAudioProcessorEditor::loadPatch(Vst303Pattern*, char*) { return true; }
bool JuceDemoPluginAudioProcessorEditor::savePatch(Vst303Pattern*, char*) { return true; }
void JuceDemoPluginAudioProcessorEditor::setPatchDir(juce::File) {}
