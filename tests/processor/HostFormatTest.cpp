// The built VST3 and LV2 bundles loaded through JUCE's hosting, driven across the format boundary.
#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "HostStateContainers.h"
#include "HostTestHelpers.h"

using namespace oxn3test;

namespace
{
constexpr double kSamplesPerStep = 5512.5; // 120 BPM at 44.1 kHz
constexpr float kSilence = 1e-3f;
constexpr float kAudible = 1e-2f;

using HostFormat = BundleTest;

bool sameSamples(const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b, int count)
{
    for (int i = 0; i < count; ++i)
        if (a.getSample(0, i) != b.getSample(0, i))
            return false;
    return true;
}

// Channel 0 of one note-on at `noteAt` played through blocks of the given sizes.
juce::AudioBuffer<float> noteThroughBlocks(oxn3host::Format format, std::initializer_list<int> blocks, int noteAt)
{
    HostedPlugin host(format);
    juce::AudioBuffer<float> all(1, 4096);
    int start = 0;
    for (int size : blocks)
    {
        juce::MidiBuffer midi;
        if (noteAt >= start && noteAt < start + size)
            midi.addEvent(on(5), noteAt - start);
        all.copyFrom(0, start, host.block(size, midi), 0, 0, size);
        start += size;
    }
    return all;
}
} // namespace

TEST_P(HostFormat, EighteenParametersWithNamesDefaultsAndTexts)
{
    HostedPlugin host(GetParam());
    ASSERT_TRUE(host.loaded());
    // Our 18 and the bypass switch that JUCE's VST3 and LV2 wrappers add for the host. LV2 hosts
    // list parameters by URI, so they are looked up by name.
    ASSERT_EQ(host.plugin->getParameters().size(), 19);
    const char* names[] = {"Tuning", "Cutoff",   "Resonance", "Envmod",    "Decay",     "Accent",
                           "Volume", "Edit View", "Waveform", "Highpass",  "Drive",     "Distort",
                           "Dist.Mode", "Reso Trim", "Gate Trim", "Detune", "Bass",     "VCF Trim"};
    const float defaults[] = {0.5f, 0, 0, 0, 0, 0, 0.75f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f};
    for (int i = 0; i < 18; ++i)
    {
        SCOPED_TRACE(names[i]);
        auto* parameter = host.find(names[i]);
        ASSERT_NE(parameter, nullptr);
        EXPECT_NEAR(parameter->getValue(), defaults[i], 1e-6);
    }
    host.find("Resonance")->setValueNotifyingHost(0.4f);
    host.block(64);
    EXPECT_NEAR(host.find("Resonance")->getValue(), 0.4f, 1e-6);
    // VST3 asks the plug-in for value texts; LV2 has no text callback.
    if (GetParam() == oxn3host::Format::vst3)
    {
        EXPECT_EQ(host.find("Tuning")->getText(0.5f, 64), "50%, +0.0 semitones");
        EXPECT_EQ(host.find("Dist.Mode")->getText(1.0f, 64), "Fold");
    }
}

TEST_P(HostFormat, PatternNoteSoundsAndSendsNoMidiByDefault)
{
    HostedPlugin host(GetParam());
    ASSERT_TRUE(host.loaded());
    auto midi = midiAt({on(12)}, 0);
    float peak = 0.0f;
    for (int b = 0; b < 17; ++b, midi.clear())
    {
        const float level = host.block(kHostBlock, midi).getMagnitude(0, 0, kHostBlock);
        peak = b > 0 ? std::max(peak, level) : 0.0f;
        EXPECT_EQ(midi.getNumEvents(), 0) << b;
    }
    EXPECT_GT(peak, kAudible);
}

TEST_P(HostFormat, NoteTakesEffectOnItsSample)
{
    const auto inOneBlock = noteThroughBlocks(GetParam(), {512, 512, 512, 512}, 100);
    EXPECT_GT(inOneBlock.getMagnitude(0, 0, 2048), kAudible);
    EXPECT_TRUE(sameSamples(inOneBlock, noteThroughBlocks(GetParam(), {100, 412, 512, 512, 512}, 100), 2048));
    for (int elsewhere : {99, 101})
        EXPECT_FALSE(sameSamples(inOneBlock, noteThroughBlocks(GetParam(), {512, 512, 512, 512}, elsewhere), 2048));
}

// On then off at one position leaves silence, off then on a playing pattern; a note in a
// 0-sample block goes with the block.
TEST_P(HostFormat, EventsAtOnePositionAndEmptyBlocks)
{
    const auto levelAfter = [&](juce::MidiBuffer midi, int blockSize) {
        HostedPlugin host(GetParam());
        host.block(blockSize, midi);
        return host.run(8).getMagnitude(0, 0, 8 * kHostBlock);
    };
    EXPECT_LT(levelAfter(midiAt({on(3), off(3)}, 100), kHostBlock), kSilence);
    EXPECT_GT(levelAfter(midiAt({off(3), on(3)}, 100), kHostBlock), kAudible);
    EXPECT_LT(levelAfter(midiAt({on(3)}, 0), 0), kSilence);
}

// Host positions at 120 BPM: quarter 4.0 is step 0 at phase 0, 4.125 the same step at phase 0.5,
// 4.25 step 1, which starts a new note; 4.2 stays in step 0 with its gate closed.
TEST_P(HostFormat, HostPositionSelectsTheStep)
{
    const auto lastBlockLevel = [&](double thirdPosition) {
        HostedPlugin host(GetParam());
        host.head.playing = true;
        for (double ppq : {4.0, 4.125})
        {
            host.head.ppq = ppq;
            host.block(kHostBlock);
        }
        host.head.ppq = thirdPosition;
        return host.run(1).getRMSLevel(0, 0, kHostBlock);
    };
    const float newStep = lastBlockLevel(4.25);
    EXPECT_GT(newStep, kAudible);
    EXPECT_GT(newStep, 4.0f * lastBlockLevel(4.2));
}

// A host position off by 0.0009 of a step leaves the plug-in's own clock alone; 0.0011 moves it,
// which closes the gate some samples earlier.
TEST_P(HostFormat, ResynchronisesOnlyBeyondTolerance)
{
    const auto renderWithJump = [&](double jumpInSteps) {
        HostedPlugin host(GetParam());
        host.head.playing = true;
        juce::AudioBuffer<float> all(1, 8 * kHostBlock);
        for (int b = 0; b < 8; ++b)
        {
            const double steps = b * kHostBlock / kSamplesPerStep + (b > 0 ? jumpInSteps : 0.0);
            host.head.ppq = 4.0 + steps / 4.0;
            all.copyFrom(0, b * kHostBlock, host.block(kHostBlock), 0, 0, kHostBlock);
        }
        return all;
    };
    const auto ownClock = renderWithJump(0.0);
    EXPECT_GT(ownClock.getMagnitude(0, 0, 8 * kHostBlock), kAudible);
    EXPECT_TRUE(sameSamples(ownClock, renderWithJump(0.0009), 8 * kHostBlock));
    EXPECT_FALSE(sameSamples(ownClock, renderWithJump(0.0011), 8 * kHostBlock));
}

// After 8 blocks of play the host stops, or reports no more. LV2 hosts report the transport only
// when it changes: the pattern plays on as if every block had one. VST3 hosts report in every block.
TEST_P(HostFormat, HostStopAndBlocksWithoutATransportReport)
{
    enum Then { reports, stops, goesQuiet };
    const auto play = [&](Then then) {
        HostedPlugin host(GetParam());
        juce::AudioBuffer<float> all(1, 60 * kHostBlock);
        for (int b = 0; b < 60; ++b)
        {
            host.head.available = b < 8 || then != goesQuiet;
            host.head.playing = b < 8 || then != stops;
            host.head.ppq = (then == stops ? std::min(b, 7) : b) * kHostBlock / kSamplesPerStep / 4.0;
            all.copyFrom(0, b * kHostBlock, host.block(kHostBlock), 0, 0, kHostBlock);
        }
        return all;
    };
    const auto lateLevel = [](const auto& audio) { return audio.getMagnitude(0, 40 * kHostBlock, 20 * kHostBlock); };
    EXPECT_LT(lateLevel(play(stops)), kSilence);
    const auto reportedOnce = play(goesQuiet);
    const bool lv2 = GetParam() == oxn3host::Format::lv2;
    EXPECT_TRUE(lv2 ? lateLevel(reportedOnce) > kAudible : lateLevel(reportedOnce) < kSilence);
    if (!lv2)
        return;
    const auto reported = play(reports);
    for (int i = 0; i < reported.getNumSamples(); ++i)
        ASSERT_NEAR(reportedOnce.getSample(0, i), reported.getSample(0, i), 1e-6f) << "sample " << i;
}

// An LV2 host shows the values the plug-in tells it of; the plug-in tells every value once it is
// created and again after a recall. A VST3 host reads them itself and hears of none on loading.
// (JUCE's VST3 hosting re-reads every value after a recall on its own, so a recall is checked on
// the processor directly.)
TEST_P(HostFormat, HostLearnsEveryValueOnlyWhereItMust)
{
    struct ValueRecorder : juce::AudioProcessorParameter::Listener
    {
        std::map<int, int> heard; // parameter index -> notifications
        void parameterValueChanged(int index, float) override { ++heard[index]; }
        void parameterGestureChanged(int, bool) override {}
    } recorder;
    HostedPlugin host(GetParam());
    ASSERT_TRUE(host.loaded());
    for (auto* parameter : host.plugin->getParameters())
        parameter->addListener(&recorder);
    const bool lv2 = GetParam() == oxn3host::Format::lv2;
    const auto heardOf = [&](const char* name) { return recorder.heard[host.find(name)->getParameterIndex()]; };

    host.block(kHostBlock);
    for (const char* name : {"Volume", "Cutoff", "VCF Trim"})
        EXPECT_EQ(heardOf(name), lv2 ? 1 : 0) << name;
    EXPECT_NEAR(host.find("Volume")->getValue(), 0.75f, 1e-6);

    if (lv2)
    {
        juce::MemoryBlock state;
        host.plugin->getStateInformation(state);
        host.plugin->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
        host.block(kHostBlock);
        for (const char* name : {"Volume", "Cutoff", "VCF Trim"})
            EXPECT_EQ(heardOf(name), 2) << name;
    }
    for (auto* parameter : host.plugin->getParameters())
        parameter->removeListener(&recorder);
}

TEST_P(HostFormat, AnyBlockSizeAndRateGivesFiniteOutput)
{
    std::mt19937 random(7001);
    std::uniform_int_distribution<int> blockSize(1, 4096);
    for (double rate : {22050.0, 192000.0})
    {
        SCOPED_TRACE(rate);
        HostedPlugin host(GetParam(), rate, 4096);
        ASSERT_TRUE(host.loaded());
        for (const char* name : {"Resonance", "Envmod", "Accent", "Distort"})
            host.find(name)->setValueNotifyingHost(1.0f);
        auto start = midiAt({on(9)}, 0);
        host.block(16, start);
        float peak = 0.0f;
        for (int rendered = 0; rendered < static_cast<int>(rate / 2);)
        {
            const int count = blockSize(random);
            const auto audio = host.block(count);
            for (int channel = 0; channel < audio.getNumChannels(); ++channel)
                for (int i = 0; i < count; ++i)
                    ASSERT_TRUE(std::isfinite(audio.getSample(channel, i)));
            peak = std::max(peak, audio.getMagnitude(0, 0, count));
            rendered += count;
        }
        EXPECT_GT(peak, kAudible);
    }
}

namespace
{
juce::MemoryBlock formatStateOf(HostedPlugin& host)
{
    juce::MemoryBlock block;
    host.plugin->getStateInformation(block);
    return block;
}

// A song of our own: the state of a fresh instance with parameters, options, a pattern, the maps,
// the tuning and the randomiser changed.
juce::MemoryBlock songState(const juce::MemoryBlock& freshInner)
{
    const auto xml = juce::AudioProcessor::getXmlFromBinary(freshInner.getData(), static_cast<int>(freshInner.getSize()));
    if (xml == nullptr)
        return {};
    for (const auto& [name, value] : {std::pair<const char*, double>{"Cutoff", 0.3}, {"Resonance", 0.8},
                                      {"Envmod", 0.65}, {"Decay", 0.4}, {"Accent", 0.9}, {"ResoTrim", 0.25}})
        xml->setAttribute(name, value);
    xml->setAttribute("CurrentPattern", 9);
    xml->setAttribute("VCOMode", 2);
    juce::XmlElement* pattern = xml->getChildByName("oxn3pattern9");
    pattern->setAttribute("length", 8);
    for (int s = 0; s < 8; ++s)
    {
        juce::XmlElement* step = pattern->getChildByName("step" + juce::String(s));
        step->setAttribute("pitch", (s * 7) % 16);
        step->setAttribute("accent", s % 3 == 0 ? 1 : 0);
        step->setAttribute("slide", s % 4 == 1 ? 1 : 0);
    }
    xml->getChildByName("MidiCCMap")->setAttribute("cc74", 1);
    xml->getChildByName("MidiKeyMap")->setAttribute("key20", 213);
    xml->getChildByName("TuningTable")->setAttribute("note69", 432.0);
    xml->getChildByName("AdvancedRandom")->setAttribute("seed", 777);
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary(*xml, block);
    return block;
}

// Channel 0 of pattern 9 started by its key after a recall.
juce::AudioBuffer<float> playPatternNine(HostedPlugin& host)
{
    host.block(kHostBlock);
    auto start = midiAt({on(9)}, 0);
    host.block(kHostBlock, start);
    return host.run(24);
}
} // namespace

// A song saved by the host comes back whole in another instance: the block it stores, the
// parameter values it shows and what the instance plays.
TEST_P(HostFormat, StateComesBackWholeInAnotherInstance)
{
    juce::MemoryBlock song;
    juce::MemoryBlock saved;
    {
        HostedPlugin first(GetParam());
        ASSERT_TRUE(first.loaded());
        const juce::MemoryBlock fresh = formatStateOf(first);
        song = songState(innerState(GetParam(), fresh));
        ASSERT_GT(song.getSize(), 100000u);
        const juce::MemoryBlock given = withInnerState(GetParam(), fresh, song);
        first.plugin->setStateInformation(given.getData(), static_cast<int>(given.getSize()));
        first.block(kHostBlock);
        saved = formatStateOf(first);
        EXPECT_TRUE(innerState(GetParam(), saved) == song); // it saves exactly the song it was given
    }

    HostedPlugin second(GetParam());
    HostedPlugin third(GetParam());
    HostedPlugin fresh(GetParam());
    ASSERT_TRUE(second.loaded() && third.loaded() && fresh.loaded());
    for (HostedPlugin* host : {&second, &third})
        host->plugin->setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));

    const auto played = playPatternNine(second);
    EXPECT_TRUE(innerState(GetParam(), formatStateOf(second)) == song);
    EXPECT_NEAR(second.find("Cutoff")->getValue(), 0.3f, 1e-6);
    EXPECT_NEAR(second.find("Volume")->getValue(), 0.75f, 1e-6);

    // Two recalls of one song play it alike, and unlike an instance without it.
    const int length = played.getNumSamples();
    EXPECT_GT(played.getMagnitude(0, 0, length), kAudible);
    EXPECT_TRUE(sameSamples(played, playPatternNine(third), length));
    EXPECT_FALSE(sameSamples(played, playPatternNine(fresh), length));
}

INSTANTIATE_TEST_SUITE_P(BuiltBundles, HostFormat, kBothBundles, bundleName);
