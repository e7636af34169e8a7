// Opens a built plug-in's editor in a window of its own that resizes to fit its content, the way
// JUCE's own plug-in host shows one, keeps it up for a while and closes it again. Two seconds after
// the window shows, it reports where the editor sits in the window and how often the window and
// the editor were resized during the next second, with the CPU time of that second; the editor
// host tests take a screenshot meanwhile.
//   oxn3_editor_window <vst3 | lv2> <bundle> <seconds>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "PluginHost.h"

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr int kBlockSize = 512;
constexpr const char* kLv2Uri = "https://quellbrook.example/plugins/oxn3";
constexpr int kSettleMs = 2000, kWatchMs = 1000;

struct ResizeCounter : juce::ComponentListener
{
    int count = 0;
    void componentMovedOrResized(juce::Component&, bool, bool wasResized) override
    {
        count += wasResized ? 1 : 0;
    }
};

void runFor(int ms)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(ms);
}

// The window's settled state: the content area, the editor's bounds within it, and how often
// each was resized while it was watched.
void watchAndReport(juce::DocumentWindow& window, juce::Component& editor)
{
    ResizeCounter windowResizes, editorResizes;
    window.addComponentListener(&windowResizes);
    editor.addComponentListener(&editorResizes);
    const std::clock_t cpuBefore = std::clock();
    const double wallBefore = juce::Time::getMillisecondCounterHiRes();
    runFor(kWatchMs);
    const double cpuMs = 1000.0 * (double) (std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    const double wallMs = juce::Time::getMillisecondCounterHiRes() - wallBefore;
    window.removeComponentListener(&windowResizes);
    editor.removeComponentListener(&editorResizes);
    const auto content = editor.getBounds(); // the editor is the window's content
    const auto area = window.getContentComponentBorder().subtractedFrom(window.getLocalBounds());
    std::printf("settled: window area %d %d, editor %d %d %d %d; resizes in one second: window %d, editor %d;"
                " cpu %.0f ms in %.0f ms\n",
                area.getWidth(), area.getHeight(), content.getX() - area.getX(), content.getY() - area.getY(),
                content.getWidth(), content.getHeight(), windowResizes.count, editorResizes.count, cpuMs,
                wallMs);
    std::fflush(stdout);
}
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
        const int totalMs = juce::roundToInt(std::atof(argv[3]) * 1000.0);
        runFor(kSettleMs);
        watchAndReport(window, *editor);
        runFor(juce::jmax(0, totalMs - kSettleMs - kWatchMs));
        std::printf("editor %d x %d\n", editor->getWidth(), editor->getHeight());
        window.clearContentComponent();
    }
    editor.reset();
    loaded.instance.reset();
    return 0;
}
