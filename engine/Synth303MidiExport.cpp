// The current pattern as a Standard MIDI File, holding what the sequencer plays: a non-sliding
// note lasts half a step, slides hold the notes on until half a step into the next step that does
// not slide (a rest too), and the accent of a slide chain carries like the sound's latched accent.
#include "engine/Synth303.h"
#include "patterns/MidiTrack.h"

namespace
{
constexpr uint32_t kHalfStepTicks = 12;        // a step is a sixteenth: 24 ticks at 96 per quarter
constexpr uint32_t kTripletHalfStepTicks = 16; // three steps per beat
constexpr int kBaseNote = 36;                  // pitch 0 without octave flags
constexpr int kOctave = 12;
constexpr int kMaxVelocity = 127;

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

int stepNote(const step_t& step)
{
    int note = step.pitch + kBaseNote;
    if (step.has(step_t::kDown))
        note -= kOctave;
    if (step.has(step_t::kUp))
        note += kOctave;
    return clampInt(note, 0, oxn3::kNumMidiNotes - 1);
}

struct MidiExportState
{
    MidiTrack& track;
    uint32_t half;
    uint32_t time = 0;
    uint32_t previousEventTime = 0;
    int held[oxn3::kNumMidiNotes] = {}; // velocity of each sounding note
    int lastNote = -1;
    bool carry = false;         // accent of the chain so far
    bool previousSlide = false;

    MidiExportState(MidiTrack& t, uint32_t halfStep) : track(t), half(halfStep) {}

    void noteOn(uint32_t at, int note, int velocity)
    {
        track.addEvent(at - previousEventTime, MidiTrack::kNoteOn, static_cast<uint32_t>(note),
                       static_cast<uint32_t>(velocity));
        previousEventTime = at;
    }

    void noteOff(uint32_t at, int note)
    {
        track.addEvent(at - previousEventTime, MidiTrack::kNoteOff, static_cast<uint32_t>(note),
                       static_cast<uint32_t>(held[note]));
        previousEventTime = at;
        held[note] = 0;
    }

    void releaseAll(uint32_t at)
    {
        for (int k = 0; k < oxn3::kNumMidiNotes; ++k)
        {
            if (held[k] == 0)
                continue;
            noteOff(at, k);
            lastNote = -1;
        }
    }
};

void exportGatedStep(MidiExportState& s, const step_t& step, bool carried, int plainVelocity)
{
    const bool accented = carried || step.has(step_t::kAccent);
    const int velocity = accented ? kMaxVelocity : plainVelocity;
    s.carry = accented;
    const int note = stepNote(step);
    if (note != s.lastNote)
    {
        // A slide chain back to a key that still sounds strikes it anew: its earlier note ends first.
        if (s.held[note] != 0)
            s.noteOff(s.time, note);
        s.noteOn(s.time, note, velocity);
        s.lastNote = note;
    }
    s.held[note] = velocity;
    if (!step.has(step_t::kSlide))
        s.releaseAll(s.time + s.half);
    s.time += 2 * s.half;
    s.previousSlide = step.has(step_t::kSlide);
}
} // namespace

bool Synth303::exportMidiPattern(const char* path)
{
    const Vst303Pattern& pattern = activePattern();
    const uint32_t half = pattern.getTriplet() ? kTripletHalfStepTicks : kHalfStepTicks;
    // A velocity of 0 would be a note-off and the note would never be released.
    const int plainVelocity = clampInt(accentVelocityThreshold - 1, 1, kMaxVelocity);

    MidiTrack track;
    MidiExportState s(track, half);
    const int count = pattern.getStepCount();
    for (int i = 0; i < count; ++i)
    {
        const step_t& step = pattern.steps[i];
        const bool carried = s.previousSlide && s.carry;
        if (step.has(step_t::kGate))
        {
            exportGatedStep(s, step, carried, plainVelocity);
            continue;
        }
        // A rest ends the notes a slide held on, and with them the slide and its accent; its own
        // slide flag slides nothing.
        s.releaseAll(s.time + half);
        s.time += 2 * half;
        s.carry = false;
        s.previousSlide = false;
    }
    s.releaseAll(s.time);
    // A host loops the clip by its length: the trailing rests belong to it.
    track.endOfTrackDelta = s.time - s.previousEventTime;
    return track.writeTrack(path) == 1;
}
