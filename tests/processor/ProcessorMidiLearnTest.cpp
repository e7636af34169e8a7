// MIDI learn of controllers and keys, mapped controllers and keys, the randomiser controllers
// and the lookups the editor labels its controls with.
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;
using oxn3test::render;

namespace
{
juce::MidiMessage controller(int number, int value)
{
    return juce::MidiMessage::controllerEvent(1, number, value);
}

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
    processor->midiLearnActive = 1;
    processor->touchedParameter = 5;

    send(*processor, controller(74, 64));
    EXPECT_EQ(processor->midiCCMap[74], 5);
    EXPECT_FLOAT_EQ(processor->getParameter(5), 64.0f / 127.0f); // applied at once

    send(*processor, controller(75, 127)); // same target: the binding moves
    EXPECT_EQ(processor->midiCCMap[74], -1);
    EXPECT_EQ(processor->midiCCMap[75], 5);
    EXPECT_FLOAT_EQ(processor->getParameter(5), 1.0f);

    processor->midiLearnActive = 0;
    send(*processor, controller(75, 0));
    EXPECT_FLOAT_EQ(processor->getParameter(5), 0.0f);
    send(*processor, controller(74, 100)); // no longer mapped
    EXPECT_FLOAT_EQ(processor->getParameter(5), 0.0f);
}

TEST(MidiLearn, LearnWithNothingTouchedUsesTheMap)
{
    auto processor = makeProcessor();
    processor->midiCCMap[20] = 1;
    processor->midiLearnActive = 1;
    processor->touchedParameter = -1;
    send(*processor, controller(21, 127)); // unmapped: nothing learnt, nothing changed
    EXPECT_EQ(processor->midiCCMap[21], -1);
    EXPECT_EQ(processor->touchedParameter, -1);

    send(*processor, controller(20, 127));
    EXPECT_FLOAT_EQ(processor->getParameter(1), 1.0f);
    // Setting the parameter touched it, so the next controller learns it.
    EXPECT_EQ(processor->touchedParameter, 1);
    send(*processor, controller(21, 0));
    EXPECT_EQ(processor->midiCCMap[20], -1);
    EXPECT_EQ(processor->midiCCMap[21], 1);
}

TEST(MidiLearn, ControllersMappedOutsideTheTargetsDoNothing)
{
    auto processor = makeProcessor();
    processor->midiCCMap[20] = 150;
    processor->midiCCMap[21] = 50;
    const AdvancedRandom_t settings = processor->advancedRandom;
    const Vst303Pattern pattern = processor->synth->patterns[0];
    double values[oxn3::kNumParameters];
    std::memcpy(values, processor->parameterValues, sizeof(values));

    send(*processor, controller(20, 127));
    send(*processor, controller(21, 127));
    EXPECT_EQ(std::memcmp(&settings, &processor->advancedRandom, sizeof(settings)), 0);
    EXPECT_TRUE(samePattern(pattern, processor->synth->patterns[0]));
    EXPECT_EQ(std::memcmp(values, processor->parameterValues, sizeof(values)), 0);
}

TEST(MidiLearn, KeyLearnPressesTheButtonAndMovesWithItsTarget)
{
    std::srand(1);
    auto processor = makeProcessor();
    const Vst303Pattern before = processor->synth->patterns[0];
    processor->midiLearnActive = 1;
    processor->touchedParameter = 213; // "Random"

    send(*processor, juce::MidiMessage::noteOn(1, 36, juce::uint8{100}));
    EXPECT_EQ(processor->midiKeyMap[36], 213);
    EXPECT_FALSE(samePattern(before, processor->synth->patterns[0])); // randomised at once
    EXPECT_EQ(processor->synth->running, 0);                          // the key is not played
    EXPECT_EQ(processor->synth->currentPattern, 0);
    send(*processor, juce::MidiMessage::noteOff(1, 36));

    send(*processor, juce::MidiMessage::noteOn(1, 38, juce::uint8{100}));
    EXPECT_EQ(processor->midiKeyMap[36], -1);
    EXPECT_EQ(processor->midiKeyMap[38], 213);
}

TEST(MidiLearn, MappedKeysPressButtonsInsteadOfPlaying)
{
    auto processor = makeProcessor();
    processor->midiKeyMap[50] = 230; // "Steps Increase"
    send(*processor, juce::MidiMessage::noteOn(1, 60, juce::uint8{100}));
    ASSERT_EQ(processor->synth->currentPattern, 60);

    processor->guiRefresh = 0;
    send(*processor, juce::MidiMessage::noteOn(1, 50, juce::uint8{100}));
    EXPECT_EQ(processor->synth->patterns[60].getLength(), 17);
    EXPECT_EQ(processor->synth->currentPattern, 60); // not a pattern select
    EXPECT_EQ(processor->guiRefresh, 1);
    send(*processor, juce::MidiMessage::noteOff(1, 50));
    EXPECT_EQ(processor->synth->running, 1); // its release does not count as a key of the stack

    // With learn on and nothing touched, a mapped key plays like any other.
    processor->midiLearnActive = 1;
    processor->touchedParameter = -1;
    send(*processor, juce::MidiMessage::noteOn(1, 50, juce::uint8{100}));
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
    const int cursor = engine.editStep;
    for (const int id : {224, 231, 232, 233, 150, 5, -1}) // no command
    {
        processor->guiRefresh = 0;
        processor->handleMidiKeyMapping(id);
        EXPECT_EQ(processor->guiRefresh, 1) << id;
    }
    EXPECT_TRUE(samePattern(before, pattern));
    EXPECT_EQ(engine.editStep, cursor);
}

TEST(MidiLearn, PatternLengthFromAController)
{
    auto processor = makeProcessor();
    Vst303Pattern& pattern = processor->synth->patterns[0];
    pattern.setTriplet(1);
    const Vst303Pattern stepsBefore = pattern;

    processor->handleMidiCC(100, 127);
    EXPECT_EQ(pattern.getLength(), 16);
    processor->handleMidiCC(100, 64); // int(0.5039 x 16)
    EXPECT_EQ(pattern.getLength(), 8);
    processor->handleMidiCC(100, 0);
    EXPECT_EQ(pattern.getLength(), 1);
    EXPECT_EQ(pattern.getTriplet(), 1);

    processor->LockToPresetLengths = 1;
    processor->handleMidiCC(100, 64); // preset index int(3.02) = 3
    EXPECT_EQ(pattern.getLength(), 7);
    processor->handleMidiCC(100, 0);
    EXPECT_EQ(pattern.getLength(), 3);
    processor->handleMidiCC(100, 127);
    EXPECT_EQ(pattern.getLength(), 16);
    EXPECT_EQ(std::memcmp(stepsBefore.steps, pattern.steps, sizeof(pattern.steps)), 0); // not regenerated
}

TEST(MidiLearn, RandomiserControllersSetTheirFieldsAndRegenerate)
{
    auto processor = makeProcessor();
    AdvancedRandom_t& settings = processor->advancedRandom;
    Vst303Pattern& pattern = processor->synth->patterns[0];

    processor->handleMidiCC(105, 127);
    EXPECT_EQ(settings.root, 11);
    processor->handleMidiCC(101, 127);
    EXPECT_EQ(settings.noteDensity, 100);
    processor->handleMidiCC(104, 64);
    EXPECT_EQ(settings.accentDensity, 50);
    processor->handleMidiCC(106, 0);
    EXPECT_EQ(settings.scale[0], 0);
    processor->handleMidiCC(117, 1);
    EXPECT_EQ(settings.scale[11], 1);
    processor->handleMidiCC(122, 0);
    EXPECT_EQ(settings.upperRange2, 0);

    // While "apply" is off the pattern stays as it is.
    const Vst303Pattern untouched = pattern;
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

    int seeds[8];
    for (int& seed : seeds)
    {
        processor->handleMidiCC(124, 127);
        seed = settings.seed;
        EXPECT_GE(seed, 0);
    }
    EXPECT_NE(seeds[0], seeds[1]);
    EXPECT_NE(seeds[1], seeds[2]);
    EXPECT_EQ(processor->guiRefresh, 1);
    EXPECT_TRUE(samePattern(pattern, generatedFromSeed(*processor, pattern)));
    EXPECT_EQ(processor->randomGenerator.state != static_cast<std::uint32_t>(settings.seed), true); // advanced
}

TEST(MidiLearn, IdsOutsideTheRandomiserDoNothing)
{
    auto processor = makeProcessor();
    const AdvancedRandom_t settings = processor->advancedRandom;
    for (const int id : {99, 125, 200, -1})
        processor->handleMidiCC(id, 127);
    EXPECT_EQ(std::memcmp(&settings, &processor->advancedRandom, sizeof(settings)), 0);
    EXPECT_EQ(processor->guiRefresh, 0);
}

TEST(MidiLearn, LookupsFindTheLowestNumberAndResetClears)
{
    auto processor = makeProcessor();
    processor->midiCCMap[74] = 5;
    processor->midiCCMap[20] = 5;
    processor->midiKeyMap[40] = 213;
    processor->midiKeyMap[90] = 213;
    EXPECT_EQ(processor->LookupCC(5), 20);
    EXPECT_EQ(processor->LookupMidiKey(213), 40);
    EXPECT_EQ(processor->LookupCC(6), -1);
    EXPECT_EQ(processor->LookupMidiKey(214), -1);

    processor->resetMidiLearn();
    EXPECT_EQ(processor->LookupCC(5), -1);
    EXPECT_EQ(processor->LookupMidiKey(213), -1);
}

// Learned controllers and mapped keys run on the audio thread: they must not allocate.
TEST(MidiLearn, MappedControllersAndKeysDoNotAllocate)
{
    auto processor = makeProcessor();
    processor->midiCCMap[1] = oxn3::kCutoff;
    processor->midiCCMap[2] = 101;     // "R.Note"
    processor->midiCCMap[3] = 124;     // "R.NextSeed"
    processor->midiKeyMap[30] = 222;   // "Next"
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
        midi.addEvent(juce::MidiMessage::noteOn(1, 30, juce::uint8{100}), 30);
        midi.addEvent(juce::MidiMessage::noteOff(1, 30), 40);
        oxn3test::CountingScope scope;
        processor->processBlock(audio, midi);
        allocations += scope.count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_FLOAT_EQ(processor->getParameter(oxn3::kCutoff), 49.0f / 127.0f);
}
