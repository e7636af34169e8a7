// JUCE wants its message manager alive around any processor or hosted plug-in. Every run gets
// a fresh HOME and XDG_DATA_HOME of its own, so no test ever reads or writes the user's data
// folder, also when the program is started without ctest.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

namespace
{
std::string makeScratchHome()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/oxn3-tests-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr)
        std::abort();
    return folder;
}
} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const juce::File scratch(makeScratchHome());
    const juce::File home = scratch.getChildFile("home");
    const juce::File data = scratch.getChildFile("data");
    home.createDirectory();
    data.createDirectory();
    setenv("HOME", home.getFullPathName().toRawUTF8(), 1);
    setenv("XDG_DATA_HOME", data.getFullPathName().toRawUTF8(), 1);

    int result = 0;
    {
        const juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }
    scratch.deleteRecursively();
    return result;
}
