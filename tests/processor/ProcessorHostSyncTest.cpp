// The host transport driving the sequencer in pattern mode.
#include <utility>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;
using oxn3test::noteOnAt;
using oxn3test::render;
using oxn3test::TestPlayHead;

namespace
{
constexpr double kSamplesPerStep = 5512.5; // 120 BPM at 44.1 kHz

struct SyncedProcessor
{
    std::unique_ptr<JuceDemoPluginAudioProcessor> processor = makeProcessor();
    TestPlayHead head;

    SyncedProcessor() { processor->setPlayHead(&head); }
    ~SyncedProcessor() { processor->setPlayHead(nullptr); }

    void blockAt(double ppq, bool playing, int numSamples = 1)
    {
        head.ppq = ppq;
        head.playing = playing;
        render(*processor, numSamples);
    }
    Synth303& engine() { return *processor->synth; }
};
} // namespace

// Each check reads (play step, host step phase); the phases are exact binary fractions.
TEST(HostSync, QuarterPositionsBecomeStepsAndPhases)
{
    SyncedProcessor s;
    const auto position = [&] { return std::make_pair(s.engine().playStep, s.processor->hostStepPhase); };
    s.blockAt(4.0, true);
    EXPECT_EQ(s.engine().running, 1);
    EXPECT_EQ(position(), std::make_pair(0, 0.0));
    s.blockAt(4.125, true);
    EXPECT_EQ(position(), std::make_pair(0, 0.5));
    EXPECT_NEAR(s.engine().stepPhase, 0.5 + 1.0 / kSamplesPerStep, 1e-9);
    s.blockAt(4.25, true);
    EXPECT_EQ(position(), std::make_pair(1, 0.0));
    EXPECT_EQ(s.processor->blocksSincePhaseWrap, 1); // reset to 0 by the wrap, then counted
    EXPECT_DOUBLE_EQ(s.processor->lastHostTicks, 4.25 * 15360.0);

    // A count-in before the song start stays inside the last step of the bar before.
    s.blockAt(-0.3, true, 64);
    s.blockAt(-0.2, true, 64);
    EXPECT_EQ(s.engine().playStep, 15);
    EXPECT_GE(s.processor->hostStepPhase, 0.0);
    EXPECT_LT(s.processor->hostStepPhase, 1.0);
}

TEST(HostSync, TripletPatternScalesTicks)
{
    SyncedProcessor s;
    const auto position = [&] { return std::make_pair(s.engine().playStep, s.processor->hostStepPhase); };
    s.engine().patterns[0].setLength(12);
    s.engine().patterns[0].setTriplet(1);
    s.blockAt(0.0, true);
    s.blockAt(4.0, true); // t = 46080: step 12 mod 12 = 0, phase 0
    EXPECT_EQ(position(), std::make_pair(0, 0.0));
    s.blockAt(4.0 + 1.0 / 6.0, true); // half a triplet step (5120 host ticks) later
    EXPECT_EQ(s.engine().playStep, 0);
    EXPECT_NEAR(s.processor->hostStepPhase, 0.5, 1e-9);
    s.blockAt(5.0, true); // one quarter holds three triplet steps
    EXPECT_EQ(position(), std::make_pair(3, 0.0));
}

TEST(HostSync, PhaseWithinToleranceKeepsTheEngineClock)
{
    for (const double offset : {0.0009, 0.0011})
    {
        SCOPED_TRACE(offset);
        SyncedProcessor s;
        s.blockAt(4.0, true, 64);
        s.blockAt(4.0 + 0.1 / 4.0, true, 64); // phase 0.1: resynchronised
        const double ownPhase = s.engine().stepPhase;
        s.blockAt(4.0 + (ownPhase + offset) / 4.0, true, 1);
        const double advanced = ownPhase + 1.0 / kSamplesPerStep;
        EXPECT_NEAR(s.engine().stepPhase, offset < 0.001 ? advanced : advanced + offset, 1e-7);
    }
}

TEST(HostSync, StopOrVanishingPositionStopsTheSequencer)
{
    SyncedProcessor stopped;
    stopped.blockAt(0.0, true, 512);
    ASSERT_EQ(stopped.engine().running, 1);
    stopped.blockAt(0.0, false, 512); // stopped where it was: the stop itself ends the run
    EXPECT_EQ(stopped.engine().running, 0);
    EXPECT_EQ(stopped.engine().gate, 0);
    EXPECT_EQ(stopped.processor->hostWasPlaying, 0);

    SyncedProcessor vanished;
    vanished.blockAt(0.0, true, 512);
    vanished.head.available = false;
    render(*vanished.processor, 512);
    EXPECT_EQ(vanished.engine().running, 0);
    EXPECT_EQ(vanished.processor->lastPosInfo.bpm, 120.0); // reset to defaults
}

TEST(HostSync, MovingTheStoppedTransportStopsANoteStartedPattern)
{
    SyncedProcessor s;
    s.head.ppq = 2.0;
    auto midi = noteOnAt(3, 0);
    render(*s.processor, 512, midi);
    s.blockAt(2.0, false, 512); // host stopped and not moved: keeps running
    s.blockAt(2.0, false, 512);
    EXPECT_EQ(s.engine().running, 1);
    s.blockAt(6.0, false, 512); // the user moved the stopped transport
    EXPECT_EQ(s.engine().running, 0);
}

// Tempo and transport are read only in pattern mode with sync on.
TEST(HostSync, TransportIsReadOnlyInSyncedPatternMode)
{
    const struct
    {
        int syncMode;
        int midiMode;
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
        EXPECT_EQ(s.engine().hostPlaying, c.follows ? 1 : 0);
        if (c.follows || c.midiMode == oxn3::kNoteMode)
        {
            EXPECT_DOUBLE_EQ(s.processor->hostBpm, c.follows ? 90.0 : 120.0);
            EXPECT_DOUBLE_EQ(s.engine().bpm, c.follows ? 90.0 : 120.0);
            EXPECT_DOUBLE_EQ(s.processor->lastPosInfo.ppqPosition, c.follows ? 4.0 : 0.0);
        }
    }
}

// A host that starts playing in the middle of a pattern is heard at its own step from the first
// block on: the start's reset to step 0 must not win over the host position.
TEST(HostSync, StartingMidPatternPlaysTheHostStepInTheFirstBlock)
{
    for (const double startPpq : {4.25, 4.3}) // step 1, at phase 0 and 0.2
    {
        SCOPED_TRACE(startPpq);
        SyncedProcessor s;
        s.processor->MidiOutput = 1;
        s.engine().patterns[0].steps[0] = step_t{0, step_t::kGate}; // sounds as note 36
        s.engine().patterns[0].steps[1] = step_t{7, step_t::kGate}; // sounds as note 43
        s.head.ppq = startPpq;
        s.head.playing = true;
        juce::MidiBuffer out;
        render(*s.processor, 64, out);
        EXPECT_EQ(s.engine().playStep, 1);
        EXPECT_EQ(s.engine().gate, 1);
        int sentNote = -1;
        for (const auto event : out)
            if (event.getMessage().isNoteOn())
                sentNote = event.getMessage().getNoteNumber();
        EXPECT_EQ(sentNote, 43);
    }
}
