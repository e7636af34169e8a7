#include <gtest/gtest.h>

#include "RoundTrip.h"

// Patterns rendered by the engine at the help text's settings come back step for step, accented
// notes too: their decay reshapes each cycle and moves its zero crossings, but not its reset.
TEST(DetectRoundTrip, PatternsComeBackStepForStep)
{
    const struct
    {
        int rate;
        bool slides;
        double gate, pitch, plainPitch, accentedPitch, accent, slide;
    } cases[] = {
        {44100, false, 0.99, 0.98, 0.99, 0.97, 0.95, 0.99},
        {48000, false, 0.99, 0.98, 0.99, 0.97, 0.95, 0.99},
        {44100, true, 0.93, 0.97, 0.98, 0.95, 0.92, 0.98},
    };
    for (const auto& c : cases)
    {
        RoundTripSettings s;
        s.sampleRate = c.rate;
        s.withSlides = c.slides;
        const RoundTripCounts r = measureRoundTrip(s);
        const std::string name = std::to_string(c.rate) + (c.slides ? " Hz with slides" : " Hz");
        EXPECT_GE(r.gateShare(), c.gate) << name;
        EXPECT_GE(r.pitchShare(), c.pitch) << name;
        EXPECT_GE(r.plainPitchShare(), c.plainPitch) << name;
        EXPECT_GE(r.accentedPitchShare(), c.accentedPitch) << name;
        EXPECT_GE(r.accentShare(), c.accent) << name;
        EXPECT_GE(r.slideShare(), c.slide) << name;
    }
}
