#pragma once
// The filter as both engines run it over a block: the ladders twice per output sample at the
// same c and r, then the half-band decimator (at once in the reference, for a whole run of
// samples in the render: decimateRun). The render takes each ladder run in two halves, so a
// sample's ladders come in four pieces (runPiece 0 to 3) with other work between them.
// The per-sample reference goes through vcf303 (literal arithmetic, the engine's fields) and the
// shift-register decimator, a whole run per even piece; the render through the closed-form
// ladders in lanes (LadderLanes.h), kept in the filter for the block, and the ring decimator.

#include "engine/HalfBandDecimator.h"
#include "engine/LadderLanes.h"
#include "engine/MemoizedMath.h"
#include "engine/Synth303.h"
#include "engine/Synth303Filter.h"
#include "engine/VoiceFrame.h"

namespace oxn3
{
constexpr int kLadderPieces = 4; // two runs, two halves each

template <bool kPerSampleReference>
class OversampledFilter;

template <>
class OversampledFilter<true>
{
public:
    explicit OversampledFilter(const Synth303&) {}

    // Piece 0: the first run; piece 2: the second run and the decimated output sample.
    template <bool kClassic>
    void runPiece(Synth303& s, VoiceFrame& frame, const FilterRates& rates, int piece)
    {
        const FilterInput& f = frame.filter;
        if (piece == 0)
        {
            if (f.restPoles)
                for (int i = 0; i < 4; ++i)
                {
                    s.ladderA[i].value = 0.0;
                    s.ladderB[i].value = 0.0;
                }
            frame.filtered = f.bypassed ? f.in : s.vcf303(f.in, f.c, f.r, rates.q);
        }
        else if (piece == 2 && !f.bypassed)
        {
            const float second = s.vcf303(f.in, f.c, f.r, rates.q);
            frame.filtered = decimateShiftRegister(s.firDelayLine, frame.filtered, second);
        }
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

    // The ladders' results go to frame.taps (the coefficients from ladderCoefficientsOfRun);
    // decimateRun mixes and decimates the run's samples afterwards. Only the classic engine
    // bypasses the filter or starts the ladders from rest.
    template <bool kClassic>
    void runPiece(Synth303&, VoiceFrame& frame, const FilterRates&, int piece)
    {
        const FilterInput& f = frame.filter;
        if constexpr (kClassic)
        {
            if (f.bypassed)
            {
                frame.filtered = f.in;
                return;
            }
            if (piece == 0 && f.restPoles)
                for (Lanes& pole : ladders.pole)
                    pole = bothLanes(0.0);
        }
        constexpr LadderArithmetic kFast = LadderArithmetic::Fast;
        switch (piece)
        {
        case 0: half = ladderFirstHalf<kFast>(ladders, ladders.offset, f.in, frame.ladder); break;
        case 1: ladderSecondHalf<kFast>(ladders, ladders.offset, half, frame.ladder, frame.taps, 0); break;
        case 2: half = ladderFirstHalf<kFast>(ladders, secondOffsets, f.in, frame.ladder); break;
        default: ladderSecondHalf<kFast>(ladders, secondOffsets, half, frame.ladder, frame.taps, 1); break;
        }
    }

    // The filtered samples of a run (awake, not bypassed) from their two ladder results.
    void decimateRun(Synth303& s, VoiceFrame* frames, int n)
    {
        VoiceFrame* frame[HalfBandDecimator::kMaxRun];
        float first[HalfBandDecimator::kMaxRun];
        float second[HalfBandDecimator::kMaxRun];
        float out[HalfBandDecimator::kMaxRun];
        int count = 0;
        for (int j = 0; j < n; ++j)
            if (frames[j].awake && !frames[j].filter.bypassed)
            {
                frame[count] = frames + j;
                ladderOutputs(s.filterGainSmoother, frames[j].ladder.mix, frames[j].taps, first[count],
                              second[count]);
                ++count;
            }
        s.decimator.processRun(first, second, out, count);
        for (int i = 0; i < count; ++i)
            frame[i]->filtered = out[i];
    }

    // After the block: the ladders back into the engine.
    void finish(Synth303& s) const
    {
        ladders.store(s);
    }

private:
    LadderLanes ladders;
    Lanes secondOffsets[4];
    Lanes half = bothLanes(0.0); // the second pole's output between a run's two halves
};
} // namespace oxn3
