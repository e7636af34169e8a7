#pragma once
// The filter as both engines run it over a block: the ladders twice per output sample at the
// same c and r (runFirst, then runSecond with the first result), then the half-band decimator
// (at once in the reference, for a whole run of samples in the render: decimateRun).
// The per-sample reference goes through vcf303 (literal arithmetic, the engine's fields) and the
// shift-register decimator; the render through the closed-form ladders in lanes (LadderLanes.h),
// kept in the filter for the block, and the ring decimator.

#include "engine/HalfBandDecimator.h"
#include "engine/LadderLanes.h"
#include "engine/MemoizedMath.h"
#include "engine/Synth303.h"
#include "engine/Synth303Filter.h"
#include "engine/VoiceFrame.h"

namespace oxn3
{
template <bool kPerSampleReference>
class OversampledFilter;

template <>
class OversampledFilter<true>
{
public:
    explicit OversampledFilter(const Synth303&) {}

    float runFirst(Synth303& s, const FilterInput& f, const LaneCoefficients&, const FilterRates& rates)
    {
        if (f.restPoles)
            for (int i = 0; i < 4; ++i)
            {
                s.ladderA[i].value = 0.0;
                s.ladderB[i].value = 0.0;
            }
        return f.bypassed ? f.in : s.vcf303(f.in, f.c, f.r, rates.q);
    }

    // The output sample, decimated at once (`second` is left alone).
    float runSecond(Synth303& s, const FilterInput& f, const LaneCoefficients&, const FilterRates& rates, float first,
                    float&)
    {
        if (f.bypassed)
            return first;
        const float second = s.vcf303(f.in, f.c, f.r, rates.q);
        return decimateShiftRegister(s.firDelayLine, first, second);
    }

    void decimateRun(Synth303&, VoiceFrame*, int) {}

    void finish(Synth303&) {}
};

template <>
class OversampledFilter<false>
{
public:
    explicit OversampledFilter(const Synth303& s) : ladders(LadderLanes::load(s))
    {
        for (int i = 0; i < 4; ++i)
            secondOffsets[i] = -ladders.offset[i];
    }

    // `coefficients` from ladderCoefficientsOfRun, for both runs of the sample.
    float runFirst(Synth303& s, const FilterInput& f, const LaneCoefficients& coefficients, const FilterRates&)
    {
        if (f.restPoles)
            for (Lanes& pole : ladders.pole)
                pole = bothLanes(0.0);
        if (f.bypassed)
            return f.in;
        return runLadderLanes<LadderArithmetic::Fast>(ladders, s.filterGainSmoother, ladders.offset, f.in,
                                                      coefficients);
    }

    // The second run's result goes to `second`; decimateRun takes the run's samples to the
    // output rate afterwards.
    float runSecond(Synth303& s, const FilterInput& f, const LaneCoefficients& coefficients, const FilterRates&,
                    float first, float& second)
    {
        if (!f.bypassed)
            second = runLadderLanes<LadderArithmetic::Fast>(ladders, s.filterGainSmoother, secondOffsets, f.in,
                                                            coefficients);
        return first;
    }

    // The filtered samples of a run (awake, not bypassed) from their two ladder results.
    void decimateRun(Synth303& s, VoiceFrame* frames, int n)
    {
        int frame[HalfBandDecimator::kMaxRun];
        float first[HalfBandDecimator::kMaxRun];
        float second[HalfBandDecimator::kMaxRun];
        float out[HalfBandDecimator::kMaxRun];
        int count = 0;
        for (int j = 0; j < n; ++j)
            if (frames[j].awake && !frames[j].filter.bypassed)
            {
                frame[count] = j;
                first[count] = frames[j].filtered;
                second[count++] = frames[j].second;
            }
        s.decimator.processRun(first, second, out, count);
        for (int i = 0; i < count; ++i)
            frames[frame[i]].filtered = out[i];
    }

    // After the block: the ladders back into the engine.
    void finish(Synth303& s) const
    {
        ladders.store(s);
    }

private:
    LadderLanes ladders;
    Lanes secondOffsets[4];
};
} // namespace oxn3
