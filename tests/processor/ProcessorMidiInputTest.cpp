// MIDI input: the pattern-mode key stack, pattern lock, host-driven mode, note mode with legato
// slides, velocity-0 note-ons, the sustain pedal and the controllers that stop everything.
#include <tuple>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using namespace oxn3test;

namespace
{
constexpr int kSamplesPerStep = 5513; // a little more than one step at 120 BPM and 44.1 kHz

void runSteps(JuceDemoPluginAudioProcessor& processor, int steps)
{
    for (int i = 0; i < steps; ++i)
        render(processor, kSamplesPerStep);
}
} // namespace

// Each check reads (current pattern, running, play step).
TEST(MidiInput, PatternKeysWorkLikeAStackUnlessLocked)
{
    auto processor = makeProcessor();
    const Synth303& e = *processor->synth;
    const auto sequencer = [&] { return std::make_tuple(e.currentPattern, e.running, e.playStep); };
    send(*processor, on(60));
    runSteps(*processor, 3);
    EXPECT_EQ(sequencer(), std::make_tuple(60, 1, 3));
    send(*processor, on(62)); // 60 still held: selects 62 and restarts
    EXPECT_EQ(sequencer(), std::make_tuple(62, 1, 0));
    runSteps(*processor, 2);
    send(*processor, off(62)); // back to 60 without a restart
    EXPECT_EQ(sequencer(), std::make_tuple(60, 1, 2));
    send(*processor, off(60));
    EXPECT_EQ(e.running, 0);
    EXPECT_EQ(e.gate, 0);

    processor->PatternLock = 1;
    processor->synth->currentPattern = 9;
    send(*processor, on(60));
    send(*processor, on(64));
    send(*processor, off(64));
    EXPECT_EQ(sequencer(), std::make_tuple(9, 1, 0));
    send(*processor, off(60));
    EXPECT_EQ(sequencer(), std::make_tuple(9, 0, 0));
}

TEST(MidiInput, NoteModeSlidesBetweenHeldKeys)
{
    auto processor = makeProcessor();
    processor->MidiMode = oxn3::kNoteMode;
    const Synth303& e = *processor->synth;
    const auto voice = [&] { return std::make_tuple(e.lastNote, e.gate, e.slideActive); };
    send(*processor, on(48, 90)); // C: a new note
    EXPECT_EQ(voice(), std::make_tuple(48, 1, 0));
    EXPECT_EQ(e.running, 0); // note mode never starts the sequencer
    send(*processor, on(52, 110)); // E while C is held: slides
    EXPECT_EQ(voice(), std::make_tuple(52, 1, 1));
    send(*processor, off(52)); // back to C with C's own velocity
    EXPECT_EQ(voice(), std::make_tuple(48, 1, 1));
    EXPECT_EQ(e.lastVelocity, 90);
    send(*processor, off(48));
    EXPECT_EQ(e.gate, 0);
}

TEST(MidiInput, VelocityZeroNoteOnIsANoteOff)
{
    const auto keyState = [](JuceDemoPluginAudioProcessor& p) {
        const Synth303& e = *p.synth;
        return std::make_tuple(e.currentPattern, e.running, e.playStep, p.heldVelocity[60], e.gate, e.lastNote,
                               e.slideActive);
    };
    for (const int mode : {oxn3::kPatternMode, oxn3::kNoteMode})
    {
        SCOPED_TRACE(mode);
        auto released = makeProcessor();
        auto zeroed = makeProcessor();
        for (auto* p : {released.get(), zeroed.get()})
        {
            p->MidiMode = mode;
            send(*p, on(60));
            send(*p, on(64));
            runSteps(*p, 1);
        }
        for (int note : {64, 60})
        {
            send(*released, off(note));
            send(*zeroed, on(note, 0));
            EXPECT_EQ(keyState(*released), keyState(*zeroed)) << note;
        }
        EXPECT_EQ(zeroed->synth->gate, 0);
    }
}

TEST(MidiInput, SustainPedalRecordsStepsFromKeys)
{
    auto processor = makeProcessor();
    Synth303& engine = *processor->synth;
    engine.currentPattern = 3;
    engine.editStep = 5;
    send(*processor, controller(64, 127));
    EXPECT_EQ(engine.stepRecord, 1);
    EXPECT_EQ(engine.editStep, 0); // recording starts at step 0

    send(*processor, on(40)); // recorded, not a pattern select
    send(*processor, off(40));
    EXPECT_EQ(std::make_tuple(engine.currentPattern, engine.running, engine.editStep), std::make_tuple(3, 0, 1));
    EXPECT_EQ(engine.patterns[3].steps[0].pitch, 4);
    EXPECT_TRUE(engine.patterns[3].steps[0].has(step_t::kGate));

    send(*processor, controller(64, 63));
    EXPECT_EQ(engine.stepRecord, 0);
    send(*processor, on(40));
    EXPECT_EQ(engine.currentPattern, 40); // keys select patterns again
}

// While the host plays, keys only change the pattern; 120 and 123 stop even that and cannot be learnt.
TEST(MidiInput, HostDrivenModeAndTheControllersThatStopEverything)
{
    for (const int stopper : {120, 123})
    {
        SCOPED_TRACE(stopper);
        auto processor = makeProcessor();
        TestPlayHead head;
        head.playing = true;
        head.ppq = 0.5; // step 2
        processor->setPlayHead(&head);
        render(*processor, 64);
        send(*processor, on(40));
        EXPECT_EQ(processor->synth->currentPattern, 40);
        EXPECT_EQ(processor->synth->playStep, 2); // no restart from step 0
        send(*processor, off(40));
        EXPECT_EQ(processor->synth->running, 1); // releasing every key does not stop

        processor->midiLearnActive = 1;
        processor->touchedParameter = 5;
        send(*processor, controller(stopper, 0));
        EXPECT_EQ(processor->synth->running, 0);
        EXPECT_EQ(processor->synth->gate, 0);
        send(*processor, controller(64, 127));
        for (int cc = 0; cc < 128; ++cc)
            EXPECT_EQ(processor->midiCCMap[cc], -1) << cc;
        processor->setPlayHead(nullptr);
    }
}
