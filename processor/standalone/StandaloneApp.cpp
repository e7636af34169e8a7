// The Standalone app: JUCE's standalone application, with OXN3's own window (StandaloneWindow).
// Its settings stay where JUCE's app keeps them, ~/.config/OXN3.settings.
#include "processor/standalone/StandaloneWindow.h"

namespace
{
constexpr int kQuitRetryMilliseconds = 100;

class StandaloneApp : public juce::JUCEApplication
{
public:
    StandaloneApp()
    {
        juce::PropertiesFile::Options options;
        options.applicationName = getApplicationName();
        options.filenameSuffix = ".settings";
        options.folderName = "~/.config";
        settings.setStorageParameters(options);
    }

    const juce::String getApplicationName() override { return JucePlugin_Name; }
    const juce::String getApplicationVersion() override { return JucePlugin_VersionString; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted(const juce::String&) override {}

    void initialise(const juce::String&) override
    {
        window = std::make_unique<StandaloneWindow>(getApplicationName(), settings.getUserSettings());
        window->setVisible(true);
    }

    void shutdown() override
    {
        window = nullptr; // saves the audio setup and the window position
        settings.saveIfNeeded();
    }

    void systemRequestedQuit() override
    {
        if (window != nullptr)
            window->pluginHolder->savePluginState();
        // An open dialog goes first; the quit is asked again once it has.
        if (juce::ModalComponentManager::getInstance()->cancelAllModalComponents())
            juce::Timer::callAfterDelay(kQuitRetryMilliseconds, [] {
                if (auto* app = juce::JUCEApplicationBase::getInstance())
                    app->systemRequestedQuit();
            });
        else
            quit();
    }

private:
    juce::ApplicationProperties settings;
    std::unique_ptr<StandaloneWindow> window;
};
} // namespace

// JUCE's standalone entry point asks for the application here.
juce::JUCEApplicationBase* juce_CreateApplication()
{
    return new StandaloneApp();
}
