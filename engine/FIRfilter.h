#pragma once

// History of one FIR filter. The engine keeps five; the second one's history is the
// decimator's delay line. Held by value, so creating the engine is the only allocation.
struct FIRfilter
{
    static constexpr int kHistorySize = 256;

    int length = 33;
    double history[kHistorySize] = {};

    void clear()
    {
        for (double& h : history)
            h = 0.0;
    }
};
