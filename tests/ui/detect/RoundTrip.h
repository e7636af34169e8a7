#pragma once

#include <cstdint>

// Transcription quality measured end to end: random patterns rendered by the engine at the
// settings the analyser's help text asks for, transcribed back, compared step by step.
struct RoundTripSettings
{
    int sampleRate = 44100;
    int patterns = 50;
    bool withSlides = false;
    std::uint32_t seed = 303;
    double bpm = 80.0; // "low tempo": a step is long enough to show its slide
};

struct RoundTripCounts
{
    int steps = 0;       // all steps compared
    int gateRight = 0;
    int bothGated = 0;   // steps gated in the pattern and in the transcription
    int pitchRight = 0;  // of bothGated
    int accentRight = 0; // of bothGated
    int slideRight = 0;  // of bothGated
    int plainGated = 0;  // of bothGated: steps sent without accent
    int plainPitchRight = 0;

    double gateShare() const { return share(gateRight, steps); }
    double pitchShare() const { return share(pitchRight, bothGated); }
    double accentShare() const { return share(accentRight, bothGated); }
    double slideShare() const { return share(slideRight, bothGated); }
    double plainPitchShare() const { return share(plainPitchRight, plainGated); }
    double accentedPitchShare() const { return share(pitchRight - plainPitchRight, bothGated - plainGated); }
    static double share(int n, int of) { return of > 0 ? static_cast<double>(n) / of : 0.0; }
};

RoundTripCounts measureRoundTrip(const RoundTripSettings& settings);
