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

namespace oxn3
{
// How a render steps the states of its control part that step exactly once per awake sample.
// The per-sample reference: each state's own step.
struct OwnOffsetFlips
{
    double step(OnePoleState& state, double input, double k) const
    {
        return state.step(input, k);
    }

    // A step toward zero.
    double decay(OnePoleState& state, double k) const
    {
        return state.step(0.0, k);
    }

    void nextAwakeSample() {}

    template <class... States>
    void finish(States&...) const
    {
    }
};

// The render: such a state's offset at the n-th awake sample of a block is its offset at the
// block's start times (-1)^n. The states keep their block-start offsets through the block and
// step with them times one sign that flips once per awake sample (exact), instead of each
// loading, flipping and storing its own; `finish` writes the block's flips back.
struct BlockOffsetSign
{
    double sign = 1.0;

    double step(OnePoleState& state, double input, double k) const
    {
        state.value += (input + state.offset * sign - state.value) * k;
        return state.value;
    }

    // The offset is never zero, so adding a zero input to it changes no bit: left out.
    double decay(OnePoleState& state, double k) const
    {
        state.value += (state.offset * sign - state.value) * k;
        return state.value;
    }

    void nextAwakeSample()
    {
        sign = -sign;
    }

    template <class... States>
    void finish(States&... states) const
    {
        if (sign < 0.0)
            ((states.offset = -states.offset), ...);
    }
};
} // namespace oxn3
