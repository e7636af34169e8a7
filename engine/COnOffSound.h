#pragma once

#include "engine/OnePoleState.h"

// The click a 303's VCA makes when the volume is switched on or off: a pulse of
// `length` samples through four one-pole stages, scaled by `gain`.
struct COnOffSound
{
    double offset = oxn3::kClickStateOffset;
    double sampleRate = 44100.0;
    double stage[4] = {0.0, 0.0, 0.0, 0.0};
    double coefficient[4] = {0.001, 0.0005, 0.00035, 0.0001};
    double counter = 0.0;
    double length = 100.0;
    float gain = 1.0f;
    int armed = 0;

    // Restarts the pulse; `lengthInSamples` 500 for the on-click, 50 for the off-click.
    void trigger(double lengthInSamples, float pulseGain);

    inline float process()
    {
        return step(counter < length ? 1.0 : 0.0);
    }

    // process() once the pulse is over (counter at or past length), as until the next trigger.
    inline float processAfterPulse()
    {
        return step(0.0);
    }

    inline float step(double pulse)
    {
        stage[0] += (pulse - stage[0] + offset) * coefficient[0];
        const float a = static_cast<float>(stage[0]);
        stage[1] += (a - stage[1] + offset) * coefficient[1];
        const float b = static_cast<float>(a - stage[1]);
        stage[2] += (b - stage[2] + offset) * coefficient[2];
        const float c = static_cast<float>(b - stage[2]);
        stage[3] += (c - stage[3] + offset) * coefficient[3];
        counter += 1.0;
        offset = -offset;
        return static_cast<float>(stage[3]) * gain;
    }
};
