#pragma once

#include <cstdint>

// A mono sample buffer with the audio-to-pattern detection. A plain record: whoever fills it
// sets the fields directly and calls release() when `ownsData` is set.
//
// Ranges are (start, len); (-1, -1) means the whole buffer. Indices outside 0..size-1 read as 0.
struct WaveBuffer
{
    static constexpr int kWholeBuffer = -1;

    float* data = nullptr;
    int32_t size = 0;
    int32_t sampleRate = 44100; // turns periods into frequencies
    bool ownsData = false;

    // A new array of n floats (zeroed); `size` is not changed. Leaves `data` null when the memory
    // cannot be had.
    void allocate(unsigned long n);
    void release();

    float find_min(int start, int len) const; // 1e8 for an empty range
    float find_max(int start, int len) const; // -1e8 for an empty range
    float maxabs(int start, int len) const;   // -1e8 for an empty range

    // Scales the loudest sample to magnitude 1; a silent buffer stays as it is.
    void normalize();

    // Cuts the buffer into `steps` equal steps and fills entries 0..steps-1 of the four arrays with
    // the MIDI note, gate, accent and slide heard in each.
    void audioAnalyze(int* notes, int* gates, int* accents, int* slides, int steps) const;
};
