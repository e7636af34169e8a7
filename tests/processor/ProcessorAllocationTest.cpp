// The audio thread allocates nothing once the first block has run, learnt controllers and mapped
// keys included.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "ProcessorTestHelpers.h"

using namespace oxn3test;

TEST(Allocation, CounterSeesAllocations)
{
    CountingScope scope;
    auto block = std::make_unique<int[]>(16);
    juce::HeapBlock<float> heap(16); // JUCE allocates with malloc
    // Keep the optimiser from leaving the allocations out.
    void* volatile keep = block.get();
    keep = heap.get();
    EXPECT_NE(keep, nullptr);
    EXPECT_GE(scope.count(), 2);
}

TEST(Allocation, NoAllocationAfterTheFirstBlock)
{
    auto processor = makeProcessor();
    TestPlayHead head;
    processor->setPlayHead(&head);
    processor->MidiOutput = 1;
    processor->midiCCMap[1] = oxn3::kCutoff;
    processor->midiCCMap[2] = 124;   // "R.NextSeed"
    processor->midiKeyMap[30] = 222; // "Next"
    processor->advancedRandom.apply = 1;

    juce::AudioBuffer<float> audio(2, 4096);
    juce::MidiBuffer midi;
    midi.ensureSize(4096); // the host's buffer, grown once up front

    long allocations = 0;
    for (int block = 0; block < 400; ++block)
    {
        const int size = 1 + (block * 977) % 1024;
        audio.setSize(2, size, false, false, true);
        midi.clear();
        // Pattern notes, learnt controllers, a mapped key, the pitch wheel and a SysEx message.
        if (block % 40 == 0)
            midi.addEvent(on(block % 24), size / 2);
        if (block % 40 == 20)
            midi.addEvent(off((block - 20) % 24), 0);
        if (block % 7 == 0)
        {
            midi.addEvent(juce::MidiMessage::pitchWheel(1, 1000 + block), size - 1);
            midi.addEvent(controller(1, block % 128), 0);
            midi.addEvent(controller(2, 127), 0);
            midi.addEvent(on(30), 0);
        }
        if (block % 11 == 0)
        {
            const juce::uint8 sysex[] = {0xF0, 0x7D, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xF7};
            midi.addEvent(sysex, static_cast<int>(sizeof(sysex)), 0);
        }
        processor->ImprovedEmulation = (block / 50) % 2;
        head.playing = block >= 200 && block < 300;
        head.ppq = block * 0.05;

        CountingScope scope;
        processor->processBlock(audio, midi);
        if (block > 0)
            allocations += scope.count();
    }
    processor->setPlayHead(nullptr);
    EXPECT_EQ(allocations, 0);
}
