#pragma once

#include <cmath>

// Vibrato LFO whose depth fades in after each note trigger.
struct LFODelay
{
    double sampleRate = 44100.0;
    double phase = 0.0;
    double frequency = 10.0;
    double amplitude = 0.0;
    double fadeRate = 1e-5;
    double phaseStep = 10.0 / 44100.0; // frequency / sampleRate, kept by whoever sets either

    void setRate(double newSampleRate, double newFrequency)
    {
        sampleRate = newSampleRate;
        frequency = newFrequency;
        phaseStep = frequency / sampleRate;
    }

    // A trigger restarts the fade-in; the phase runs on.
    void restartFade() { amplitude = 0.0; }

    inline double step()
    {
        amplitude += (1.0 - amplitude) * fadeRate;
        phase += phaseStep;
        if (phase >= 1.0)
            phase -= 1.0;
        return std::sin(6.28318530717958 * phase) * amplitude;
    }
};
