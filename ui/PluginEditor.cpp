#include "ui/PluginEditor.h"

#include "processor/PluginProcessor.h"

// Placeholder: the window's construction, layout and tick arrive with the editor shell.
char skinDir[oxn3::kSkinPathSize] = "Default Skin";
char graphicsDir[oxn3::kSkinPathSize] = "";
char backgroundFilename[oxn3::kSkinPathSize] = "";

JuceDemoPluginAudioProcessorEditor::JuceDemoPluginAudioProcessorEditor(JuceDemoPluginAudioProcessor& owner)
    : juce::AudioProcessorEditor(owner), processor(owner), synth(owner.synth.get())
{
    setSize(owner.uiWidth, owner.uiHeight);
}
JuceDemoPluginAudioProcessorEditor::~JuceDemoPluginAudioProcessorEditor() = default;
void JuceDemoPluginAudioProcessorEditor::mouseDown(const juce::MouseEvent&) {}
void JuceDemoPluginAudioProcessorEditor::paint(juce::Graphics&) {}
void JuceDemoPluginAudioProcessorEditor::resized() {}
void JuceDemoPluginAudioProcessorEditor::timerCallback() {}
void JuceDemoPluginAudioProcessorEditor::valueChanged(int, float) {}
void JuceDemoPluginAudioProcessorEditor::sliderDragStarted(juce::Slider*) {}
void JuceDemoPluginAudioProcessorEditor::sliderDragEnded(juce::Slider*) {}
void JuceDemoPluginAudioProcessorEditor::sliderValueChanged(juce::Slider*) {}
int JuceDemoPluginAudioProcessorEditor::ReadGUIConfig(const char*) { return 1; }
int JuceDemoPluginAudioProcessorEditor::ReadSkinConfig(const char*) { return 0; }
int JuceDemoPluginAudioProcessorEditor::WriteGUIConfig(const char*) { return 1; }
CBitmapSlider* JuceDemoPluginAudioProcessorEditor::getBitmapSliderWithName(juce::String) { return nullptr; }
void JuceDemoPluginAudioProcessorEditor::setPatchDisplayText(juce::String, int ticks)
{
    if (ticks > 0)
        statusCounter = ticks, statusState = 100;
}
