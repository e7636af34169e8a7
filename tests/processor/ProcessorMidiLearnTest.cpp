// MIDI learn of controllers and keys, the pattern-length and randomiser controllers and the
// lookups the editor labels its controls with.
#include <cstdlib>
#include <cstring>
#include <tuple>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using namespace oxn3test;

namespace
{
bool samePattern(const Vst303Pattern& a, const Vst303Pattern& b)
{
    return std::memcmp(&a, &b, sizeof(Vst303Pattern)) == 0;
}

// The current pattern as the generator makes it from the processor's settings and their seed.
Vst303Pattern generatedFromSeed(JuceDemoPluginAudioProcessor& processor, const Vst303Pattern& start)
{
    Vst303Pattern expected = start;
    AdvancedRandom_t settings = processor.advancedRandom;
    RandomGenerator generator{static_cast<std::uint32_t>(settings.seed)};
    expected.AdvancedRandom(&settings, &generator);
    return expected;
}
} // namespace

TEST(MidiLearn, ControllerLearnMovesWithItsTarget)
{
    auto processor = makeProcessor();
    processor->midiCCMap[20] = 1;
    processor->midiLearnActive = 1;
    processor->touchedParameter = -1;
    send(*processor, controller(21, 127)); // nothing touched, unmapped: nothing learnt
    EXPECT_EQ(processor->midiCCMap[21], -1);
    send(*processor, controller(20, 127)); // nothing touched, mapped: sets its target, touches nothing
    EXPECT_FLOAT_EQ(processor->getParameter(1), 1.0f);
    EXPECT_EQ(processor->touchedParameter, -1);

    processor->touchedParameter = 5;
    send(*processor, controller(74, 64));
    EXPECT_EQ(processor->midiCCMap[74], 5);
    EXPECT_FLOAT_EQ(processor->getParameter(5), 64.0f / 127.0f); // applied at once
    send(*processor, controller(75, 127)); // same target: the binding moves
    EXPECT_EQ(processor->midiCCMap[74], -1);
    EXPECT_EQ(processor->midiCCMap[75], 5);
    EXPECT_EQ(processor->midiCCMap[20], 1);
}

// Only the user's moves in the window pick the learn target: not the construction (its reset of
// the configuration sets two knobs), a recall, host automation, a reset or a controller.
TEST(MidiLearn, OnlyMovesInTheWindowPickTheTarget)
{
    auto processor = makeProcessor();
    EXPECT_EQ(processor->touchedParameter, -1);
    juce::MemoryBlock state;
    processor->getStateInformation(state);
    processor->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
    processor->getParameters()[16]->setValueNotifyingHost(0.3f);
    processor->getParameters()[13]->setValue(0.2f);
    processor->ResetConfig();
    processor->midiLearnActive = 1;
    send(*processor, controller(74, 100));
    EXPECT_EQ(processor->touchedParameter, -1);
    EXPECT_EQ(processor->LookupCC(16), -1);
    EXPECT_EQ(processor->midiCCMap[74], -1);

    processor->setParameterFromWindow(2, 0.4f);
    EXPECT_EQ(processor->touchedParameter, 2);
    send(*processor, controller(74, 100));
    EXPECT_EQ(processor->midiCCMap[74], 2);
    EXPECT_FLOAT_EQ(processor->getParameter(2), 100.0f / 127.0f);
}

// A learnt key presses its button instead of playing; with learn on and nothing touched it plays.
TEST(MidiLearn, KeyLearnAndMappedKeys)
{
    std::srand(1);
    auto processor = makeProcessor();
    const Vst303Pattern before = processor->synth->patterns[0];
    processor->midiLearnActive = 1;
    processor->touchedParameter = 213; // "Random"
    send(*processor, on(36));
    EXPECT_EQ(processor->midiKeyMap[36], 213);
    EXPECT_FALSE(samePattern(before, processor->synth->patterns[0])); // randomised at once
    EXPECT_EQ(processor->synth->running, 0);                          // the key is not played
    send(*processor, on(38));
    EXPECT_EQ(processor->midiKeyMap[36], -1);
    EXPECT_EQ(processor->midiKeyMap[38], 213);

    processor->midiLearnActive = 0;
    processor->midiKeyMap[50] = 230; // "Steps Increase"
    send(*processor, on(60));
    send(*processor, on(50));
    EXPECT_EQ(processor->synth->patterns[60].getLength(), 17);
    EXPECT_EQ(processor->synth->currentPattern, 60); // not a pattern select
    send(*processor, off(50));
    EXPECT_EQ(processor->synth->running, 1); // its release does not count as a key of the stack

    processor->midiLearnActive = 1;
    processor->touchedParameter = -1;
    send(*processor, on(50));
    EXPECT_EQ(processor->synth->currentPattern, 50);
}

TEST(MidiLearn, PatternLengthFromAController)
{
    auto processor = makeProcessor();
    Vst303Pattern& pattern = processor->synth->patterns[0];
    const Vst303Pattern stepsBefore = pattern;
    // Free lengths are int(value / 127 x 16), at least 1; preset lengths index their table.
    const struct
    {
        int lock, value, length;
    } cases[] = {{0, 64, 8}, {0, 0, 1}, {1, 64, 7}, {1, 127, 16}};
    for (const auto& c : cases)
    {
        processor->LockToPresetLengths = c.lock;
        processor->handleMidiCC(100, c.value);
        EXPECT_EQ(pattern.getLength(), c.length) << "lock " << c.lock << " value " << c.value;
    }
    EXPECT_EQ(std::memcmp(stepsBefore.steps, pattern.steps, sizeof(pattern.steps)), 0); // not regenerated
}

TEST(MidiLearn, RandomiserControllersSetTheirFieldsAndRegenerateFromTheSeed)
{
    auto processor = makeProcessor();
    AdvancedRandom_t& settings = processor->advancedRandom;
    Vst303Pattern& pattern = processor->synth->patterns[0];
    const Vst303Pattern untouched = pattern; // while "apply" is off the pattern stays as it is
    processor->handleMidiCC(105, 127);
    EXPECT_EQ(settings.root, 11);
    processor->handleMidiCC(104, 64);
    EXPECT_EQ(settings.accentDensity, 50);
    EXPECT_TRUE(samePattern(untouched, pattern));

    processor->handleMidiCC(123, 127);
    EXPECT_EQ(settings.apply, 1);
    const Vst303Pattern applied = pattern;
    EXPECT_TRUE(samePattern(applied, generatedFromSeed(*processor, untouched)));

    // The next seed comes only at the top of the travel, and regenerates from it.
    processor->handleMidiCC(124, 126);
    EXPECT_EQ(settings.seed, 12345);
    EXPECT_TRUE(samePattern(applied, pattern));
    for (int i = 0, previous = settings.seed; i < 3; ++i, previous = settings.seed)
    {
        processor->handleMidiCC(124, 127);
        EXPECT_GE(settings.seed, 0);
        EXPECT_NE(settings.seed, previous);
    }
    EXPECT_TRUE(samePattern(pattern, generatedFromSeed(*processor, pattern)));
}

TEST(MidiLearn, LookupsFindTheLowestNumberAndResetClears)
{
    auto processor = makeProcessor();
    processor->midiCCMap[74] = 5;
    processor->midiCCMap[20] = 5;
    processor->midiKeyMap[40] = 213;
    processor->midiKeyMap[90] = 213;
    const auto lookups = [&] {
        return std::make_tuple(processor->LookupCC(5), processor->LookupMidiKey(213), processor->LookupCC(6));
    };
    EXPECT_EQ(lookups(), std::make_tuple(20, 40, -1));
    processor->resetMidiLearn();
    EXPECT_EQ(lookups(), std::make_tuple(-1, -1, -1));
}
