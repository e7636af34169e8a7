#include <cstdio>
#include <cstring>
#include <future>
#include <system_error>
#include <vector>

#include "processor/PluginProcessor.h"
#include "ui/window/DefaultSkin.h"
#include "ui/window/PluginEditor.h"
#include "ui/guifile/GuiFile.h"

char skinName[oxn3::kSkinPathSize] = "Default Skin";
char skinDir[oxn3::kSkinPathSize] = "Default Skin";
char graphicsDir[oxn3::kSkinPathSize] = "";
char backgroundFilename[oxn3::kSkinPathSize] = "";

namespace
{
constexpr int kMaxPathLength = 255;
constexpr const char* kGuiFile = "Gui.ini";
constexpr const char* kFirstSkin = "Gfx";
constexpr const char* kSkinFileExtension = ".oxn3skin";

// The configuration folder's file `name`; false when the path would be longer than the format allows.
bool configPath(const JuceDemoPluginAudioProcessor& processor, const char* name, char (&path)[kMaxPathLength + 1])
{
    const int length = std::snprintf(path, sizeof(path), "%s%s", processor.configFolder, name);
    return length >= 0 && length <= kMaxPathLength;
}

// `first` followed by `second`; false when that does not fit.
bool joined(char (&out)[oxn3::kSkinPathSize], const char* first, const char* second)
{
    const int length = std::snprintf(out, sizeof(out), "%s%s", first, second);
    return length >= 0 && length < (int) sizeof(out);
}

oxn3gui::GuiFields guiFields(JuceDemoPluginAudioProcessorEditor& editor, bool withBackground)
{
    oxn3gui::GuiFields fields;
    fields.skin = skinDir;
    fields.skinSize = sizeof(skinDir);
    if (withBackground)
    {
        fields.background = backgroundFilename;
        fields.backgroundSize = sizeof(backgroundFilename);
    }
    fields.colour[0] = &editor.textColorR;
    fields.colour[1] = &editor.textColorG;
    fields.colour[2] = &editor.textColorB;
    fields.colour[3] = &editor.textColorA;
    return fields;
}
} // namespace

int JuceDemoPluginAudioProcessorEditor::ReadGUIConfig(const char* name)
{
    char path[kMaxPathLength + 1];
    if (configPath(processor, name, path))
        oxn3gui::readGuiFile(path, guiFields(*this, true));
    return 1;
}

int JuceDemoPluginAudioProcessorEditor::ReadSkinConfig(const char* name)
{
    char path[kMaxPathLength + 1];
    if (!configPath(processor, name, path))
        return 0;
    return oxn3gui::readGuiFile(path, guiFields(*this, false));
}

int JuceDemoPluginAudioProcessorEditor::WriteGUIConfig(const char* name)
{
    char path[kMaxPathLength + 1];
    if (configPath(processor, name, path))
        oxn3gui::updateGuiFile(path, skinName, backgroundFilename);
    return 1;
}

void JuceDemoPluginAudioProcessorEditor::resolveSkin()
{
    // An empty name names no skin: the first skin stands in for it.
    skinDir[0] = '\0';
    ReadGUIConfig(kGuiFile);
    const bool guiNamesSkin = skinDir[0] != '\0';
    if (!guiNamesSkin)
        std::snprintf(skinDir, sizeof(skinDir), "%s", kFirstSkin);
    // "Gui.ini" gets back the name it gave, not the image folder the skin file redirects to.
    std::memcpy(skinName, skinDir, sizeof(skinName));
    char skinFile[oxn3::kSkinPathSize];
    if (!joined(skinFile, skinDir, kSkinFileExtension) || !ReadSkinConfig(skinFile))
    {
        std::snprintf(skinDir, sizeof(skinDir), "%s", oxn3::kDefaultSkinFolder);
        if (!guiNamesSkin)
            std::memcpy(skinName, skinDir, sizeof(skinName));
    }
    char folder[oxn3::kSkinPathSize];
    if (!joined(folder, processor.configFolder, skinDir) || !joined(graphicsDir, folder, "/"))
        graphicsDir[0] = '\0';
    if (juce::File::isAbsolutePath(juce::String::fromUTF8(processor.configFolder)))
        oxn3::installDefaultSkinIfMissing(juce::File(juce::String::fromUTF8(processor.configFolder)));
}

namespace
{
juce::Image decodeSkinImage(const char* file)
{
    char path[oxn3::kSkinPathSize];
    if (graphicsDir[0] == '\0' || !joined(path, graphicsDir, file))
        return {};
    const juce::File image(juce::String::fromUTF8(path));
    return image.existsAsFile() ? juce::ImageFileFormat::loadFrom(image) : juce::Image();
}
} // namespace

juce::Image JuceDemoPluginAudioProcessorEditor::loadSkinImage(const char* file) const
{
    for (const auto& [name, image] : preloadedImages)
        if (name == file)
            return image;
    return decodeSkinImage(file);
}

// Decoding the skin's pictures is most of the cost of opening the window: decode every picture
// the window needs side by side before the widgets and pages take them.
void JuceDemoPluginAudioProcessorEditor::preloadSkinImages()
{
    std::vector<const char*> files = {"background.png", "overlay.png", "Switchboard_Back_x4.png", "OXN3-Logo-White.png"};
    for (const auto& row : widgets_front)
        files.push_back(row.file);
    std::vector<std::future<juce::Image>> decoding;
    for (const char* file : files)
    {
        try
        {
            decoding.push_back(std::async(std::launch::async, decodeSkinImage, file));
        }
        catch (const std::system_error&) // no thread to be had: decode it here
        {
            std::promise<juce::Image> decoded;
            decoded.set_value(decodeSkinImage(file));
            decoding.push_back(decoded.get_future());
        }
    }
    for (size_t i = 0; i < files.size(); ++i)
        preloadedImages.emplace_back(files[i], decoding[i].get());
}
