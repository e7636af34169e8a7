#pragma once

#include <cstdio>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "processor/PluginProcessor.h"
#include "ui/CPatchDisplay.h"
#include "ui/PluginEditor.h"

namespace oxn3test
{
// A processor whose configuration folder is a fresh folder of its own, and the editor on it.
struct EditorRig
{
    EditorRig()
    {
        folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getNonexistentChildFile("oxn3-editor", "", false);
        folder.createDirectory();
        std::snprintf(processor.configFolder, sizeof(processor.configFolder), "%s/",
                      folder.getFullPathName().toRawUTF8());
    }
    ~EditorRig()
    {
        editor.reset();
        folder.deleteRecursively();
    }
    JuceDemoPluginAudioProcessorEditor& open()
    {
        editor.reset();
        editor = std::make_unique<JuceDemoPluginAudioProcessorEditor>(processor);
        return *editor;
    }
    void close() { editor.reset(); }
    juce::File file(const char* name) const { return folder.getChildFile(name); }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            editor->timerCallback();
    }
    juce::String status() const { return editor->patchDisplay->text; }

    juce::File folder;
    JuceDemoPluginAudioProcessor processor;
    std::unique_ptr<JuceDemoPluginAudioProcessorEditor> editor;
};

inline juce::Rectangle<int> boundsOf(const juce::Component* c)
{
    return c->getBounds();
}

// Writes a PNG into the build's snapshot folder for people to look at.
inline void saveSnapshot(const juce::Image& image, const juce::String& name)
{
    const juce::File file = juce::File(OXN3_SNAPSHOT_DIR).getChildFile(name + ".png");
    file.deleteFile();
    juce::FileOutputStream out(file);
    juce::PNGImageFormat().writeImageToStream(image, out);
}
} // namespace oxn3test
