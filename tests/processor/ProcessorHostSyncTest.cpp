// The host transport driving the sequencer in pattern mode.
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using namespace oxn3test;

namespace
{
struct SyncedProcessor
{
    std::unique_ptr<JuceDemoPluginAudioProcessor> processor;
    TestPlayHead head;

    explicit SyncedProcessor(juce::AudioProcessor::WrapperType wrapper = juce::AudioProcessor::wrapperType_Undefined)
        : processor(makeProcessorAs(wrapper))
    {
        processor->setPlayHead(&head);
    }
    ~SyncedProcessor() { processor->setPlayHead(nullptr); }

    juce::AudioBuffer<float> blockAt(double ppq, bool playing, int numSamples = 1)
    {
        head.ppq = ppq;
        head.playing = playing;
        return render(*processor, numSamples);
    }
    Synth303& engine() { return *processor->synth; }
    std::pair<int, double> position() { return {engine().playStep, processor->hostStepPhase}; }
};
} // namespace

// Quarter positions played in turn at 120 BPM -> (play step, host step phase) after each; the
// phases are exact binary fractions. One quarter holds three triplet steps.
TEST(HostSync, QuarterPositionsBecomeStepsAndPhases)
{
    using Position = std::pair<int, double>;
    const std::tuple<int, std::vector<double>, std::vector<Position>> cases[] = {
        {0, {4.0, 4.125, 4.25}, {{0, 0.0}, {0, 0.5}, {1, 0.0}}},
        {1, {0.0, 4.0, 5.0}, {{0, 0.0}, {0, 0.0}, {3, 0.0}}}}; // 12 triplet steps: 4.0 is step 12 mod 12
    for (const auto& [triplet, quarters, positions] : cases)
    {
        SyncedProcessor s;
        s.engine().patterns[0].setLength(triplet ? 12 : 16);
        s.engine().patterns[0].setTriplet(triplet);
        for (size_t i = 0; i < quarters.size(); ++i)
        {
            s.blockAt(quarters[i], true);
            EXPECT_EQ(s.engine().running, 1);
            EXPECT_EQ(s.position(), positions[i]) << quarters[i];
        }
    }
    // A count-in before the song start stays inside the last step of the bar before.
    SyncedProcessor s;
    s.blockAt(-0.2, true, 64);
    EXPECT_EQ(s.engine().playStep, 15);
    EXPECT_GE(s.processor->hostStepPhase, 0.0);
}

TEST(HostSync, StopOrVanishingPositionStopsTheSequencer)
{
    SyncedProcessor stopped;
    stopped.blockAt(0.0, true, 512);
    ASSERT_EQ(stopped.engine().running, 1);
    stopped.blockAt(0.0, false, 512); // stopped where it was: the stop itself ends the run
    EXPECT_EQ(stopped.engine().running, 0);
    EXPECT_EQ(stopped.engine().gate, 0);

    SyncedProcessor vanished;
    vanished.blockAt(0.0, true, 512);
    vanished.head.available = false;
    render(*vanished.processor, 512);
    EXPECT_EQ(vanished.engine().running, 0);
}

TEST(HostSync, MovingTheStoppedTransportStopsANoteStartedPattern)
{
    SyncedProcessor s;
    s.head.ppq = 2.0;
    auto midi = midiAt({on(3)}, 0);
    render(*s.processor, 512, midi);
    s.blockAt(2.0, false, 512); // host stopped and not moved: keeps running
    EXPECT_EQ(s.engine().running, 1);
    s.blockAt(6.0, false, 512); // the user moved the stopped transport
    EXPECT_EQ(s.engine().running, 0);
}

// LV2 hosts report the transport only when it changes; between reports it goes on as last
// reported, and only a report stops it.
TEST(HostSync, Lv2TransportGoesOnBetweenReports)
{
    const auto lv2 = juce::AudioProcessor::wrapperType_LV2;
    const double quartersPerBlock = kTestBlock / kTestRate * 2.0; // 120 BPM
    SyncedProcessor everyBlock(lv2);
    SyncedProcessor firstOnly(lv2);
    SyncedProcessor framesOnly(lv2); // reports carry the sample frame, not the quarters
    framesOnly.head.reportsQuarters = false;
    float largestDifference = 0.0f;
    for (int block = 0; block < 40; ++block)
    {
        const double ppq = block * quartersPerBlock;
        const auto reported = everyBlock.blockAt(ppq, true, kTestBlock);
        firstOnly.head.available = block == 0;
        framesOnly.head.frame = block * kTestBlock;
        for (SyncedProcessor* other : {&firstOnly, &framesOnly})
        {
            const auto continued = other->blockAt(ppq, true, kTestBlock);
            for (int i = 0; i < kTestBlock; ++i)
                largestDifference =
                    std::max(largestDifference, std::abs(reported.getSample(0, i) - continued.getSample(0, i)));
        }
    }
    EXPECT_EQ(everyBlock.engine().playStep, 3); // the pattern moved on
    EXPECT_LT(largestDifference, 1e-6f);
    firstOnly.head.available = true;
    firstOnly.blockAt(40 * quartersPerBlock, false, kTestBlock);
    EXPECT_EQ(firstOnly.engine().running, 0);

    // A stopped transport reported once: a note-started pattern runs until the transport moves.
    SyncedProcessor stopped(lv2);
    stopped.blockAt(2.0, false, kTestBlock);
    stopped.head.available = false;
    auto midi = midiAt({on(3)}, 0);
    render(*stopped.processor, kTestBlock, midi);
    render(*stopped.processor, kTestBlock);
    EXPECT_EQ(stopped.engine().running, 1);
    stopped.head.available = true;
    stopped.blockAt(6.0, false, kTestBlock);
    EXPECT_EQ(stopped.engine().running, 0);
}

// A tempo change inside a block arrives as that block's only report, at the change's own frame:
// the block still starts where the transport was, and reaches the change at the old tempo.
TEST(HostSync, Lv2TempoChangeInsideABlockIsNoJump)
{
    SyncedProcessor s(juce::AudioProcessor::wrapperType_LV2);
    s.head.reportsQuarters = false;
    s.blockAt(0.0, true, kTestBlock); // frame 0 at 120 BPM
    s.head.frame = kTestBlock + 100;
    s.head.bpm = 150.0;
    s.blockAt(0.0, true, kTestBlock);
    const auto& reported = s.processor->lastPosInfo;
    EXPECT_DOUBLE_EQ(reported.ppqPosition, kTestBlock / kTestRate * 2.0);
    EXPECT_EQ(reported.timeInSamples, kTestBlock);
    EXPECT_EQ(reported.bpm, 150.0);

    s.head.available = false;
    s.blockAt(0.0, true, kTestBlock);
    EXPECT_DOUBLE_EQ(reported.ppqPosition, ((kTestBlock + 100) * 2.0 + (kTestBlock - 100) * 2.5) / kTestRate);
    EXPECT_EQ(reported.timeInSamples, 2 * kTestBlock);
}

// Tempo and transport are read only in pattern mode with sync on.
TEST(HostSync, TransportIsReadOnlyInSyncedPatternMode)
{
    const struct
    {
        int syncMode, midiMode;
        bool follows;
    } cases[] = {{1, oxn3::kPatternMode, true}, {0, oxn3::kPatternMode, false}, {1, oxn3::kNoteMode, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "sync " << c.syncMode << " mode " << c.midiMode);
        SyncedProcessor s;
        s.processor->SyncMode = c.syncMode;
        s.processor->MidiMode = c.midiMode;
        s.head.bpm = 90.0;
        s.blockAt(4.0, true, 512);
        EXPECT_EQ(s.engine().running, c.follows ? 1 : 0);
        if (c.midiMode == oxn3::kNoteMode || c.follows)
        {
            EXPECT_DOUBLE_EQ(s.engine().bpm, c.follows ? 90.0 : 120.0);
        }
    }
}

// A host that starts playing in the middle of a pattern is heard at its own step from the first
// block on: the start's reset to step 0 must not win over the host position.
TEST(HostSync, StartingMidPatternPlaysTheHostStepInTheFirstBlock)
{
    SyncedProcessor s;
    s.processor->MidiOutput = 1;
    s.engine().patterns[0].steps[0] = step_t{0, step_t::kGate}; // sounds as note 36
    s.engine().patterns[0].steps[1] = step_t{7, step_t::kGate}; // sounds as note 43
    s.head.ppq = 4.3; // step 1 at phase 0.2
    s.head.playing = true;
    juce::MidiBuffer out;
    render(*s.processor, 64, out);
    EXPECT_EQ(s.engine().playStep, 1);
    int sentNote = -1;
    for (const auto event : out)
        if (event.getMessage().isNoteOn())
            sentNote = event.getMessage().getNoteNumber();
    EXPECT_EQ(sentNote, 43);
}
