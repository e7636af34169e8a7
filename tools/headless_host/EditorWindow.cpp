// Opens a built plug-in's editor in a window of its own, the way a DAW shows it, keeps it up for
// a while and closes it again. The editor host tests take a screenshot meanwhile.
//   oxn3_editor_window <vst3 | lv2> <bundle> <seconds>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "PluginHost.h"

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kBlockSize = 512;
constexpr const char* kLv2Uri = "https://quellbrook.example/plugins/oxn3";
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: oxn3_editor_window <vst3 | lv2> <bundle> <seconds>\n");
        return 2;
    }
    const juce::ScopedJuceInitialiser_GUI gui;
    const bool lv2 = juce::String(argv[1]) == "lv2";
    const juce::File bundle = juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]);
    auto loaded = oxn3host::loadPlugin(lv2 ? oxn3host::Format::lv2 : oxn3host::Format::vst3, bundle, kLv2Uri,
                                       kSampleRate, kBlockSize);
    if (loaded.instance == nullptr)
    {
        std::fprintf(stderr, "cannot load %s: %s\n", argv[2], loaded.error.toRawUTF8());
        return 1;
    }
    if (!loaded.instance->hasEditor())
    {
        std::fprintf(stderr, "the plug-in has no editor\n");
        return 1;
    }
    std::unique_ptr<juce::AudioProcessorEditor> editor(loaded.instance->createEditorIfNeeded());
    if (editor == nullptr)
    {
        std::fprintf(stderr, "the plug-in made no editor\n");
        return 1;
    }
    {
        juce::DocumentWindow window("OXN3", juce::Colours::black, 0);
        window.setUsingNativeTitleBar(true);
        window.setContentNonOwned(editor.get(), true);
        window.setTopLeftPosition(0, 0);
        window.setVisible(true);
        juce::MessageManager::getInstance()->runDispatchLoopUntil(juce::roundToInt(std::atof(argv[3]) * 1000.0));
        std::printf("editor %d x %d\n", editor->getWidth(), editor->getHeight());
        window.clearContentComponent();
    }
    editor.reset();
    loaded.instance.reset();
    return 0;
}
