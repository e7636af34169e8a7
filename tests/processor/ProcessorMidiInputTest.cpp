// MIDI input: the pattern-mode key stack, pattern lock, host-driven mode, note mode with legato
// slides, velocity-0 note-ons, the sustain pedal and the controllers that stop everything.
#include <cstring>

#include <gtest/gtest.h>

#include "ProcessorTestHelpers.h"

using oxn3test::makeProcessor;
using oxn3test::render;
using oxn3test::TestPlayHead;

namespace
{
constexpr int kSamplesPerStep = 5513; // a little more than one step at 120 BPM and 44.1 kHz

juce::MidiMessage on(int note, int velocity = 100)
{
    return juce::MidiMessage::noteOn(1, note, static_cast<juce::uint8>(velocity));
}

juce::MidiMessage off(int note)
{
    return juce::MidiMessage::noteOff(1, note);
}

juce::MidiMessage controller(int number, int value)
{
    return juce::MidiMessage::controllerEvent(1, number, value);
}

// Plays `message` at the start of a one-sample block, the way the host hands it over.
void send(JuceDemoPluginAudioProcessor& processor, const juce::MidiMessage& message)
{
    juce::MidiBuffer midi;
    midi.addEvent(message, 0);
    render(processor, 1, midi);
}

void runSteps(JuceDemoPluginAudioProcessor& processor, int steps)
{
    for (int i = 0; i < steps; ++i)
        render(processor, kSamplesPerStep);
}

// What a note-off (or its stand-in) leaves behind in the processor and the engine.
struct KeyState
{
    int currentPattern;
    int running;
    int playStep;
    int heldVelocity60;
    int gate;
    int lastNote;
    int slideActive;

    bool operator==(const KeyState& o) const
    {
        return currentPattern == o.currentPattern && running == o.running && playStep == o.playStep
               && heldVelocity60 == o.heldVelocity60 && gate == o.gate && lastNote == o.lastNote
               && slideActive == o.slideActive;
    }
};

KeyState stateOf(JuceDemoPluginAudioProcessor& p)
{
    return {p.synth->currentPattern, p.synth->running, p.synth->playStep, p.heldVelocity[60],
            p.synth->gate,           p.synth->lastNote, p.synth->slideActive};
}
} // namespace

TEST(MidiInput, PatternKeysWorkLikeAStack)
{
    auto processor = makeProcessor();
    Synth303& engine = *processor->synth;

    send(*processor, on(60));
    EXPECT_EQ(engine.currentPattern, 60);
    EXPECT_EQ(engine.running, 1);
    EXPECT_EQ(engine.playStep, 0);
    runSteps(*processor, 3);
    EXPECT_EQ(engine.playStep, 3);

    send(*processor, on(62)); // 60 still held: selects 62 and restarts
    EXPECT_EQ(engine.currentPattern, 62);
    EXPECT_EQ(engine.playStep, 0);
    runSteps(*processor, 2);
    EXPECT_EQ(engine.playStep, 2);

    send(*processor, off(62)); // back to 60 without a restart
    EXPECT_EQ(engine.currentPattern, 60);
    EXPECT_EQ(engine.playStep, 2);
    EXPECT_EQ(engine.running, 1);

    send(*processor, off(60));
    EXPECT_EQ(engine.running, 0);
    EXPECT_EQ(engine.gate, 0);
}

TEST(MidiInput, PatternLockKeepsThePattern)
{
    auto processor = makeProcessor();
    processor->PatternLock = 1;
    processor->synth->currentPattern = 9;
    send(*processor, on(60));
    EXPECT_EQ(processor->synth->running, 1);
    send(*processor, on(64));
    send(*processor, off(64));
    EXPECT_EQ(processor->synth->currentPattern, 9);
    send(*processor, off(60));
    EXPECT_EQ(processor->synth->running, 0);
    EXPECT_EQ(processor->synth->currentPattern, 9);
}

TEST(MidiInput, WhileTheHostPlaysKeysOnlyChangeThePattern)
{
    auto processor = makeProcessor();
    TestPlayHead head;
    head.playing = true;
    processor->setPlayHead(&head);
    head.ppq = 0.5; // step 2
    render(*processor, 64);
    ASSERT_EQ(processor->synth->hostPlaying, 1);
    ASSERT_EQ(processor->synth->playStep, 2);

    send(*processor, on(40));
    EXPECT_EQ(processor->synth->currentPattern, 40);
    EXPECT_EQ(processor->synth->playStep, 2); // no restart from step 0
    send(*processor, off(40));
    EXPECT_EQ(processor->synth->running, 1); // releasing every key does not stop
    processor->setPlayHead(nullptr);
}

TEST(MidiInput, NoteModeSlidesBetweenHeldKeys)
{
    auto processor = makeProcessor();
    processor->MidiMode = oxn3::kNoteMode;
    Synth303& engine = *processor->synth;

    send(*processor, on(48, 90)); // C: a new note
    EXPECT_EQ(engine.lastNote, 48);
    EXPECT_EQ(engine.gate, 1);
    EXPECT_EQ(engine.slideActive, 0);
    EXPECT_EQ(engine.running, 0); // note mode never starts the sequencer

    send(*processor, on(52, 110)); // E while C is held: slides
    EXPECT_EQ(engine.lastNote, 52);
    EXPECT_EQ(engine.slideActive, 1);

    send(*processor, off(52)); // back to C with C's own velocity
    EXPECT_EQ(engine.lastNote, 48);
    EXPECT_EQ(engine.lastVelocity, 90);
    EXPECT_EQ(engine.slideActive, 1);
    EXPECT_EQ(engine.gate, 1);

    send(*processor, off(48));
    EXPECT_EQ(engine.gate, 0);
    EXPECT_EQ(engine.keyHeld, 0);
}

TEST(MidiInput, VelocityZeroNoteOnIsANoteOff)
{
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
        send(*released, off(64));
        send(*zeroed, on(64, 0));
        EXPECT_TRUE(stateOf(*released) == stateOf(*zeroed));
        send(*released, off(60));
        send(*zeroed, on(60, 0));
        EXPECT_TRUE(stateOf(*released) == stateOf(*zeroed));
        EXPECT_EQ(zeroed->synth->gate, 0);
    }
}

TEST(MidiInput, OtherMidiModesIgnoreKeys)
{
    auto processor = makeProcessor();
    processor->MidiMode = 2;
    send(*processor, on(60));
    EXPECT_EQ(processor->synth->running, 0);
    EXPECT_EQ(processor->synth->currentPattern, 0);
    EXPECT_EQ(processor->synth->gate, 0);
    EXPECT_EQ(processor->midiActivity, 100 - 1); // still blinks
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

    send(*processor, on(40, 100)); // recorded, not a pattern select
    send(*processor, off(40));
    EXPECT_EQ(engine.currentPattern, 3);
    EXPECT_EQ(engine.running, 0);
    EXPECT_EQ(engine.patterns[3].steps[0].pitch, 4);
    EXPECT_TRUE(engine.patterns[3].steps[0].has(step_t::kGate));
    EXPECT_EQ(engine.editStep, 1);

    send(*processor, controller(64, 63));
    EXPECT_EQ(engine.stepRecord, 0);
    send(*processor, on(40));
    EXPECT_EQ(engine.currentPattern, 40); // keys select patterns again
}

TEST(MidiInput, StepRecordValuesOtherThanOneSwallowKeys)
{
    auto processor = makeProcessor();
    processor->synth->stepRecord = 2;
    const Vst303Pattern before = processor->synth->patterns[0];
    send(*processor, on(40));
    EXPECT_EQ(processor->synth->running, 0);
    EXPECT_EQ(std::memcmp(&before, &processor->synth->patterns[0], sizeof(before)), 0);
}

TEST(MidiInput, ControllersThatStopEverythingCannotBeLearned)
{
    for (const int stopper : {120, 123})
    {
        SCOPED_TRACE(stopper);
        auto processor = makeProcessor();
        TestPlayHead head;
        head.playing = true;
        processor->setPlayHead(&head);
        render(*processor, 64);
        ASSERT_EQ(processor->synth->running, 1);

        processor->midiLearnActive = 1;
        processor->touchedParameter = 5;
        send(*processor, controller(stopper, 0)); // stops even the host-driven sequencer
        EXPECT_EQ(processor->synth->running, 0);
        EXPECT_EQ(processor->synth->gate, 0);
        send(*processor, controller(64, 127));
        for (int cc = 0; cc < 128; ++cc)
            EXPECT_EQ(processor->midiCCMap[cc], -1) << cc;
        processor->setPlayHead(nullptr);
    }
}

TEST(MidiInput, PitchWheelAndIgnoredMessages)
{
    auto processor = makeProcessor();
    send(*processor, juce::MidiMessage::pitchWheel(1, 1000));
    EXPECT_EQ(processor->synth->pitchBend, 1000);

    send(*processor, juce::MidiMessage::aftertouchChange(1, 60, 90));
    send(*processor, juce::MidiMessage::programChange(1, 7));
    send(*processor, juce::MidiMessage::channelPressureChange(1, 50));
    EXPECT_EQ(processor->synth->running, 0);
    EXPECT_EQ(processor->synth->currentPattern, 0);
    EXPECT_EQ(processor->synth->pitchBend, 1000);
    EXPECT_EQ(processor->lastMidiNote, 50); // data byte 1 of whatever came last
}

TEST(MidiInput, AllChannelsAreAccepted)
{
    auto processor = makeProcessor();
    send(*processor, juce::MidiMessage::noteOn(16, 33, juce::uint8{100}));
    EXPECT_EQ(processor->synth->currentPattern, 33);
    EXPECT_EQ(processor->synth->running, 1);
}
