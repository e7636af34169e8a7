#pragma once
// The two ladders of one filter run side by side in the two lanes of an SSE2 register: ladder A
// in the low lane, ladder B in the high lane. The ladders are independent chains with the same
// pole update, and each lane does exactly the double operations of runLadders, so the results
// are the same bit for bit; only the clip between the first three poles is lane A's alone, lane
// B takes the float-rounded pole output there. The render keeps the ladders in this form for a
// whole block; vcf303 (and with it the per-sample reference) keeps the scalar form.

#include <emmintrin.h>

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

// The same rounding by integer arithmetic on the bits: round to nearest even at bit 29 of the
// mantissa, with the carry running on into the exponent. For zeros and for magnitudes from the
// smallest normal float up to 2^127 that is exactly what the conversion does, in about half its
// latency, which counts on the ladders' chain. A lane outside that range sets its bits in
// `outOfRange`; the caller then repeats the work with the conversions.
struct QuickFloatRounding
{
    Lanes outOfRange = _mm_setzero_pd();

    static constexpr int kDroppedBits = 29; // double's 52 mantissa bits less float's 23

    Lanes operator()(Lanes x)
    {
        const __m128i bits = _mm_castpd_si128(x);
        const __m128i lowestKept = _mm_and_si128(_mm_srli_epi64(bits, kDroppedBits), _mm_set1_epi64x(1));
        const __m128i dropped = _mm_set1_epi64x((1ll << kDroppedBits) - 1);
        const __m128i halfBelow = _mm_set1_epi64x((1ll << (kDroppedBits - 1)) - 1);
        const __m128i rounded = _mm_andnot_si128(dropped, _mm_add_epi64(_mm_add_epi64(bits, halfBelow), lowestKept));
        const Lanes magnitude = _mm_andnot_pd(bothLanes(-0.0), x);
        const Lanes tooSmall = _mm_and_pd(_mm_cmplt_pd(magnitude, bothLanes(kSmallestNormalFloat)),
                                          _mm_cmpneq_pd(magnitude, _mm_setzero_pd()));
        const Lanes tooLarge = _mm_cmpnlt_pd(magnitude, bothLanes(kLargestQuickFloat)); // NaN too
        outOfRange = _mm_or_pd(outOfRange, _mm_or_pd(tooSmall, tooLarge));
        return _mm_castsi128_pd(rounded);
    }

    bool failed() const
    {
        return _mm_movemask_pd(outOfRange) != 0;
    }

    static constexpr double kSmallestNormalFloat = 1.1754943508222875e-38; // 2^-126
    static constexpr double kLargestQuickFloat = 1.7014118346046923e+38;   // 2^127
};

// Rounding by the conversions, for the repeated work.
struct ConvertingFloatRounding
{
    Lanes operator()(Lanes x) const
    {
        return roundedToFloat(x);
    }
};

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

// The coefficients of LadderCoefficients that the lanes use, broadcast once per output sample.
struct LaneCoefficients
{
    Lanes R;
    Lanes K;
    Lanes inputTrim; // {1 + 0.05 ResoTrim, 1}: only ladder A trims its feedback
    Lanes g;
    Lanes rk4Gain;

    static LaneCoefficients of(const LadderCoefficients& k)
    {
        return {bothLanes(k.R), bothLanes(k.K), lanes(k.feedbackTrim, 1.0), bothLanes(k.g), bothLanes(k.rk4Gain)};
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
        const Lanes k1 = (u - y) * k.g;
        const Lanes k2 = (u - (y + k1 * half)) * k.g;
        const Lanes k3 = (u - (y + k2 * half)) * k.g;
        const Lanes k4 = (u - (y + k3)) * k.g;
        const Lanes two = bothLanes(2.0);
        pole = y + (k1 + two * k2 + two * k3 + k4) / bothLanes(6.0);
    }
    else
        pole = y + (u - y) * k.rk4Gain;
    return pole;
}

// Lane A: saturatedStage of its pole output; lane B: its pole output rounded to float.
template <LadderArithmetic kArithmetic, class Rounding>
inline Lanes saturatedStageLaneA(Lanes poleOutputs, Rounding& round)
{
    const Lanes rounded = round(poleOutputs);
    const Lanes v = rounded * bothLanes(kStageDrive);
    const Lanes limit = bothLanes(3.0);
    const int outside = _mm_movemask_pd(_mm_or_pd(_mm_cmplt_pd(v, -limit), _mm_cmpgt_pd(v, limit)));
    if (outside & 1) // lane A in the hard part of the clip: rare
        return laneAFromBFrom(bothLanes(saturatedStage<kArithmetic>(laneA(poleOutputs))), rounded);
    const Lanes v2 = v * v;
    const Lanes c27 = bothLanes(27.0);
    Lanes clipped;
    if constexpr (kArithmetic == LadderArithmetic::Literal)
        clipped = v * (v2 + c27) / (bothLanes(9.0) * v2 + c27) / bothLanes(kStageDrive);
    else
        clipped = v * (v2 + c27) / ((bothLanes(9.0) * v2 + c27) * bothLanes(kStageDrive));
    return laneAFromBFrom(clipped, rounded);
}

// One run of both ladders (runLadders) on the block's state: the filtered sample. `offset` holds
// the first or the second run's offsets; `round` rounds lanes to float.
template <LadderArithmetic kArithmetic, class Rounding>
inline float runLadderLanes(LadderLanes& l, OnePoleState& gainSmoother, const Lanes* offset, float in,
                            const LadderCoefficients& k, const LaneCoefficients& kl, Rounding& round)
{
    const Lanes u = round(bothLanes(in) - l.feedback * kl.R * kl.K * kl.inputTrim);
    const Lanes y1 = poleStepLanes<kArithmetic>(l.pole[0], u, offset[0], kl);
    const Lanes y2 = poleStepLanes<kArithmetic>(l.pole[1], saturatedStageLaneA<kArithmetic>(y1, round), offset[1], kl);
    const Lanes y3 = poleStepLanes<kArithmetic>(l.pole[2], saturatedStageLaneA<kArithmetic>(y2, round), offset[2], kl);
    const Lanes y4 = poleStepLanes<kArithmetic>(l.pole[3], round(y3), offset[3], kl);
    l.feedback = round(y4);
    return ladderOutput(gainSmoother, k, laneA(y4), laneA(y3), static_cast<float>(laneA(l.feedback)), laneB(y3));
}
} // namespace oxn3
