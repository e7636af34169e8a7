// The Standalone's window on a virtual display, with an ALSA device stored that cannot be opened
// now (a PCM on a card that is not there, listed by ALSA as a busy or unplugged card would be).
// Without JACK it says in its title bar that no output plays, and a click there opens the audio
// settings; with a JACK server running (OXN3_TEST_JACK set) it plays through JACK instead.
#include <cstdlib>

#include <gtest/gtest.h>

#include "processor/standalone/StandaloneAudio.h"
#include "processor/standalone/StandaloneWindow.h"

namespace
{
void run(int ms)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(ms);
}

bool jackServerGiven()
{
    return std::getenv("OXN3_TEST_JACK") != nullptr;
}

struct StandaloneWindowTest : ::testing::Test
{
    juce::PropertySet settings;
    std::unique_ptr<StandaloneWindow> window;

    void SetUp() override
    {
        // Before the first use of ALSA, which reads ~/.asoundrc once (HOME is the test's own).
        juce::File::getSpecialLocation(juce::File::userHomeDirectory)
            .getChildFile(".asoundrc")
            .replaceWithText("pcm.oxn3gone {\n type hw\n card 7\n hint { show on description \"Unplugged card\" }\n}\n");
        juce::XmlElement stored("DEVICESETUP");
        stored.setAttribute("deviceType", "ALSA");
        stored.setAttribute("audioOutputDeviceName", "Unplugged card");
        settings.setValue("audioSetup", &stored);

        window = std::make_unique<StandaloneWindow>("OXN3", &settings);
        window->setVisible(true);
        for (int i = 0; i < 30 && !(window->getPeer() != nullptr && window->isShowing()); ++i)
            run(100);
        ASSERT_NE(window->getPeer(), nullptr);
    }

    void TearDown() override
    {
        juce::ModalComponentManager::getInstance()->cancelAllModalComponents();
        run(100);
        window = nullptr;
    }

    juce::AudioDeviceManager& devices() { return window->getDeviceManager(); }

    // ALSA lists the stored device, so JUCE's own fallback keeps to ALSA and finds nothing to open.
    bool alsaListsTheStoredDevice()
    {
        for (juce::AudioIODeviceType* type : devices().getAvailableDeviceTypes())
            if (type->getTypeName() == "ALSA")
                return type->getDeviceNames(false).contains("Unplugged card");
        return false;
    }

    static juce::Component* audioSettingsDialog()
    {
        for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
            if (juce::Component* c = juce::Desktop::getInstance().getComponent(i);
                c->getName() == "Audio/MIDI Settings" && c->isVisible())
                return c;
        return nullptr;
    }
};
} // namespace

TEST_F(StandaloneWindowTest, WithoutAnOutputSaysSoInTheTitleBarAndTheNoticeOpensTheSettings)
{
    if (jackServerGiven())
        GTEST_SKIP() << "a JACK server runs";
    EXPECT_TRUE(alsaListsTheStoredDevice());
    EXPECT_FALSE(oxn3standalone::playsThroughAnOutput(devices()));
    EXPECT_EQ(devices().getCurrentAudioDeviceType(), "ALSA");
    const juce::TextButton& notice = window->noAudioNotice;
    EXPECT_TRUE(notice.isVisible());
    EXPECT_EQ(notice.getButtonText(), "No audio output: choose a device in Options > Audio/MIDI Settings...");
    EXPECT_LE(notice.getBottom(), window->getTitleBarHeight());
    EXPECT_LE(notice.getRight(), window->getCloseButton()->getX());
    EXPECT_GT(notice.getWidth(), window->getWidth() / 2);

    const juce::Image shot = window->createComponentSnapshot(window->getLocalBounds());
    const juce::File file = juce::File(OXN3_SNAPSHOT_DIR).getChildFile("standalone_no_audio_output.png");
    file.deleteFile();
    juce::FileOutputStream out(file);
    EXPECT_TRUE(out.openedOk() && juce::PNGImageFormat().writeImageToStream(shot, out));

    EXPECT_EQ(audioSettingsDialog(), nullptr);
    window->noAudioNotice.triggerClick();
    run(200);
    EXPECT_NE(audioSettingsDialog(), nullptr);
}

TEST_F(StandaloneWindowTest, StoredDeviceGoneAndJackRunningPlaysThroughJackAndKeepsIt)
{
    if (!jackServerGiven())
        GTEST_SKIP() << "needs a JACK server (OXN3_TEST_JACK)";
    EXPECT_TRUE(alsaListsTheStoredDevice());
    EXPECT_EQ(devices().getCurrentAudioDeviceType(), "JACK");
    EXPECT_TRUE(oxn3standalone::playsThroughAnOutput(devices()));
    EXPECT_FALSE(window->noAudioNotice.isVisible());
    const std::unique_ptr<juce::XmlElement> kept = devices().createStateXml(); // what the settings keep
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->getStringAttribute("deviceType"), "JACK");
}
