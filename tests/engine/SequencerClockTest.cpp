#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/EngineTestHelpers.h"

namespace
{
constexpr int kSamplesPerStep120 = 5513; // 5512.5 rounded up: the phase wraps on the 5513th sample
constexpr uint8_t kGate = step_t::kGate;

// A running engine at 120 BPM and 44.1 kHz playing pattern 0 set to `length` steps.
std::unique_ptr<Synth303> runningSynth(int length = 16)
{
    auto synth = makeSynth();
    synth->patterns[0].setLength(length);
    synth->setTempo(120.0);
    synth->setRunStop(1);
    return synth;
}

float expectedFrequency(int note, double base = 2.0)
{
    return std::pow(static_cast<float>(base), (static_cast<float>(note) + 3.0f) / 12.0f) * 6.875f;
}
} // namespace

TEST(SequencerTiming, StepAndGateAt120Bpm)
{
    auto synth = runningSynth();
    EXPECT_DOUBLE_EQ(synth->samplesPerStep, 5512.5);

    const ClockTrace trace = runClock(*synth, 3 * kSamplesPerStep120);
    ASSERT_GE(trace.starts.size(), 3u);
    EXPECT_EQ(trace.starts[0], 0); // the first sample after a start plays step 0
    EXPECT_EQ(trace.starts[1] - trace.starts[0], kSamplesPerStep120);
    ASSERT_FALSE(trace.gateCloses.empty());
    // Open for 2811 samples, closed on the 2812th (phase first above 0.51).
    EXPECT_EQ(trace.gateCloses[0] - trace.starts[0], 2811);
    EXPECT_EQ(trace.triggers[0], 0);
    EXPECT_EQ(trace.startSteps[0], 0);
    EXPECT_EQ(trace.startSteps[1], 1);
}

TEST(SequencerTiming, StepsAverageTheExactDuration)
{
    auto synth = runningSynth();
    const ClockTrace straight = runClock(*synth, 41 * kSamplesPerStep120);
    ASSERT_GE(straight.starts.size(), 41u);
    EXPECT_NEAR((straight.starts[40] - straight.starts[0]) / 40.0, 5512.5, 0.05);

    auto triplet = runningSynth();
    triplet->patterns[0].setTriplet(1);
    const ClockTrace trace = runClock(*triplet, 31 * 7351);
    ASSERT_GE(trace.starts.size(), 31u);
    EXPECT_NEAR(trace.starts[1] - trace.starts[0], 7350, 1);
    EXPECT_NEAR((trace.starts[30] - trace.starts[0]) / 30.0, 7350.0, 0.05);
    EXPECT_DOUBLE_EQ(triplet->speedFactor, 0.75);
}

TEST(SequencerTiming, LengthOneRestartsStepZero)
{
    auto synth = runningSynth(1);
    const ClockTrace trace = runClock(*synth, 4 * kSamplesPerStep120 - 10);
    ASSERT_EQ(trace.starts.size(), 4u);
    for (size_t i = 0; i < trace.starts.size(); ++i)
        EXPECT_EQ(trace.startSteps[i], 0);
    EXPECT_EQ(trace.triggers.size(), 4u);
    EXPECT_EQ(synth->playStep, 0);
}

TEST(SequencerTiming, ZeroOrInvalidTempoAllButStopsTheClock)
{
    auto synth = runningSynth();
    synth->setTempo(0.0);
    EXPECT_DOUBLE_EQ(synth->bpm, 1e-6);
    EXPECT_TRUE(std::isfinite(synth->samplesPerStep));
    synth->setTempo(-50.0);
    EXPECT_DOUBLE_EQ(synth->bpm, 1e-6);
    synth->setTempo(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(synth->bpm, 1e-6);
    EXPECT_TRUE(std::isfinite(synth->samplesPerStep));

    const ClockTrace trace = runClock(*synth, 100000);
    EXPECT_EQ(trace.starts.size(), 1u);
    EXPECT_TRUE(std::isfinite(synth->stepPhase));
    EXPECT_EQ(synth->gate, 1);
}

TEST(SequencerTiming, TiesLengthenTheNoteButNotTheGate)
{
    auto synth = runningSynth(4);
    Vst303Pattern& p = synth->patterns[0];
    p.steps[0] = makeStep(0, kGate);
    p.steps[1] = makeStep(0, step_t::kTie);
    p.steps[2] = makeStep(2, kGate);
    p.steps[3] = makeStep(3, kGate);

    const ClockTrace trace = runClock(*synth, 11025 + 2 * kSamplesPerStep120);
    ASSERT_GE(trace.starts.size(), 3u);
    EXPECT_EQ(trace.starts[1], 11025); // two steps' worth of phase
    EXPECT_EQ(trace.startSteps[1], 1); // the tied step is then visited in turn
    EXPECT_EQ(trace.startSteps[2], 2);
    EXPECT_EQ(trace.gateCloses[0], 2811);
    // The tied step itself neither triggers nor opens the gate.
    EXPECT_EQ(trace.triggers[1], trace.starts[2]);
}

TEST(SequencerPitch, FrequencyFormulaAndTuning)
{
    auto synth = runningSynth();
    synth->patterns[0].steps[0] = makeStep(33, kGate);
    runClock(*synth, 1);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, 440.0f);

    synth = runningSynth();
    synth->TuningTrim = 1.0;
    synth->patterns[0].steps[0] = makeStep(33, kGate | step_t::kDown);
    runClock(*synth, 1);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, expectedFrequency(57, 2.5));

    synth = runningSynth();
    synth->TuningMode = 1;
    synth->tuning = 0.0f;
    synth->patterns[0].steps[0] = makeStep(0, kGate | step_t::kUp);
    runClock(*synth, 1);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, expectedFrequency(48, 1.5));
}

TEST(SequencerPitch, NotesOutsideTheMidiOutRange)
{
    auto synth = runningSynth();
    synth->patterns[0].steps[0] = makeStep(91, kGate);  // note 127
    synth->patterns[0].steps[1] = makeStep(-40, kGate); // note -4
    synth->patterns[0].steps[2] = makeStep(90, kGate);  // note 126, the highest sent

    runClock(*synth, 1);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, expectedFrequency(127));
    EXPECT_EQ(soundingMidiNotes(*synth), 0);

    runUntilStepStart(*synth);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, expectedFrequency(0));
    EXPECT_EQ(soundingMidiNotes(*synth), 0);

    runUntilStepStart(*synth);
    EXPECT_EQ(synth->midiOutNotes[126], 99);
}

TEST(SequencerMidiOut, GateOffClearsNotesAndStoppingKeepsThem)
{
    auto synth = runningSynth();
    runClock(*synth, 1);
    EXPECT_EQ(synth->midiOutNotes[36], 99);
    runClock(*synth, 2811);
    EXPECT_EQ(soundingMidiNotes(*synth), 0);

    runUntilStepStart(*synth);
    EXPECT_EQ(synth->midiOutNotes[36], 99);
    synth->setRunStop(0);
    EXPECT_EQ(synth->gate, 0);
    EXPECT_EQ(synth->midiOutNotes[36], 99);
}

TEST(SequencerSlide, LegatoKeepsTheGateAndBothMidiNotes)
{
    auto synth = runningSynth(4);
    Vst303Pattern& p = synth->patterns[0];
    p.steps[0] = makeStep(0, kGate | step_t::kSlide);
    p.steps[1] = makeStep(12, kGate);
    p.steps[2] = makeStep(5, kGate);

    ClockTrace trace = runClock(*synth, kSamplesPerStep120);
    EXPECT_EQ(trace.triggers.size(), 1u);
    EXPECT_TRUE(trace.gateCloses.empty()); // a sliding step holds the gate
    EXPECT_EQ(synth->gate, 1);

    trace = runClock(*synth, 1); // step 1 starts
    EXPECT_TRUE(trace.triggers.empty());
    EXPECT_EQ(synth->slideActive, 1);
    EXPECT_EQ(synth->gate, 1);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, expectedFrequency(48));
    EXPECT_EQ(synth->midiOutNotes[36], 99);
    EXPECT_EQ(synth->midiOutNotes[48], 99);

    trace = runClock(*synth, 2811);
    ASSERT_EQ(trace.gateCloses.size(), 1u);
    EXPECT_EQ(soundingMidiNotes(*synth), 0);

    trace = runClock(*synth, 3000); // step 2 is a new note again
    EXPECT_EQ(trace.triggers.size(), 1u);
}

TEST(SequencerSlide, AccentCarriedThroughASlideChain)
{
    auto synth = runningSynth(4);
    Vst303Pattern& p = synth->patterns[0];
    p.steps[0] = makeStep(0, kGate | step_t::kSlide | step_t::kAccent);
    p.steps[1] = makeStep(2, kGate | step_t::kSlide);
    p.steps[2] = makeStep(4, kGate);
    p.steps[3] = makeStep(7, kGate);

    runClock(*synth, 1);
    EXPECT_EQ(synth->midiOutNotes[36], 127);
    runUntilStepStart(*synth);
    EXPECT_EQ(synth->latchedAccent, 1);
    EXPECT_EQ(synth->stepAccent, 0);
    EXPECT_EQ(synth->midiOutNotes[38], 127);
    runUntilStepStart(*synth);
    EXPECT_EQ(synth->midiOutNotes[40], 127);
    runUntilStepStart(*synth); // the chain has ended
    EXPECT_EQ(synth->latchedAccent, 0);
    EXPECT_EQ(synth->midiOutNotes[43], 99);
}

TEST(SequencerSlide, SlideOnARestHasNoEffect)
{
    auto synth = runningSynth(3);
    Vst303Pattern& p = synth->patterns[0];
    p.steps[0] = makeStep(0, kGate);
    p.steps[1] = makeStep(0, step_t::kSlide);
    p.steps[2] = makeStep(3, kGate);

    const ClockTrace trace = runClock(*synth, 3 * kSamplesPerStep120 - 10);
    ASSERT_EQ(trace.starts.size(), 3u);
    ASSERT_EQ(trace.triggers.size(), 2u);
    EXPECT_EQ(trace.triggers[1], trace.starts[2]);
    EXPECT_EQ(trace.gateCloses.size(), 2u);
}

TEST(SequencerPatternChange, NewPatternTakesOverAtTheNextStep)
{
    auto synth = runningSynth(16);
    Vst303Pattern& other = synth->patterns[1];
    other.setLength(8);
    for (int i = 0; i < 16; ++i)
    {
        synth->patterns[0].steps[i] = makeStep(i, kGate);
        other.steps[i] = makeStep(20 + i, kGate);
    }

    for (int i = 0; i < 4; ++i)
        runUntilStepStart(*synth); // step 3 playing
    runClock(*synth, 100);
    synth->currentPattern = 1;
    runClock(*synth, 100);
    EXPECT_FLOAT_EQ(synth->vcoFrequency, expectedFrequency(36 + 3)); // the old note completes

    const ClockTrace trace = runClock(*synth, 5 * kSamplesPerStep120);
    ASSERT_GE(trace.startSteps.size(), 5u);
    EXPECT_EQ(trace.startSteps[0], 4); // the new pattern's step 4, not step 0
    EXPECT_EQ(trace.startSteps[3], 7);
    EXPECT_EQ(trace.startSteps[4], 0); // wrapped at the new length
}

TEST(SequencerPatternChange, ShorterPatternWrapsFromBeyondItsLength)
{
    auto synth = runningSynth(16);
    synth->patterns[1].setLength(8);
    for (int i = 0; i < 11; ++i)
        runUntilStepStart(*synth); // step 10 playing
    synth->currentPattern = 1;
    const ClockTrace trace = runClock(*synth, kSamplesPerStep120);
    ASSERT_EQ(trace.startSteps.size(), 1u);
    EXPECT_EQ(trace.startSteps[0], 0);
}

TEST(SequencerRobustness, DamagedPositionAndHeaderStayInsideTheRecord)
{
    auto synth = runningSynth();
    synth->patterns[0].header = 127; // a length no record holds
    synth->playStep = 100;
    synth->swingIndex = -7;
    const ClockTrace trace = runClock(*synth, 70 * kSamplesPerStep120);
    EXPECT_GE(trace.starts.size(), 70u);
    for (int step : trace.startSteps)
        EXPECT_LT(step, Vst303Pattern::kMaxSteps);

    synth->currentPattern = 5000;
    runClock(*synth, kSamplesPerStep120);
    EXPECT_LT(synth->playStep, Vst303Pattern::kMaxSteps);
}

TEST(SequencerRunStop, StartAndStopResetThePositionOnce)
{
    auto synth = makeSynth();
    synth->playStep = 5;
    synth->stepPhase = 0.3;
    synth->swingIndex = 1;
    synth->gate = 1;
    synth->stepSlide = 1;
    synth->slideActive = 1;
    synth->stepGate = 1;
    synth->gateEnvelope = 0.7;
    synth->sleepCounter = 400;
    synth->stepSampleCounter = 77;

    synth->setRunStop(1);
    EXPECT_EQ(synth->running, 1);
    EXPECT_EQ(synth->runRequest, 1);
    EXPECT_EQ(synth->playStep, 0);
    EXPECT_EQ(synth->stepSampleCounter, 0);
    EXPECT_EQ(synth->stepPhase, 0.0);
    EXPECT_EQ(synth->swingIndex, 0);
    EXPECT_EQ(synth->gate, 0);
    EXPECT_EQ(synth->stepSlide, 0);
    EXPECT_EQ(synth->slideActive, 0);
    EXPECT_EQ(synth->stepGate, 0);
    EXPECT_EQ(synth->gateEnvelope, 0.0);
    EXPECT_EQ(synth->sleepCounter, 0);

    runClock(*synth, 1000);
    const int step = synth->playStep;
    const double phase = synth->stepPhase;
    synth->setRunStop(1); // already running: nothing changes
    EXPECT_EQ(synth->playStep, step);
    EXPECT_EQ(synth->stepPhase, phase);
    EXPECT_EQ(synth->gate, 1);

    synth->setRunStop(0);
    EXPECT_EQ(synth->running, 0);
    EXPECT_EQ(synth->runRequest, 0);
    EXPECT_EQ(synth->stepPhase, 0.0);
    EXPECT_EQ(synth->gate, 0);

    // Stopped: the clock does not move.
    const ClockTrace trace = runClock(*synth, 10000);
    EXPECT_TRUE(trace.starts.empty());
    EXPECT_EQ(synth->stepPhase, 0.0);
}

TEST(SequencerEditNote, CursorIsClampedToThePattern)
{
    auto synth = makeSynth();
    synth->setEditNote(-5);
    EXPECT_EQ(synth->editStep, 0);
    synth->setEditNote(99);
    EXPECT_EQ(synth->editStep, 15);
    synth->setEditNote(7);
    EXPECT_EQ(synth->editStep, 7);

    synth->patterns[0].header = 0; // damaged length
    synth->setEditNote(3);
    EXPECT_EQ(synth->editStep, 0);
}
