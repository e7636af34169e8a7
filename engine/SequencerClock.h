#pragma once
// The sequencer clock's work of every output sample (Synth303::RunSequencerRE), inline so the
// render takes it without a call: the step's duration from its swing and speed, the phase within
// the step, the next step when the phase passes the note's length, the gate closing halfway.
// Starting a step is rare and stays out of line (startSequencerStep).

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/Synth303.h"

namespace oxn3
{
constexpr double kGateClosePhase = 0.51; // share of a step after which a non-sliding gate closes

// Reads step `playStep` of the current pattern and sets the voice from it.
void startSequencerStep(Synth303& synth);

inline void clearMidiOutNotes(Synth303& synth)
{
    std::fill(std::begin(synth.midiOutNotes), std::end(synth.midiOutNotes), 0);
    synth.midiOutNotesSounding = 0;
}

// Timing factor of the current step from the swing tables (all 1.0: straight timing).
inline double swingFactor(Synth303& synth, bool triplet)
{
    if (synth.swingIndex < 0) synth.swingIndex = 0;
    double factor = 0.0;
    if (triplet)
    {
        factor = synth.swingTriplet[synth.swingIndex % 3];
        if (synth.swingIndex >= 3) synth.swingIndex -= 3;
    }
    else
    {
        factor = synth.swingStraight[synth.swingIndex % 2];
        if (synth.swingIndex >= 2) synth.swingIndex -= 2;
    }
    return factor;
}

// 1 / duration of a step in samples, divided out again only when one of its factors changes.
inline double stepIncrement(Synth303& synth, double swing)
{
    const double factors[3] = {synth.samplesPerStep, swing, synth.speedFactor};
    if (std::memcmp(factors, synth.stepIncrementFactors, sizeof(factors)) != 0)
    {
        std::memcpy(synth.stepIncrementFactors, factors, sizeof(factors));
        synth.stepIncrement = 1.0 / (synth.samplesPerStep * swing / synth.speedFactor);
    }
    return synth.stepIncrement;
}

// What the clock reads every sample but what changes only when a step starts: the speed, the
// triplet flag, the step increment, the note's length and the pattern's length. Taken afresh
// after each step start and at the start of each render call; valid stays false until then.
// While `advancing`, a sample only advances the clock: the sequencer runs, the run is valid and
// no step starts (the step sample counter, at least 1, reaches 0 again only when a step ends).
// Meanwhile the counter is kept as its value when advancing began plus the samples since; only
// a step's end and the end of the block (finish) write it back.
struct ClockRun
{
    bool valid = false;
    bool advancing = false;
    bool triplet = false;
    double speedFactor = 1.0;
    double increment = 0.0;
    double noteLength = 1.0;
    int stepCount = 0;
    // Past this phase the gate may close. Once it has (or a slide keeps it open), nothing but a
    // step start opens it again, so the check rests for the rest of the step.
    double gateClosePhase = kGateClosePhase;
    int counterBefore = 0; // stepSampleCounter when advancing began
    int advanced = 0;      // samples since

    int counter() const
    {
        return static_cast<int>(std::min<long long>(INT_MAX, static_cast<long long>(counterBefore) + advanced));
    }

    void finish(Synth303& synth) const
    {
        if (advancing) synth.stepSampleCounter = counter();
    }
};

inline void closeGateAfterHalfStep(Synth303& synth)
{
    if (synth.stepSlide || synth.stepPhase <= kGateClosePhase) return;
    synth.gate = 0;
    if (synth.midiOutNotesSounding) clearMidiOutNotes(synth);
}

inline void closeGateAfterHalfStep(Synth303& synth, ClockRun& run)
{
    if (synth.stepPhase <= run.gateClosePhase) return;
    closeGateAfterHalfStep(synth);
    run.gateClosePhase = HUGE_VAL;
}

inline void takeClockRun(Synth303& synth, ClockRun& run)
{
    const Vst303Pattern& pattern = synth.activePattern();
    run.triplet = pattern.getTriplet() != 0;
    run.speedFactor = run.triplet ? 1.0 * synth.tripletFactor : 1.0;
    synth.speedFactor = run.speedFactor;
    run.stepCount = pattern.getStepCount();
    run.noteLength = static_cast<double>(synth.noteLength);
    if (synth.running) run.increment = stepIncrement(synth, swingFactor(synth, run.triplet));
    run.gateClosePhase = kGateClosePhase;
    run.valid = true;
}

// The phase passed the note's length: the next sample starts a step.
inline void endStep(Synth303& synth, ClockRun& run)
{
    synth.stepPhase -= run.noteLength;
    synth.stepSampleCounter = 0;
    run.advancing = false;
    // The step index moves by one even when the note covered several (tied) steps.
    synth.playStep = (synth.playStep + 1 < run.stepCount) ? synth.playStep + 1 : 0;
}

// A sample that does more than advance the clock: the sequencer stopped, a step start, a run to
// take, or a counter below 0. Afterwards the clock may only advance until the step ends.
template <class StepStarted>
inline void clockSample(Synth303& synth, ClockRun& run, StepStarted&& stepStarted)
{
    if (!synth.running)
    {
        // However the sequencer was stopped (pages and menus also clear `running` directly), it
        // holds no notes, so the note-offs go out with this block.
        if (synth.midiOutNotesSounding) clearMidiOutNotes(synth);
        if (!run.valid) takeClockRun(synth, run);
        return;
    }
    if (synth.stepSampleCounter == 0)
    {
        startSequencerStep(synth);
        stepStarted();
        run.valid = false;
    }
    if (!run.valid) takeClockRun(synth, run);

    synth.stepPhase += run.increment;
    // At the slowest tempos a step lasts longer than the counter can count; it only has to stay non-zero.
    if (synth.stepSampleCounter < INT_MAX) ++synth.stepSampleCounter;
    if (synth.stepPhase >= run.noteLength)
        endStep(synth, run);
    else if (synth.stepSampleCounter > 0)
    {
        run.advancing = true;
        run.counterBefore = synth.stepSampleCounter;
        run.advanced = 0;
    }
    closeGateAfterHalfStep(synth, run);
}

// Only takeClockRun sets the speed factor, so it holds between the runs it takes. `stepStarted`
// is called right after a step starts.
template <class StepStarted>
inline void runSequencerClock(Synth303& synth, ClockRun& run, StepStarted&& stepStarted)
{
    if (!run.advancing)
    {
        clockSample(synth, run, stepStarted);
        return;
    }
    synth.stepPhase += run.increment;
    ++run.advanced;
    if (synth.stepPhase >= run.noteLength)
        endStep(synth, run);
    closeGateAfterHalfStep(synth, run);
}

inline void runSequencerClock(Synth303& synth)
{
    ClockRun run;
    runSequencerClock(synth, run, [] {});
    run.finish(synth);
}
} // namespace oxn3
