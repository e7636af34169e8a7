#pragma once
// The two ladders of one filter run side by side in the two lanes of an SSE2 register: ladder A
// in the low lane, ladder B in the high lane. The ladders are independent chains with the same
// pole update, and each lane does exactly the double operations of runLadders, so the results
// are the same bit for bit; only the clip between the first three poles is lane A's alone, lane
// B takes the float-rounded pole output there. The render keeps the ladders in this form for a
// whole block; vcf303 (and with it the per-sample reference) keeps the scalar form.

#include <emmintrin.h>

#include <cmath>

#include "engine/OnePoleState.h"
#include "engine/Synth303.h"
#include "engine/Synth303Filter.h"

namespace oxn3
{
using Lanes = __m128d; // {ladder A, ladder B}; GCC and clang give it the arithmetic operators

inline Lanes lanes(double a, double b)
{
    return _mm_set_pd(b, a);
}

inline Lanes bothLanes(double x)
{
    return _mm_set1_pd(x);
}

inline double laneA(Lanes x)
{
    return _mm_cvtsd_f64(x);
}

inline double laneB(Lanes x)
{
    return _mm_cvtsd_f64(_mm_unpackhi_pd(x, x));
}

// Lane A from `a`, lane B from `b`.
inline Lanes laneAFromBFrom(Lanes a, Lanes b)
{
    return _mm_move_sd(b, a);
}

// Each lane rounded to float and back, as static_cast<float> does to a double.
inline Lanes roundedToFloat(Lanes x)
{
    return _mm_cvtps_pd(_mm_cvtpd_ps(x));
}

// The state of both ladders over a block: poles {A[i], B[i]}, the float-rounded feedback
// {ladderAFeedback, ladderBFeedback}, and the pole offsets of the first run of an output sample;
// the second run adds their negation. Each pole steps twice per output sample, so the offsets
// stored in the engine are the same after every sample and need no writing back.
struct LadderLanes
{
    Lanes pole[4];
    Lanes offset[4];
    Lanes feedback;

    static LadderLanes load(const Synth303& s)
    {
        LadderLanes l;
        for (int i = 0; i < 4; ++i)
        {
            l.pole[i] = lanes(s.ladderA[i].value, s.ladderB[i].value);
            l.offset[i] = lanes(s.ladderA[i].offset, s.ladderB[i].offset);
        }
        l.feedback = lanes(s.ladderAFeedback, s.ladderBFeedback);
        return l;
    }

    void store(Synth303& s) const
    {
        for (int i = 0; i < 4; ++i)
        {
            _mm_storel_pd(&s.ladderA[i].value, pole[i]);
            _mm_storeh_pd(&s.ladderB[i].value, pole[i]);
        }
        s.ladderAFeedback = static_cast<float>(laneA(feedback));
        s.ladderBFeedback = static_cast<float>(laneB(feedback));
    }
};

// What both ladder runs of an output sample read of its coefficients, prepared once for the
// sample: the lanes' coefficients, each broadcast where it is used (as cheap as a load), and the
// output's factors. R, K, the trim and g serve only the literal arithmetic.
struct LaneCoefficients
{
    double R;
    double K;
    double feedbackTrim; // 1 + 0.05 ResoTrim: only ladder A trims its feedback
    double g;
    double rk4Gain;
    double rk4Keep;
    double feedbackGain[2]; // {R K trim, R K}
    LadderOutputMix mix;

    static LaneCoefficients of(const LadderCoefficients& k)
    {
        return {k.R,       k.K,       k.feedbackTrim, k.g, k.rk4Gain, k.rk4Keep, {k.feedbackGainA, k.feedbackGainB},
                LadderOutputMix::of(k)};
    }
};

// The pole update of poleStep on both lanes.
template <LadderArithmetic kArithmetic>
inline Lanes poleStepLanes(Lanes& pole, Lanes input, Lanes offset, const LaneCoefficients& k)
{
    const Lanes u = input + offset;
    const Lanes y = pole;
    if constexpr (kArithmetic == LadderArithmetic::Literal)
    {
        const Lanes half = bothLanes(0.5);
        const Lanes g = bothLanes(k.g);
        const Lanes k1 = (u - y) * g;
        const Lanes k2 = (u - (y + k1 * half)) * g;
        const Lanes k3 = (u - (y + k2 * half)) * g;
        const Lanes k4 = (u - (y + k3)) * g;
        const Lanes two = bothLanes(2.0);
        pole = y + (k1 + two * k2 + two * k3 + k4) / bothLanes(6.0);
    }
    else
    {
        const Lanes gain = bothLanes(k.rk4Gain);
        pole = input * gain + (y * bothLanes(k.rk4Keep) + offset * gain);
    }
    return pole;
}

// Lane A: saturatedStage of its pole output; lane B: its pole output rounded to float.
template <LadderArithmetic kArithmetic>
inline Lanes saturatedStageLaneA(Lanes poleOutputs)
{
    const Lanes rounded = roundedToFloat(poleOutputs);
    if (__builtin_expect(std::fabs(laneA(rounded)) > kClipHardAbove, 0)) // lane A in the hard part: rare
        return laneAFromBFrom(bothLanes(saturatedStage<kArithmetic>(laneA(poleOutputs))), rounded);
    const Lanes c27 = bothLanes(27.0);
    Lanes clipped;
    if constexpr (kArithmetic == LadderArithmetic::Literal)
    {
        const Lanes v = rounded * bothLanes(kStageDrive);
        const Lanes v2 = v * v;
        clipped = v * (v2 + c27) / (bothLanes(9.0) * v2 + c27) / bothLanes(kStageDrive);
    }
    else
    {
        const Lanes x2 = rounded * rounded;
        clipped = rounded / (bothLanes(kClipDenominatorSlope) * x2 + c27) * (bothLanes(kClipNumeratorSlope) * x2 + c27);
    }
    return laneAFromBFrom(clipped, rounded);
}

// What the outputs of an output sample's two ladder runs are mixed from, run 0 in the low lane
// and run 1 in the high lane: the last two poles of A, A's fed-back value and the third pole of B.
struct LadderTaps
{
    double a4[2];
    double a3[2];
    double b3[2];
    double a4f[2];
};

// One run of both ladders (runLadders) on the block's state, in two halves so that the render
// can put other work between them: the input and the first two poles, then from the second
// pole's output to the poles the output mixes, into lane `run` of `taps`. `offset` holds the
// first or the second run's offsets.
template <LadderArithmetic kArithmetic>
inline Lanes ladderFirstHalf(LadderLanes& l, const Lanes* offset, float in, const LaneCoefficients& kl)
{
    const Lanes u = roundedToFloat(kArithmetic == LadderArithmetic::Literal
                              ? bothLanes(in) - l.feedback * bothLanes(kl.R) * bothLanes(kl.K) *
                                                    lanes(kl.feedbackTrim, 1.0)
                              : bothLanes(in) - l.feedback * _mm_loadu_pd(kl.feedbackGain));
    const Lanes y1 = poleStepLanes<kArithmetic>(l.pole[0], u, offset[0], kl);
    return poleStepLanes<kArithmetic>(l.pole[1], saturatedStageLaneA<kArithmetic>(y1), offset[1], kl);
}

template <LadderArithmetic kArithmetic>
inline void ladderSecondHalf(LadderLanes& l, const Lanes* offset, Lanes y2, const LaneCoefficients& kl,
                             LadderTaps& taps, int run)
{
    const Lanes y3 = poleStepLanes<kArithmetic>(l.pole[2], saturatedStageLaneA<kArithmetic>(y2), offset[2], kl);
    const Lanes y4 = poleStepLanes<kArithmetic>(l.pole[3], roundedToFloat(y3), offset[3], kl);
    l.feedback = roundedToFloat(y4);
    _mm_storel_pd(&taps.a4[run], y4);
    _mm_storel_pd(&taps.a3[run], y3);
    _mm_storeh_pd(&taps.b3[run], y3);
    _mm_storel_pd(&taps.a4f[run], l.feedback);
}

// The filtered samples of both runs (ladderOutput), each lane doing its run's arithmetic; the
// gain smoother steps for run 0, then run 1.
inline void ladderOutputs(OnePoleState& gainSmoother, const LadderOutputMix& m, const LadderTaps& t, float& first,
                          float& second)
{
    const double gain0 = gainSmoother.step(m.gainTarget, m.gainSmoothing);
    const double gain1 = gainSmoother.step(m.gainTarget, m.gainSmoothing);
    const Lanes a4 = _mm_loadu_pd(t.a4);
    const Lanes a3 = _mm_loadu_pd(t.a3);
    const Lanes mix = bothLanes(m.r2) * (bothLanes(m.c) * (bothLanes(0.75) * a4 + bothLanes(0.25) * a3) +
                                         bothLanes(m.oneMinusC) * _mm_loadu_pd(t.a4f)) +
                      bothLanes(m.oneMinusR2) * _mm_loadu_pd(t.b3);
    const __m128 out = _mm_cvtpd_ps(bothLanes(m.boost) * mix * lanes(gain0, gain1));
    first = _mm_cvtss_f32(out);
    second = _mm_cvtss_f32(_mm_shuffle_ps(out, out, 1));
}

// One run of both ladders: the filtered sample (the tests' check of the lanes against vcf303).
template <LadderArithmetic kArithmetic>
inline float runLadderLanes(LadderLanes& l, OnePoleState& gainSmoother, const Lanes* offset, float in,
                            const LaneCoefficients& kl)
{
    LadderTaps taps;
    ladderSecondHalf<kArithmetic>(l, offset, ladderFirstHalf<kArithmetic>(l, offset, in, kl), kl, taps, 0);
    return ladderOutput(gainSmoother, kl.mix, taps.a4[0], taps.a3[0], static_cast<float>(taps.a4f[0]), taps.b3[0]);
}
} // namespace oxn3
