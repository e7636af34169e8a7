// A hosted plug-in's audio thread allocates nothing after its first block. The counter sees the
// plug-in's allocations too: the test executable's malloc and operator new interpose on it.
#include "AllocationCounter.h"
#include "HostTestHelpers.h"

using namespace oxn3test;

using HostAllocation = BundleTest;

TEST_P(HostAllocation, CounterReachesIntoThePlugin)
{
    CountingScope scope;
    HostedPlugin host(GetParam());
    ASSERT_TRUE(host.loaded());
    EXPECT_GT(scope.count(), 100); // loading builds a processor, an engine, parameter objects
}

TEST_P(HostAllocation, NoAllocationAfterTheFirstBlock)
{
    HostedPlugin host(GetParam());
    ASSERT_TRUE(host.loaded());
    juce::AudioBuffer<float> audio(2, kHostBlock);
    juce::MidiBuffer midi;
    midi.ensureSize(4096);

    long allocations = 0;
    for (int block = 0; block < 300; ++block)
    {
        midi.clear();
        if (block % 30 == 0)
            midi.addEvent(on(block % 12), 17);
        if (block % 30 == 15)
            midi.addEvent(off((block - 15) % 12), 0);
        if (block % 5 == 0)
            midi.addEvent(juce::MidiMessage::pitchWheel(1, 4000 + block), 300);
        host.head.playing = block >= 100 && block < 200;
        host.head.ppq = block * kHostBlock / 44100.0 * 2.0;
        audio.clear();

        CountingScope scope;
        host.plugin->processBlock(audio, midi);
        if (block > 1)
            allocations += scope.count();
    }
    EXPECT_EQ(allocations, 0);
}

INSTANTIATE_TEST_SUITE_P(BuiltBundles, HostAllocation, kBothBundles, bundleName);
