// "Config.ini", ".map" and ".tun" files and the quoted-string reader.
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/files/KeyValueScanner.h"

using oxn3test::makeProcessor;

namespace
{
// A file with the given bytes that goes with the test.
struct ScratchFile
{
    juce::TemporaryFile temporary{".txt"};
    std::string path = temporary.getFile().getFullPathName().toStdString();

    explicit ScratchFile(const std::string& text = "")
    {
        temporary.getFile().replaceWithData(text.data(), text.size());
    }
};
} // namespace

// Only "LockToPresetLengths" and "EmulationEngine" are read, as strtol with base 0 reads them;
// options written by "Save Default Config" are never read back.
TEST(ConfigFile, ReadsOnlyItsTwoKeys)
{
    // {text, LockToPresetLengths, EmulationEngine}
    const std::tuple<std::string, int, int> cases[] = {
        {"; OXN3 Configuration\nVCOMode = 2\nLockToPresetLengths = 1\nEmulationEngine = 0x3\n", 1, 3},
        {"EmulationEngine = 010\n", 0, 8},
        {"EmulationEngine=0\n", 0, 3}, // a key joined to its value is not recognised
        {std::string(300, 'K') + " = " + std::string(200, '9') + "\n; " + std::string(5000, 'c')
             + "\nLockToPresetLengths = " + std::string(120, '1') + "\nEmulationEngine = 7\n",
         2147483647, 7}, // long words are cut, values held within the int range, reading goes on
    };
    const juce::File config = juce::File(makeProcessor()->configFolder).getChildFile("Config.ini");
    config.getParentDirectory().createDirectory();
    for (const auto& [text, lock, engine] : cases)
    {
        config.replaceWithText(text);
        auto processor = makeProcessor();
        EXPECT_EQ(std::make_tuple(processor->LockToPresetLengths, processor->EmulationEngine, processor->VCOMode),
                  std::make_tuple(lock, engine, 1))
            << text.substr(0, 60);
    }
    config.deleteFile();
}

TEST(ConfigFile, WritesEveryOptionInItsFormat)
{
    auto processor = makeProcessor();
    processor->GateTrim = 0.25;
    processor->VCANoise = 5; // a hand-edited value is written as it stands
    const juce::File written = juce::File(processor->configFolder).getChildFile("Written.ini");
    ASSERT_EQ(processor->WriteConfig("Written.ini"), 1);
    EXPECT_EQ(written.loadFileAsString(),
              "; OXN3 Configuration\nVCOMode = 1\nOutputClipping = 0\nVCOPhaseReset = 0\nImprovedEmulation = 1\n"
              "VCOVibrato = 1\nVCANoise = 5\nVCAClicks = 1\nGateTrim = 0.250000\nResoTrim = 0.500000\n"
              "VCFTrim = 0.500000\nTuningTrim = 0.500000\nSyncMode = 1\nMidiMode = 0\nMidiOutput = 0\n"
              "HighPass = 0.000000\nBassBoost = 0.500000\nEmulationEngine = 3\nShowSticker = 1\n");
    written.deleteFile();

    // A folder whose path does not fit the path buffer is refused.
    const std::string longFolder = "/tmp/" + std::string(245, 'f') + "/";
    std::memset(processor->configFolder, 0, sizeof(processor->configFolder));
    std::memcpy(processor->configFolder, longFolder.c_str(), longFolder.size());
    EXPECT_EQ(processor->WriteConfig(nullptr), 0);
}

// Sizes outside 1..128 leave both maps empty; a word stops the reading there.
TEST(MidiMapFile, SizesAndShortFiles)
{
    // {text, controllers 0 and 1, keys 0 and 1}
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"MidiMapSize = 2\n5\n7\n200\n201\n", {5, 7, 200, 201}},
        {"MidiMapSize = 0\n5\n7\n200\n201\n", {-1, -1, -1, -1}},
        {"MidiMapSize = 200\n5\n7\n200\n201\n", {-1, -1, -1, -1}},
        {"MidiMapSize = 3\n1\nsix\n3\n", {1, -1, -1, -1}},
    };
    for (const auto& [text, maps] : cases)
    {
        const ScratchFile file(text);
        auto processor = makeProcessor();
        processor->midiCCMap[50] = processor->midiKeyMap[0] = 9;
        EXPECT_EQ(processor->ReadMidiCC(file.path.c_str()), 1);
        const std::vector<int> read = {processor->midiCCMap[0], processor->midiCCMap[1], processor->midiKeyMap[0],
                                       processor->midiKeyMap[1]};
        EXPECT_EQ(read, maps) << text;
        EXPECT_EQ(processor->midiCCMap[50], -1);
    }
    EXPECT_EQ(makeProcessor()->ReadMidiCC("/nonexistent/x.map"), 0);
}

TEST(MidiMapFile, WriteAndReadBack)
{
    auto saved = makeProcessor();
    for (int n = 0; n < 128; ++n)
    {
        saved->midiCCMap[n] = (n * 37) % 240 - 1;
        saved->midiKeyMap[n] = (n * 53) % 250 - 1;
    }
    const ScratchFile file;
    ASSERT_EQ(saved->WriteMidiCC(file.path.c_str()), 1);
    EXPECT_TRUE(file.temporary.getFile().loadFileAsString().startsWith("MidiMapSize = 128\n-1\n36\n"));
    auto loaded = makeProcessor();
    ASSERT_EQ(loaded->ReadMidiCC(file.path.c_str()), 1);
    EXPECT_EQ(std::memcmp(saved->midiCCMap, loaded->midiCCMap, sizeof(saved->midiCCMap)), 0);
    EXPECT_EQ(std::memcmp(saved->midiKeyMap, loaded->midiKeyMap, sizeof(saved->midiKeyMap)), 0);
}

TEST(TuningFile, NoteLinesLineEndsAndValues)
{
    const ScratchFile file("; a comment\n[Exact Tuning]\nbasefreq = 8.1757989156\n"
                           "note 69 = 440.0\nnote 128 = 100.0\nnote 60=261.5\n"
                           "note 10 = 11.5\r\nnote 11 = 12.5\rnote 12 = 13.5\n"
                           "note 14 = 15.5 " + std::string(200, 'x') + "\n" // cut at 79 characters, the next line read
                           "note 1 = abc\nnote 20 =\nnote 15 = 16.5"); // two words: note 20 keeps its value // no line end at the end of the file
    auto processor = makeProcessor();
    const double before[3] = {processor->tuningTable[0], processor->tuningTable[127], processor->tuningTable[20]};
    EXPECT_EQ(processor->LoadTuningTable(file.path.c_str()), 1);
    const std::pair<int, double> expected[] = {{69, 440.0}, {60, 261.5}, {10, 11.5}, {11, 12.5}, {12, 13.5},
                                               {14, 15.5},  {15, 16.5},  {1, 0.0},
                                               {0, before[0]}, {127, before[1]}, {20, before[2]}}; // "basefreq"; no note 128
    for (const auto& [note, frequency] : expected)
        EXPECT_EQ(processor->tuningTable[note], frequency) << note;
    EXPECT_EQ(processor->synth->customTuningTable[69], 440.0); // handed to the engine
    EXPECT_EQ(processor->LoadTuningTable("/nonexistent/a.tun"), 0);
}

TEST(QuotedString, ReadsUpToTheClosingQuoteWithinTheBuffer)
{
    // {text, length, value, the character read after it}
    const std::tuple<std::string, int, std::string, int> cases[] = {
        {"\"Default Skin\" rest", 12, "Default Skin", ' '}, // the closing quote is consumed
        {"Default Skin", 0, "untouched", 'e'},              // the first character is consumed
        {"\"open to the end", 15, "open to the end", EOF},
        {"\"" + std::string(300, 'v') + "\"X", 15, std::string(15, 'v'), 'X'}, // cut, and consumed
    };
    for (const auto& [text, length, value, next] : cases)
    {
        const ScratchFile file(text);
        FILE* stream = std::fopen(file.path.c_str(), "rb");
        ASSERT_NE(stream, nullptr);
        char out[16] = "untouched";
        const int read = oxn3files::read_quoted_string(stream, out);
        EXPECT_EQ(std::make_tuple(read, std::string(out), std::fgetc(stream)), std::make_tuple(length, value, next))
            << text.substr(0, 20);
        std::fclose(stream);
    }
}
