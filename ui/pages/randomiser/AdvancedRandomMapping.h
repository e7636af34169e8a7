#pragma once

#include <cmath>
#include <cstdint>
#include <deque>

#include "patterns/AdvancedRandom.h"

// How the randomiser page's controls stand for its settings. A density slider reads 100 % at
// its top (value 0); the root knob spreads C..B over 0..1.
namespace oxn3
{
constexpr float kPercentScale = 100.0f;
constexpr float kHighestRootKnob = 11.0f;

inline int densityFromSlider(float v)
{
    return static_cast<int>(kPercentScale - v * kPercentScale);
}

// The nearest float to a density's point can lie a hair above it, which would read back one
// percent lower and drift the setting on the next click; step down until it reads back.
inline float sliderFromDensity(int density)
{
    constexpr int kMaxSteps = 8;
    float v = static_cast<float>(100 - density) / kPercentScale;
    for (int i = 0; i < kMaxSteps && v > 0.0f && densityFromSlider(v) < density; ++i)
        v = std::nextafter(v, 0.0f);
    return v;
}

inline int rootFromKnob(float v)
{
    return static_cast<int>(v * kHighestRootKnob);
}

inline float knobFromRoot(int root)
{
    return static_cast<float>(root) / kHighestRootKnob;
}

inline int flagFromControl(float v)
{
    return v > 0.0f ? 1 : 0;
}

inline float controlFromFlag(int flag)
{
    return flag > 0 ? 1.0f : 0.0f;
}

// "Next Seed": the seed it replaces goes to the back of the history.
inline void pushNextSeed(AdvancedRandom_t& settings, std::deque<int>& history, int newSeed)
{
    history.push_back(settings.seed);
    settings.seed = newSeed;
}

// "Prev Seed": back to the seed most recently replaced; nothing happens on an empty history.
inline void popPreviousSeed(AdvancedRandom_t& settings, std::deque<int>& history)
{
    if (history.empty())
        return;
    settings.seed = history.back();
    history.pop_back();
}
} // namespace oxn3
