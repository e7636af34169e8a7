#pragma once
// What the render derives from the smoothed knobs (and from the trims and raw knobs it reads
// once per block): the resonance powers, the envelope's decay rates, the shapes of the cutoff
// voltage and the VCA accent, the tuning factor, the volume... A block computes them all at its
// start; after each sample it recomputes only the groups whose smoothers move (all of them in
// the per-sample reference). The values are those the stages would compute themselves.

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "engine/MemoizedMath.h"
#include "engine/Synth303.h"
#include "engine/Synth303Classic.h"
#include "engine/Synth303Envelopes.h"
#include "engine/Synth303Filter.h"
#include "engine/Synth303Output.h"
#include "engine/Synth303Pitch.h"
#include "engine/Synth303Smoothers.h"

namespace oxn3
{
enum class RenderEngine
{
    Improved,
    Classic
};

// The smoothers behind AudioKnobs: while none of them moves, the output part of every sample
// of a block reads the same AudioKnobs.
constexpr unsigned kAudioKnobSmoothers = kSmoothResonance | kSmoothWaveform | kSmoothVolume | kSmoothCutoff |
                                         kSmoothHighpass;

template <RenderEngine kEngine, bool kPerSampleReference>
struct KnobShapes
{
    static constexpr bool kImproved = kEngine == RenderEngine::Improved;
    static constexpr double kDecayFloor = kImproved ? kImprovedDecayFloor : kClassicDecayFloor;
    // The highpass knob near 0 changes the smoothed value but not the coefficient: remember it.
    using HighpassPow = std::conditional_t<kPerSampleReference, DirectPow, MemoPow>;

    // --- resonance
    double resonancePow14 = 0.0;   // P14 = sr^1.4
    float resonanceR = 0.0f;       // (sr + 0.0001)^1.2, as the filter takes it
    double gateGrowth = 1.0;       // by engine and VCAClicks
    float decayRate[2] = {0.0f, 0.0f}; // filter envelope, by stepAccent
    // The envelopes' one-pole steps, 1 - base^q: the filter envelope's once armed, by stepAccent
    // (before the first trigger its base is 1 and the step 0); the volume's by envelopeArmed.
    double mainDecayStep[2] = {0.0, 0.0};
    double volumeDecayStep[2] = {0.0, 0.0};
    BassBoostShape bassBoost;      // improved engine
    VcaAccentShape vcaAccent;
    VcaDrain vcaDrain;
    // --- cutoff, envmod, accent
    CutoffShape cutoff;
    double closedAccentExponent = 0.0;
    double accentSquared = 0.0;    // improved engine
    double tuningFactor = 1.0;
    // --- the output side: colour, highpass, volume (and the raw resonance's bass shelf)
    AudioKnobs audio;
    HighpassPow highpassDecay;
    // --- from the trims and raw knobs, once per block
    int gateClicks = 0;            // VCAClicks
    GateEnvelopeSteps gateSteps;
    double snapshotWeight = 0.0;   // 0.2 W
    NoiseShape filterNoise;
    NoiseShape outputNoise;

    // Block start: everything.
    void start(const Synth303& s, float q)
    {
        gateClicks = s.VCAClicks;
        gateSteps = GateEnvelopeSteps::compute(s.GateTrim, q);
        if constexpr (kImproved)
            gateSteps = gateStepsRE(gateSteps, gateClicks);
        else
            gateGrowth = gateGrowth311(gateClicks);
        snapshotWeight = accentSnapshotWeight(s.smoothedCutoff);
        audio.shelfGain = bassShelfGain(s.resonance);
        filterNoise = NoiseShape::of(s.filterNoise);
        for (int armed = 0; armed < 2; ++armed)
            volumeDecayStep[armed] = 1.0 - DirectPow()(volumeEnvelopeBase(armed), q);
        outputNoise = NoiseShape::of(s.outputNoise);
        update(s, kAllSmoothers, q);
    }

    // The groups that depend on the smoothers in `moving`.
    void update(const Synth303& s, unsigned moving, float q)
    {
        const float sr = s.smoothedResonance;
        const float sc = s.smoothedCutoff;
        const float se = s.smoothedEnvmod;
        const DirectPow power;
        if (moving & kSmoothResonance)
        {
            resonancePow14 = power(sr, 1.4);
            resonanceR = static_cast<float>(power(sr + 0.0001, 1.2));
            cutoff.oneMinusP14 = 1.0 - resonancePow14;
            vcaAccent.p = power(sr + 1e-7, 0.2);
            vcaAccent.oneMinusP = 1.0 - vcaAccent.p;
            audio.resonance = sr;
            audio.oneMinusResonance = 1.0 - sr;
            if constexpr (kImproved)
            {
                gateGrowth = gateGrowthRE(sr, gateClicks);
                bassBoost.resonanceCut = 1.0 - power(sr, 0.25);
                vcaAccent.follow = VcaAccentShape::followRE(vcaAccent.p);
            }
        }
        if (moving & (kSmoothResonance | kSmoothDecay))
        {
            decayRate[0] = envelopeDecayRate(sr, s.smoothedDecay, 0, kDecayFloor);
            decayRate[1] = envelopeDecayRate(sr, s.smoothedDecay, 1, kDecayFloor);
            for (int accented = 0; accented < 2; ++accented)
                mainDecayStep[accented] = 1.0 - power(mainEnvelopeBase(decayRate[accented], 1.0), q);
        }
        if (moving & (kSmoothResonance | kSmoothCutoff | kSmoothEnvmod))
            cutoff.capShareScale = CutoffShape::capShareScaleOf(resonancePow14, sc, se);
        if (moving & (kSmoothResonance | kSmoothCutoff))
            vcaDrain = VcaDrain::compute(sc, sr, q);
        if (moving & (kSmoothCutoff | kSmoothEnvmod))
        {
            cutoff.envelopeDepth = CutoffShape::envelopeDepthOf(sc, se);
            vcaAccent.mix = kImproved ? VcaAccentShape::mixRE(sc, se) : vcaAccentMix311(sc, se);
        }
        if (moving & kSmoothCutoff)
        {
            cutoff.curveScale = CutoffShape::curveScaleOf(sc);
            cutoff.expScale = CutoffShape::expScaleOf(sc);
            closedAccentExponent = kImproved ? closedAccentExponentRE(sc) : kClosedAccentExponent311;
            audio.colour = CutoffColour::of(sc);
        }
        if (moving & kSmoothAccent)
        {
            cutoff.accentGain = CutoffShape::accentGainOf(s.smoothedAccent);
            const double sa = s.smoothedAccent;
            accentSquared = sa * sa;
        }
        if (moving & kSmoothTuning)
            tuningFactor = oxn3::tuningFactor(s.smoothedTuning, power);
        if (moving & kSmoothWaveform)
            audio.waveform = s.smoothedWaveform;
        if (moving & kSmoothVolume)
        {
            audio.volume = s.smoothedVolume;
            audio.volumeSquared = volumeSquared(s.smoothedVolume);
            audio.dcNoiseGain = kImproved ? dcNoiseGainRE(s.smoothedVolume) : dcNoiseGain311(s.smoothedVolume);
        }
        if constexpr (kImproved)
        {
            if (moving & kSmoothHighpass)
                audio.highpassK = 1.0 - highpassDecay(highpassBase(s.smoothedHighpass), q);
            if (moving & kSmoothBass)
                bassBoost.gain = BassBoostShape::gainOf(s.smoothedBass);
        }
    }

    // envelopeArmed is 0 until the first trigger, then 1.
    double mainDecayStepOf(int stepAccent, double envelopeArmed) const
    {
        return armed(envelopeArmed) ? mainDecayStep[stepAccent ? 1 : 0] : 0.0;
    }

    double volumeDecayStepOf(double envelopeArmed) const
    {
        return volumeDecayStep[armed(envelopeArmed) ? 1 : 0];
    }

    // envelopeArmed != 0.0 read from its bits (all but the sign are zero for 0.0 and -0.0 alone),
    // cheaper than a floating-point compare that must also weigh NaN.
    static bool armed(double envelopeArmed)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &envelopeArmed, sizeof(bits));
        return (bits << 1) != 0;
    }

    double openAccentExponent() const
    {
        return kImproved ? kOpenAccentExponentRE : kOpenAccentExponent311;
    }
};

// A smoother whose target is 0 never comes to rest: the offset keeps it swinging between two
// values near 1e-18, one for each sign. The waveform is read only as "above 0.5", and the
// highpass only through its coefficient, in which values that small vanish; when both values
// of the swing read the same, a block need not step the smoother, only leave it at the value
// the swing has reached when the block ends.
struct SmootherSwings
{
    unsigned swinging = 0;        // of kSmoothWaveform and kSmoothHighpass
    float waveformAfterOdd = 0.0f; // the values after an odd number of steps
    float highpassAfterOdd = 0.0f;

    // Takes the swinging smoothers out of `moving`.
    static SmootherSwings find(const Synth303& s, const SmootherTargets& t, unsigned& moving)
    {
        SmootherSwings w;
        const double o = s.smootherOffset;
        float odd = 0.0f;
        if ((moving & kSmoothWaveform) && swings(s.smoothedWaveform, t.waveform, o, odd) &&
            squareSelected(odd) == squareSelected(s.smoothedWaveform))
        {
            w.swinging |= kSmoothWaveform;
            w.waveformAfterOdd = odd;
        }
        if ((moving & kSmoothHighpass) && swings(s.smoothedHighpass, t.highpass, o, odd) &&
            bitsOf(highpassBase(odd)) == bitsOf(highpassBase(s.smoothedHighpass)))
        {
            w.swinging |= kSmoothHighpass;
            w.highpassAfterOdd = odd;
        }
        moving &= ~w.swinging;
        return w;
    }

    // After a block of `numSamples` samples.
    void finish(Synth303& s, int numSamples) const
    {
        if (numSamples % 2 == 0) // back where the block began
            return;
        if (swinging & kSmoothWaveform)
            s.smoothedWaveform = waveformAfterOdd;
        if (swinging & kSmoothHighpass)
            s.smoothedHighpass = highpassAfterOdd;
    }

private:
    // Two steps lead back to `value`; `afterOne` is the value in between.
    static bool swings(float value, double target, double offset, float& afterOne)
    {
        afterOne = value;
        smoothToward(afterOne, target, offset);
        float afterTwo = afterOne;
        smoothToward(afterTwo, target, -offset);
        return sameBits(afterTwo, value);
    }
};
} // namespace oxn3
