// The step sequencer clock: one call of RunSequencerRE per output sample decides when a step
// starts, sets the voice's gate, trigger, accent, slide and pitch from that step, keeps the
// MIDI-out note array and closes the gate halfway through the step.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>

#include "engine/SequencerClock.h"
#include "engine/Synth303.h"

namespace
{
constexpr double kMinBpm = 1e-6; // setTempo(0) all but stops the clock instead of dividing by 0
constexpr double kSecondsPerMinute = 60.0;
constexpr double kStepsPerBeat = 4.0;    // a step is a sixteenth note

constexpr int kBaseNote = 36; // pitch 0 sounds as MIDI note 36
constexpr int kOctave = 12;
constexpr int kLowestNote = 0;
constexpr int kHighestNote = 127;
constexpr int kHighestSentNote = 126; // note 127 sounds but is never sent as MIDI
constexpr int kAccentedVelocity = 127;

// Sequenced pitch: f = base^((note + 3) / 12) * 6.875 Hz, so that with base 2 note 69 is 440 Hz.
constexpr float kNotesAboveLowA = 3.0f;
constexpr float kLowAFrequency = 6.875f;
constexpr float kTuningCentre = 0.5f;
constexpr float kOctaveRatio = 2.0f;

// Note number of a step with its octave flags applied; may lie outside 0..127.
int sequencedNote(const step_t& step)
{
    int note = step.pitch + kBaseNote;
    if (step.has(step_t::kDown)) note -= kOctave;
    if (step.has(step_t::kUp)) note += kOctave;
    return note;
}

// The octave ratio: the Tuning knob for a custom tuning, otherwise the tuning trim, which
// stretches the octave between 1.5 and 2.5.
float octaveBase(const Synth303& synth)
{
    if (synth.TuningMode) return (synth.tuning - kTuningCentre) + kOctaveRatio;
    return static_cast<float>((synth.TuningTrim - static_cast<double>(kTuningCentre)) +
                              static_cast<double>(kOctaveRatio));
}

float sequencedFrequency(const Synth303& synth, int note)
{
    const int clamped = std::clamp(note, kLowestNote, kHighestNote);
    const float exponent = (static_cast<float>(clamped) + kNotesAboveLowA) / static_cast<float>(kOctave);
    return std::pow(octaveBase(synth), exponent) * kLowAFrequency;
}


void sendMidiOutNote(Synth303& synth, int note)
{
    // A slide into the key that sounds already goes on with its note; any other step strikes anew,
    // also a key still held from earlier in the slide chain.
    const bool continues = synth.slideActive && note == synth.midiOutLastNote;
    synth.midiOutLastNote = note;
    if (note < kLowestNote || note > kHighestSentNote) return;
    if (!continues || synth.midiOutNotes[note] == 0) ++synth.midiOutStrikes[note];
    synth.midiOutNotes[note] = synth.latchedAccent ? kAccentedVelocity : synth.accentVelocityThreshold - 1;
    synth.midiOutNotesSounding = 1;
}

} // namespace

// Reads step `playStep` of the current pattern and sets the voice from it. The pattern index is
// read here, so a change of pattern takes effect at the next step start.
void oxn3::startSequencerStep(Synth303& synth)
{
    Vst303Pattern& pattern = synth.activePattern();
    // The host position may hand us any step index; the record has 64 steps.
    if (synth.playStep < 0 || synth.playStep >= Vst303Pattern::kMaxSteps) synth.playStep = 0;
    const step_t step = pattern.steps[synth.playStep];
    const bool gated = step.has(step_t::kGate);

    synth.slideActive = synth.stepSlide;
    if (gated)
    {
        synth.stepSlide = step.has(step_t::kSlide) ? 1 : 0;
        synth.stepGate = 1;
        synth.stepAccent = step.has(step_t::kAccent) ? 1 : 0;
        synth.latchedAccent = ((synth.slideActive && synth.latchedAccent) || synth.stepAccent) ? 1 : 0;
    }
    else
    {
        synth.stepSlide = 0;
        synth.stepGate = 0;
    }

    synth.noteLength = pattern.getNoteLength(synth.playStep);
    if (!synth.slideActive) synth.gate = gated ? 1 : 0;

    if (gated)
    {
        const int note = sequencedNote(step);
        synth.vcoFrequency = sequencedFrequency(synth, note);
        if (synth.gate) sendMidiOutNote(synth, note);
    }

    if (!gated && !step.has(step_t::kTie)) synth.noteLength = 1;

    if (synth.gate && !synth.slideActive)
    {
        synth.trigger = 1;
        if (synth.VCOPhaseReset) synth.vcoPhase = 0.0f;
    }
    ++synth.swingIndex;
}

namespace
{
void resetPosition(Synth303& synth)
{
    synth.playStep = 0;
    synth.stepSampleCounter = 0;
    synth.stepPhase = 0.0;
    synth.swingIndex = 0;
    synth.slideActive = 0;
    synth.stepSlide = 0;
    synth.gate = 0;
    synth.stepGate = 0;
    synth.gateEnvelope = 0.0;
    synth.sleepCounter = 0;
    oxn3::clearMidiOutNotes(synth); // a stop releases the notes sent; a start begins with none
}
} // namespace

void Synth303::setTempo(double newBpm)
{
    // The negated test also turns NaN into the slowest tempo.
    if (!(newBpm >= kMinBpm)) newBpm = kMinBpm;
    samplesPerStep = sampleRate / (newBpm / kSecondsPerMinute * kStepsPerBeat);
    bpm = newBpm;
}

void Synth303::setRunStop(int on)
{
    const int state = on ? 1 : 0;
    if (running != state) resetPosition(*this);
    running = state;
    runRequest = state;
}

void Synth303::setEditNote(int k)
{
    const int lastStep = std::max(activePattern().getStepCount(), 1) - 1;
    editStep = std::clamp(k, 0, lastStep);
}

void Synth303::RunSequencerRE()
{
    oxn3::runSequencerClock(*this);
}
