#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

// One note event of a track; `delta` counts ticks since the previous event.
struct MidiTrackEvent
{
    uint32_t delta = 0;
    uint32_t type = 0;    // MidiTrack::kNoteOn or kNoteOff
    uint32_t channel = 0;
    uint32_t note = 0;
    uint32_t velocity = 0;
};

// A single-track Standard MIDI File (format 0) under construction.
class MidiTrack
{
public:
    static constexpr uint32_t kCapacity = 1024;
    static constexpr uint32_t kTicksPerQuarter = 96;
    static constexpr uint32_t kNoteOn = 9;
    static constexpr uint32_t kNoteOff = 8;

    MidiTrack();
    virtual ~MidiTrack();
    MidiTrack(const MidiTrack&) = delete;
    MidiTrack& operator=(const MidiTrack&) = delete;

    // Appends an event; false (and nothing stored) once all kCapacity slots are used.
    bool addEvent(uint32_t delta, uint32_t type, uint32_t note, uint32_t velocity);

    // Writes the file: header, the events without running status, End of Track.
    // Returns 1, or 0 when the file cannot be created or a write fails.
    int writeTrack(const char* path) const;

    std::unique_ptr<MidiTrackEvent[]> events;
    uint32_t count = 0;
    uint32_t division = kTicksPerQuarter;
    uint32_t endOfTrackDelta = 0; // ticks from the last event to the track's end
};

// The MIDI variable-length quantity: 7-bit groups, most significant first, bit 7 set on all
// bytes but the last.
void fputvar_m(unsigned value, FILE* out);
