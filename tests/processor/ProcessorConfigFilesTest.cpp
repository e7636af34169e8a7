// "Config.ini", ".map" and ".tun" files and the quoted-string reader.
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"
#include "processor/files/KeyValueScanner.h"

using oxn3test::makeProcessor;

namespace
{
// A file in a folder of its own that goes with the test.
struct ScratchFile
{
    juce::TemporaryFile temporary{".txt"};
    std::string path = temporary.getFile().getFullPathName().toStdString();

    explicit ScratchFile(const std::string& text = "") { write(text); }

    void write(const std::string& text) const
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }

    std::string read() const { return juce::File(path).loadFileAsString().toStdString(); }
};

// "Config.ini" in the data folder of the test run, written before the processor is made.
struct ConfigFileInDataFolder
{
    juce::File file;

    explicit ConfigFileInDataFolder(const std::string& text)
    {
        auto probe = makeProcessor();
        file = juce::File(juce::String::fromUTF8(probe->configFolder)).getChildFile("Config.ini");
        file.getParentDirectory().createDirectory();
        file.replaceWithText(text);
    }

    ~ConfigFileInDataFolder() { file.deleteFile(); }
};

FILE* streamOf(const std::string& text, ScratchFile& file)
{
    file.write(text);
    return std::fopen(file.path.c_str(), "rb");
}
} // namespace

TEST(ConfigFile, ReadsOnlyItsTwoKeys)
{
    const ConfigFileInDataFolder config("; OXN3 Configuration\n"
                                        "VCOMode = 2\n"
                                        "LockToPresetLengths = 1\n"
                                        "SyncMode = 0\n"
                                        "EmulationEngine = 0x3\n");
    auto processor = makeProcessor();
    EXPECT_EQ(processor->LockToPresetLengths, 1);
    EXPECT_EQ(processor->EmulationEngine, 3);
    EXPECT_EQ(processor->VCOMode, 1); // written by "Save Default Config", never read back
    EXPECT_EQ(processor->SyncMode, 1);
}

TEST(ConfigFile, ValuesFollowStrtolBaseZero)
{
    const ConfigFileInDataFolder config("EmulationEngine = 010\n");
    auto processor = makeProcessor();
    EXPECT_EQ(processor->EmulationEngine, 8); // a leading zero reads as octal
}

TEST(ConfigFile, KeyJoinedToItsValueIsNotRecognised)
{
    const ConfigFileInDataFolder config("EmulationEngine=0\n"
                                        ";EmulationEngine = 1\n");
    auto processor = makeProcessor();
    EXPECT_EQ(processor->EmulationEngine, 3);
}

TEST(ConfigFile, MissingFileLeavesTheDefaultsAndReturnsOne)
{
    auto processor = makeProcessor();
    processor->EmulationEngine = 5;
    EXPECT_EQ(processor->ReadConfig("NoSuchFile.ini"), 1);
    EXPECT_EQ(processor->EmulationEngine, 5);
}

TEST(ConfigFile, LongWordsAreCutAndReadingGoesOn)
{
    const ConfigFileInDataFolder config(std::string(300, 'K') + " = " + std::string(200, '9') + "\n"
                                        + "; " + std::string(5000, 'c') + "\n"
                                        + "LockToPresetLengths = " + std::string(120, '1') + "\n"
                                        + "EmulationEngine = 7\n");
    auto processor = makeProcessor();
    EXPECT_EQ(processor->LockToPresetLengths, 2147483647); // held within the int range
    EXPECT_EQ(processor->EmulationEngine, 7);
}

TEST(ConfigFile, WritesEveryOptionInItsFormat)
{
    auto processor = makeProcessor();
    processor->MidiOutput = 5;
    processor->GateTrim = 0.25;
    ASSERT_EQ(processor->WriteConfig("Written.ini"), 1);
    const juce::File file = juce::File(juce::String::fromUTF8(processor->configFolder)).getChildFile("Written.ini");
    EXPECT_EQ(file.loadFileAsString(), "; OXN3 Configuration\n"
                                       "VCOMode = 1\n"
                                       "OutputClipping = 0\n"
                                       "VCOPhaseReset = 0\n"
                                       "ImprovedEmulation = 1\n"
                                       "VCOVibrato = 1\n"
                                       "VCANoise = 0\n"
                                       "VCAClicks = 1\n"
                                       "GateTrim = 0.250000\n"
                                       "ResoTrim = 0.500000\n"
                                       "VCFTrim = 0.500000\n"
                                       "TuningTrim = 0.500000\n"
                                       "SyncMode = 1\n"
                                       "MidiMode = 0\n"
                                       "MidiOutput = 1\n"
                                       "HighPass = 0.000000\n"
                                       "BassBoost = 0.500000\n"
                                       "EmulationEngine = 3\n"
                                       "ShowSticker = 1\n");
    file.deleteFile();
}

TEST(ConfigFile, PathsThatDoNotFitAreRefused)
{
    auto processor = makeProcessor();
    std::memset(processor->configFolder, 0, sizeof(processor->configFolder));
    const std::string longFolder = "/tmp/" + std::string(245, 'f') + "/";
    std::memcpy(processor->configFolder, longFolder.c_str(), longFolder.size());
    processor->EmulationEngine = 4;
    EXPECT_EQ(processor->WriteConfig(nullptr), 0);
    EXPECT_EQ(processor->ReadConfig("Config.ini"), 1);
    EXPECT_EQ(processor->EmulationEngine, 4);

    const juce::TemporaryFile notAFolder;
    notAFolder.getFile().create();
    const std::string blocked = notAFolder.getFile().getFullPathName().toStdString() + "/";
    std::strcpy(processor->configFolder, blocked.c_str());
    EXPECT_EQ(processor->WriteConfig(nullptr), 0); // the folder cannot be made under a file
}

TEST(ConfigFile, FirstSaveMakesTheDataFolder)
{
    auto processor = makeProcessor();
    const juce::File folder = juce::File(juce::String::fromUTF8(processor->configFolder));
    folder.deleteRecursively();
    ASSERT_EQ(processor->WriteConfig(nullptr), 1);
    EXPECT_TRUE(folder.getChildFile("Config.ini").existsAsFile());
    folder.getChildFile("Config.ini").deleteFile();
}

TEST(ConfigFile, ResetTouchesOnlyItsOptions)
{
    auto processor = makeProcessor();
    processor->MidiMode = 1;
    processor->SyncMode = 0;
    processor->VCOMode = 2;
    processor->ResoTrim = 0.1;
    processor->MidiOutput = 1;
    processor->ImprovedEmulation = 0;
    processor->LockToPresetLengths = 1;
    processor->setParameter(oxn3::kHighpass, 0.7f);
    processor->touchedParameter = 3;
    processor->ResetConfig();
    EXPECT_EQ(processor->MidiMode, 0);
    EXPECT_EQ(processor->SyncMode, 1);
    EXPECT_EQ(processor->VCOMode, 1);
    EXPECT_EQ(processor->ResoTrim, 0.5);
    EXPECT_EQ(processor->getParameter(oxn3::kHighpass), 0.0f);
    EXPECT_EQ(processor->touchedParameter, 16); // through the ordinary setter
    EXPECT_EQ(processor->MidiOutput, 1);
    EXPECT_EQ(processor->ImprovedEmulation, 0);
    EXPECT_EQ(processor->LockToPresetLengths, 1);
}

TEST(MidiMapFile, SizeTwo)
{
    const ScratchFile file("MidiMapSize = 2\n5\n7\n200\n201\n");
    auto processor = makeProcessor();
    processor->midiCCMap[50] = 3;
    EXPECT_EQ(processor->ReadMidiCC(file.path.c_str()), 1);
    EXPECT_EQ(processor->midiCCMap[0], 5);
    EXPECT_EQ(processor->midiCCMap[1], 7);
    EXPECT_EQ(processor->midiKeyMap[0], 200);
    EXPECT_EQ(processor->midiKeyMap[1], 201);
    for (int n = 2; n < 128; ++n)
    {
        EXPECT_EQ(processor->midiCCMap[n], -1);
        EXPECT_EQ(processor->midiKeyMap[n], -1);
    }
}

TEST(MidiMapFile, SizesOutsideTheMapLeaveItEmpty)
{
    for (const char* size : {"0", "200", "-1", "x"})
    {
        SCOPED_TRACE(size);
        const ScratchFile file(std::string("MidiMapSize = ") + size + "\n5\n7\n200\n201\n");
        auto processor = makeProcessor();
        processor->midiCCMap[0] = 9;
        processor->midiKeyMap[0] = 9;
        EXPECT_EQ(processor->ReadMidiCC(file.path.c_str()), 1);
        for (int n = 0; n < 128; ++n)
        {
            EXPECT_EQ(processor->midiCCMap[n], -1);
            EXPECT_EQ(processor->midiKeyMap[n], -1);
        }
    }
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
    EXPECT_EQ(file.read().rfind("MidiMapSize = 128\n-1\n36\n", 0), 0u);

    auto loaded = makeProcessor();
    ASSERT_EQ(loaded->ReadMidiCC(file.path.c_str()), 1);
    EXPECT_EQ(std::memcmp(saved->midiCCMap, loaded->midiCCMap, sizeof(saved->midiCCMap)), 0);
    EXPECT_EQ(std::memcmp(saved->midiKeyMap, loaded->midiKeyMap, sizeof(saved->midiKeyMap)), 0);
}

TEST(MidiMapFile, UnreadableFilesChangeNothingAndShortFilesStopEarly)
{
    auto processor = makeProcessor();
    processor->midiCCMap[4] = 2;
    EXPECT_EQ(processor->ReadMidiCC("/nonexistent/x.map"), 0);
    EXPECT_EQ(processor->midiCCMap[4], 2);
    EXPECT_EQ(processor->WriteMidiCC("/nonexistent/x.map"), 0);

    const ScratchFile shortFile("; map\nMidiMapSize = 3\n1\n2\n3\n4\n");
    EXPECT_EQ(processor->ReadMidiCC(shortFile.path.c_str()), 1);
    EXPECT_EQ(processor->midiCCMap[2], 3);
    EXPECT_EQ(processor->midiKeyMap[0], 4);
    EXPECT_EQ(processor->midiKeyMap[1], -1);

    const ScratchFile wordFile("MidiMapSize = 3\n1\nsix\n3\n");
    EXPECT_EQ(processor->ReadMidiCC(wordFile.path.c_str()), 1);
    EXPECT_EQ(processor->midiCCMap[0], 1);
    EXPECT_EQ(processor->midiCCMap[1], -1);
    EXPECT_EQ(processor->midiCCMap[2], -1);
}

TEST(TuningFile, NoteLinesSetTheirNotes)
{
    const ScratchFile file("; a comment\n"
                           "[Exact Tuning]\n"
                           "basefreq = 8.1757989156\n"
                           "note 69 = 440.0\n"
                           "note 128 = 100.0\n"
                           "note 60=261.5\n"
                           "note 61\n");
    auto processor = makeProcessor();
    const double before[3] = {processor->tuningTable[0], processor->tuningTable[61], processor->tuningTable[127]};
    EXPECT_EQ(processor->LoadTuningTable(file.path.c_str()), 1);
    EXPECT_EQ(processor->tuningTable[69], 440.0);
    EXPECT_EQ(processor->tuningTable[60], 261.5);
    EXPECT_EQ(processor->tuningTable[0], before[0]); // "basefreq" changes nothing
    EXPECT_EQ(processor->tuningTable[61], before[1]); // fewer than three words
    EXPECT_EQ(processor->tuningTable[127], before[2]);
    EXPECT_EQ(processor->synth->customTuningTable[69], 440.0); // handed to the engine
    EXPECT_EQ(processor->TuningMode, 0); // the caller decides when to use it
}

TEST(TuningFile, LineEndsAndLongLines)
{
    const ScratchFile file("note 10 = 11.5\r\n"
                           "note 11 = 12.5\r"
                           "note 12 = 13.5" + std::string(1, '\0') + "note 13 = 14.5\n"
                           "note 14 = 15.5 " + std::string(200, 'x') + "\n"
                           "note 15 = 16.5");
    auto processor = makeProcessor();
    EXPECT_EQ(processor->LoadTuningTable(file.path.c_str()), 1);
    EXPECT_EQ(processor->tuningTable[10], 11.5);
    EXPECT_EQ(processor->tuningTable[11], 12.5);
    EXPECT_EQ(processor->tuningTable[12], 13.5);
    EXPECT_EQ(processor->tuningTable[13], 14.5);
    EXPECT_EQ(processor->tuningTable[14], 15.5); // the line is cut at 79 characters, the next one read
    EXPECT_EQ(processor->tuningTable[15], 16.5); // no line end at the end of the file
}

TEST(TuningFile, FrequenciesThatAreNoFiniteNumberReadZero)
{
    const ScratchFile file("note 1 = abc\nnote 2 = inf\nnote 3 = 1e999\nnote 4 = nan\nnote x = 5\n");
    auto processor = makeProcessor();
    EXPECT_EQ(processor->LoadTuningTable(file.path.c_str()), 1);
    for (int note = 0; note <= 4; ++note)
        EXPECT_EQ(processor->tuningTable[note], note == 0 ? 5.0 : 0.0) << note; // "x" reads as note 0
}

TEST(TuningFile, UnreadableFileChangesNothing)
{
    auto processor = makeProcessor();
    const double before = processor->tuningTable[69];
    EXPECT_EQ(processor->LoadTuningTable("/nonexistent/a.tun"), 0);
    EXPECT_EQ(processor->tuningTable[69], before);
}

TEST(QuotedString, ReadsUpToTheClosingQuote)
{
    ScratchFile file;
    char out[256] = "untouched";
    FILE* stream = streamOf("\"Default Skin\" rest", file);
    EXPECT_EQ(oxn3files::read_quoted_string(stream, out), 12);
    EXPECT_STREQ(out, "Default Skin");
    EXPECT_EQ(std::fgetc(stream), ' '); // the closing quote is consumed
    std::fclose(stream);

    std::strcpy(out, "untouched");
    stream = streamOf("Default Skin", file);
    EXPECT_EQ(oxn3files::read_quoted_string(stream, out), 0);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(std::fgetc(stream), 'e'); // the first character is consumed
    std::fclose(stream);

    stream = streamOf("\"open to the end", file);
    EXPECT_EQ(oxn3files::read_quoted_string(stream, out), 15);
    EXPECT_STREQ(out, "open to the end");
    std::fclose(stream);
}

TEST(QuotedString, LongValuesAreCutAndConsumed)
{
    ScratchFile file;
    char out[16];
    FILE* stream = streamOf("\"" + std::string(300, 'v') + "\"X", file);
    EXPECT_EQ(oxn3files::read_quoted_string(stream, out), 15);
    EXPECT_EQ(std::string(out), std::string(15, 'v'));
    EXPECT_EQ(std::fgetc(stream), 'X');
    std::fclose(stream);
}
