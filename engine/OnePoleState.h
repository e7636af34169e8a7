#pragma once

namespace oxn3
{
// Offsets that keep each kind of recursive state out of the denormal range.
constexpr double kVoiceStateOffset = 1e-5;
constexpr double kClickStateOffset = 1e-8;
constexpr double kSmootherOffset = 1e-15;
} // namespace oxn3

// One recursive low-pass state of the voice. The offset is added to every input and
// flips sign after each update, so the state never settles into denormal numbers.
struct OnePoleState
{
    double value = 0.0;
    double offset = oxn3::kVoiceStateOffset;

    inline double step(double input, double k)
    {
        value += (input + offset - value) * k;
        offset = -offset;
        return value;
    }

    void reset(double v = 0.0)
    {
        value = v;
        offset = oxn3::kVoiceStateOffset;
    }
};
