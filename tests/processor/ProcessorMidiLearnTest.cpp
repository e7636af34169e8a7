// MIDI learn of controllers and keys, mapped controllers and keys, the randomiser controllers
// and the lookups the editor labels its controls with.
#include <cstdlib>
#include <cstring>
#include <tuple>

#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;
using oxn3test::render;

namespace
{
juce::MidiMessage controller(int number, int value) { return juce::MidiMessage::controllerEvent(1, number, value); }

juce::MidiMessage on(int note) { return juce::MidiMessage::noteOn(1, note, juce::uint8{100}); }

void send(JuceDemoPluginAudioProcessor& processor, const juce::MidiMessage& message)
{
    juce::MidiBuffer midi;
    midi.addEvent(message, 0);
    render(processor, 1, midi);
}

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
    send(*processor, controller(20, 127)); // nothing touched, mapped: sets and so touches its target
    EXPECT_FLOAT_EQ(processor->getParameter(1), 1.0f);
    EXPECT_EQ(processor->touchedParameter, 1);

    processor->touchedParameter = 5;
    send(*processor, controller(74, 64));
    EXPECT_EQ(processor->midiCCMap[74], 5);
    EXPECT_FLOAT_EQ(processor->getParameter(5), 64.0f / 127.0f); // applied at once
    send(*processor, controller(75, 127)); // same target: the binding moves
    EXPECT_EQ(processor->midiCCMap[74], -1);
    EXPECT_EQ(processor->midiCCMap[75], 5);
    EXPECT_EQ(processor->midiCCMap[20], 1);

    processor->midiLearnActive = 0;
    send(*processor, controller(75, 0));
    send(*processor, controller(74, 100)); // no longer mapped
    EXPECT_FLOAT_EQ(processor->getParameter(5), 0.0f);
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
    processor->guiRefresh = 0;
    send(*processor, on(50));
    EXPECT_EQ(processor->synth->patterns[60].getLength(), 17);
    EXPECT_EQ(processor->synth->currentPattern, 60); // not a pattern select
    EXPECT_EQ(processor->guiRefresh, 1);
    send(*processor, juce::MidiMessage::noteOff(1, 50));
    EXPECT_EQ(processor->synth->running, 1); // its release does not count as a key of the stack

    processor->midiLearnActive = 1;
    processor->touchedParameter = -1;
    send(*processor, on(50));
    EXPECT_EQ(processor->synth->currentPattern, 50);
    EXPECT_EQ(processor->synth->patterns[60].getLength(), 17);
}

TEST(MidiLearn, PanelButtonIdsSendTheirCommands)
{
    auto processor = makeProcessor();
    Synth303& engine = *processor->synth;
    Vst303Pattern& pattern = engine.patterns[0];
    engine.editStep = 2;
    processor->handleMidiKeyMapping(215); // "Gate" toggles the gate at the cursor
    EXPECT_FALSE(pattern.steps[2].has(step_t::kGate));
    processor->handleMidiKeyMapping(229); // "Steps Decrease"
    EXPECT_EQ(pattern.getLength(), 15);
    processor->handleMidiKeyMapping(207); // note key G
    EXPECT_EQ(pattern.steps[2].pitch, 7);

    const Vst303Pattern before = pattern;
    for (const int id : {224, 231, 232, 233, 150, 5, -1}) // no command
    {
        processor->guiRefresh = 0;
        processor->handleMidiKeyMapping(id);
        EXPECT_EQ(processor->guiRefresh, 1) << id;
    }
    EXPECT_TRUE(samePattern(before, pattern));
    EXPECT_EQ(engine.editStep, 2);
}

TEST(MidiLearn, PatternLengthFromAController)
{
    auto processor = makeProcessor();
    Vst303Pattern& pattern = processor->synth->patterns[0];
    pattern.setTriplet(1);
    const Vst303Pattern stepsBefore = pattern;
    // Free lengths are int(value / 127 x 16), at least 1; preset lengths index their table.
    const struct
    {
        int lock, value, length;
    } cases[] = {{0, 127, 16}, {0, 64, 8}, {0, 0, 1}, {1, 64, 7}, {1, 0, 3}, {1, 127, 16}};
    for (const auto& c : cases)
    {
        processor->LockToPresetLengths = c.lock;
        processor->handleMidiCC(100, c.value);
        EXPECT_EQ(pattern.getLength(), c.length) << "lock " << c.lock << " value " << c.value;
    }
    EXPECT_EQ(pattern.getTriplet(), 1);
    EXPECT_EQ(std::memcmp(stepsBefore.steps, pattern.steps, sizeof(pattern.steps)), 0); // not regenerated
}

TEST(MidiLearn, RandomiserControllersSetTheirFieldsAndRegenerate)
{
    auto processor = makeProcessor();
    AdvancedRandom_t& settings = processor->advancedRandom;
    Vst303Pattern& pattern = processor->synth->patterns[0];
    const struct
    {
        int id, value;
        const int* field;
        int expected;
    } cases[] = {{105, 127, &settings.root, 11},        {101, 127, &settings.noteDensity, 100},
                 {104, 64, &settings.accentDensity, 50}, {106, 0, &settings.scale[0], 0},
                 {117, 1, &settings.scale[11], 1},       {122, 0, &settings.upperRange2, 0}};
    for (const auto& c : cases)
    {
        processor->handleMidiCC(c.id, c.value);
        EXPECT_EQ(*c.field, c.expected) << c.id;
    }

    const Vst303Pattern untouched = pattern; // while "apply" is off the pattern stays as it is
    processor->handleMidiCC(102, 20);
    EXPECT_TRUE(samePattern(untouched, pattern));

    processor->guiRefresh = 0;
    processor->handleMidiCC(123, 127);
    EXPECT_EQ(settings.apply, 1);
    EXPECT_EQ(processor->guiRefresh, 1);
    const Vst303Pattern afterApply = pattern;
    EXPECT_TRUE(samePattern(afterApply, generatedFromSeed(*processor, untouched)));
    // Every move starts the generator from the seed again: the same settings, the same pattern.
    processor->handleMidiCC(123, 127);
    EXPECT_TRUE(samePattern(afterApply, pattern));
}

TEST(MidiLearn, NextSeedOnlyAtTheTopOfTheTravel)
{
    auto processor = makeProcessor();
    AdvancedRandom_t& settings = processor->advancedRandom;
    settings.apply = 1;
    Vst303Pattern& pattern = processor->synth->patterns[0];
    const Vst303Pattern before = pattern;
    processor->guiRefresh = 0;
    processor->handleMidiCC(124, 126);
    EXPECT_EQ(settings.seed, 12345);
    EXPECT_TRUE(samePattern(before, pattern));
    EXPECT_EQ(processor->guiRefresh, 0);

    for (int i = 0, previous = settings.seed; i < 3; ++i, previous = settings.seed)
    {
        processor->handleMidiCC(124, 127);
        EXPECT_GE(settings.seed, 0);
        EXPECT_NE(settings.seed, previous);
    }
    EXPECT_EQ(processor->guiRefresh, 1);
    EXPECT_TRUE(samePattern(pattern, generatedFromSeed(*processor, pattern)));
    EXPECT_NE(processor->randomGenerator.state, static_cast<std::uint32_t>(settings.seed)); // advanced
}

// Randomiser ids out of range and controllers mapped to ids without a target change nothing.
TEST(MidiLearn, IdsWithoutATargetDoNothing)
{
    auto processor = makeProcessor();
    processor->midiCCMap[20] = 150;
    processor->midiCCMap[21] = 50;
    const AdvancedRandom_t settings = processor->advancedRandom;
    const Vst303Pattern pattern = processor->synth->patterns[0];
    double values[oxn3::kNumParameters];
    std::memcpy(values, processor->parameterValues, sizeof(values));

    for (const int id : {99, 125, 200, -1})
        processor->handleMidiCC(id, 127);
    EXPECT_EQ(processor->guiRefresh, 0);
    send(*processor, controller(20, 127));
    send(*processor, controller(21, 127));
    EXPECT_EQ(std::memcmp(&settings, &processor->advancedRandom, sizeof(settings)), 0);
    EXPECT_TRUE(samePattern(pattern, processor->synth->patterns[0]));
    EXPECT_EQ(std::memcmp(values, processor->parameterValues, sizeof(values)), 0);
}

TEST(MidiLearn, LookupsFindTheLowestNumberAndResetClears)
{
    auto processor = makeProcessor();
    processor->midiCCMap[74] = 5;
    processor->midiCCMap[20] = 5;
    processor->midiKeyMap[40] = 213;
    processor->midiKeyMap[90] = 213;
    const auto lookups = [&] {
        return std::make_tuple(processor->LookupCC(5), processor->LookupMidiKey(213), processor->LookupCC(6),
                               processor->LookupMidiKey(214));
    };
    EXPECT_EQ(lookups(), std::make_tuple(20, 40, -1, -1));
    processor->resetMidiLearn();
    EXPECT_EQ(lookups(), std::make_tuple(-1, -1, -1, -1));
}

// Learned controllers and mapped keys run on the audio thread: they must not allocate.
TEST(MidiLearn, MappedControllersAndKeysDoNotAllocate)
{
    auto processor = makeProcessor();
    processor->midiCCMap[1] = oxn3::kCutoff;
    processor->midiCCMap[2] = 101;   // "R.Note"
    processor->midiCCMap[3] = 124;   // "R.NextSeed"
    processor->midiKeyMap[30] = 222; // "Next"
    processor->advancedRandom.apply = 1;
    juce::AudioBuffer<float> audio(2, 256);
    juce::MidiBuffer midi;
    midi.ensureSize(1024);
    render(*processor, 256);

    long allocations = 0;
    for (int block = 0; block < 50; ++block)
    {
        midi.clear();
        midi.addEvent(controller(1, block), 0);
        midi.addEvent(controller(2, block * 2), 10);
        midi.addEvent(controller(3, 127), 20);
        midi.addEvent(on(30), 30);
        midi.addEvent(juce::MidiMessage::noteOff(1, 30), 40);
        oxn3test::CountingScope scope;
        processor->processBlock(audio, midi);
        allocations += scope.count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_FLOAT_EQ(processor->getParameter(oxn3::kCutoff), 49.0f / 127.0f);
}
