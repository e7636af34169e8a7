// Generators that make or rearrange a whole pattern at random. Randomize, AlterPattern and
// AlterPattern2 draw from rand(); AdvancedRandom draws only from its own seeded generator, so
// its result is a function of the settings.
#include <algorithm>
#include <cstdlib>

#include "patterns/AdvancedRandom.h"
#include "patterns/RandomGenerator.h"
#include "patterns/Vst303Pattern.h"

namespace
{
constexpr int kPercent = 100;
constexpr int kOctave = 12;
constexpr int kRandomPitches = 14;      // Randomize draws pitches 0..13
constexpr int kOctaveChoices = 5;       // octave offsets -2..+2
constexpr int kDegreeDraws = 16;        // tries to hit an enabled scale degree
constexpr int kAppliedDegreeDraws = 15; // a hit on the last try is not used
constexpr int kMaxDegreeAdvances = 64;
constexpr int kHighestRoot = AdvancedRandom_t::kScaleDegrees - 1;

// The settings with every value the generator depends on brought into range: a bad value from
// a saved song or a controller must not make it loop for ever or write past the record.
struct GeneratorLimits
{
    int length;
    int noteDensity;
    int gateDensity;
    int slideDensity;
    int accentDensity;
    int root;
};

GeneratorLimits limitsOf(const AdvancedRandom_t& s)
{
    return {std::clamp(s.patLength, 1, Vst303Pattern::kMaxSteps),
            std::clamp(s.noteDensity, 0, kPercent),
            std::clamp(s.gateDensity, 0, kPercent),
            std::clamp(s.slideDensity, 0, kPercent),
            std::clamp(s.accentDensity, 0, kPercent),
            std::clamp(s.root, 0, kHighestRoot)};
}

// Marks of the positions already chosen in one round of draws.
struct UsedPositions
{
    bool used[Vst303Pattern::kMaxSteps] = {};

    // Draws until an unused position below `length` comes up. Terminates because the count of
    // positions wanted never exceeds `length` and the generator's period covers every residue.
    int drawUnused(RandomGenerator& generator, int length)
    {
        for (;;)
        {
            const int p = generator.below(length);
            if (!used[p])
            {
                used[p] = true;
                return p;
            }
        }
    }
};

int allowedOctave(const AdvancedRandom_t& s, int offset)
{
    switch (offset)
    {
    case -2:
        return s.lowerRange2 ? offset : 0;
    case -1:
        return s.lowerRange ? offset : 0;
    case 1:
        return s.upperRange ? offset : 0;
    case 2:
        return s.upperRange2 ? offset : 0;
    default:
        return 0;
    }
}

void drawRootOctaves(Vst303Pattern& p, const AdvancedRandom_t& s, const GeneratorLimits& limits,
                     RandomGenerator& generator)
{
    for (int i = 0; i < limits.length; ++i)
    {
        const int octave = allowedOctave(s, generator.below(kOctaveChoices) - 2);
        p.steps[i].pitch = static_cast<int8_t>(octave * kOctave + limits.root);
        p.steps[i].set(step_t::kUp | step_t::kDown, false);
    }
}

// First enabled degree within 16 draws; -1 when none came up in the draws that count.
int drawScaleDegree(const AdvancedRandom_t& s, RandomGenerator& generator)
{
    for (int draw = 1; draw <= kDegreeDraws; ++draw)
    {
        const int degree = generator.below(AdvancedRandom_t::kScaleDegrees);
        if (s.scale[degree]) return draw <= kAppliedDegreeDraws ? degree : -1;
    }
    return -1;
}

void drawScaleNotes(Vst303Pattern& p, const AdvancedRandom_t& s, const GeneratorLimits& limits,
                    RandomGenerator& generator)
{
    if (limits.noteDensity * limits.length < kPercent) return;
    const int count = limits.noteDensity * limits.length / kPercent;
    UsedPositions positions;
    for (int n = 0; n < count; ++n)
    {
        const int step = positions.drawUnused(generator, limits.length);
        const int degree = drawScaleDegree(s, generator);
        if (degree >= 0) p.steps[step].pitch = static_cast<int8_t>(p.steps[step].pitch + degree);
    }
}

int nextDegree(int degree)
{
    return (degree + 1) % AdvancedRandom_t::kScaleDegrees;
}

// The enabled degrees in ascending order, one per step, wrapping after the last.
void walkFixedScale(Vst303Pattern& p, const AdvancedRandom_t& s, const GeneratorLimits& limits)
{
    int degree = 0;
    for (int i = 0; i < limits.length; ++i)
    {
        for (int advances = 0; !s.scale[degree] && advances < kMaxDegreeAdvances; ++advances)
            degree = nextDegree(degree);
        if (s.scale[degree]) p.steps[i].pitch = static_cast<int8_t>(p.steps[i].pitch + degree);
        degree = nextDegree(degree);
    }
}

// Clears `flag` on every step within the length, then sets it on density percent of them.
void scatterFlag(Vst303Pattern& p, uint8_t flag, int density, int length, RandomGenerator& generator)
{
    for (int i = 0; i < length; ++i)
        p.steps[i].set(flag, false);
    if (density * length < kPercent) return;
    const int count = density * length / kPercent;
    UsedPositions positions;
    for (int n = 0; n < count; ++n)
        p.steps[positions.drawUnused(generator, length)].set(flag, true);
}

// Steps of a pattern whose header length can be trusted for the tie of AlterPattern2.
bool hasValidLength(const Vst303Pattern& p)
{
    return p.getLength() >= 1 && p.getLength() <= Vst303Pattern::kMaxSteps;
}
} // namespace

void Vst303Pattern::Randomize()
{
    const int count = getStepCount();
    for (int i = 0; i < count; ++i)
    {
        // Six draws per step in a fixed order.
        const int accentDraw = std::rand();
        const int gateDraw = std::rand();
        const int slideDraw = std::rand();
        const int upDraw = std::rand();
        const int downDraw = std::rand();
        const int pitchDraw = std::rand();

        uint8_t flags = 0;
        if (accentDraw & 1) flags |= step_t::kAccent;
        if ((gateDraw & 3) != 0) // three steps in four sound
            flags |= step_t::kGate;
        if (slideDraw % 3 == 0) flags |= step_t::kSlide;
        if (upDraw & 1) flags |= step_t::kUp;
        if (downDraw & 1) flags |= step_t::kDown;
        steps[i].flags = flags;
        steps[i].pitch = static_cast<int8_t>(pitchDraw % kRandomPitches);
    }
    tidy303Pattern();
}

void Vst303Pattern::AlterPattern()
{
    const int count = getStepCount();
    if (count == 0) return;
    const Vst303Pattern copy = *this;
    bool used[kMaxSteps] = {};
    for (int i = 0; i < count; ++i)
    {
        int r = 0;
        do
            r = std::rand() % count;
        while (used[r]);
        used[r] = true;
        steps[i] = copy.steps[r];
    }
}

int Vst303Pattern::AlterPattern2()
{
    // A pattern of one step has no place for the tie; one with a damaged length is left alone.
    if (!hasValidLength(*this) || getLength() < 2) return 0;
    const int length = getLength();
    const int k = std::rand() % (length - 1);
    for (int j = length - 1; j > k; --j)
        steps[j] = steps[j - 1];
    steps[k].set(step_t::kSlide, true);
    return k + 1;
}

void Vst303Pattern::AdvancedRandom(AdvancedRandom_t* settings, RandomGenerator* generator)
{
    if (settings == nullptr || generator == nullptr || !settings->apply) return;
    const AdvancedRandom_t& s = *settings;
    const GeneratorLimits limits = limitsOf(s);
    setLength(limits.length);

    if (s.randomizeNote)
    {
        drawRootOctaves(*this, s, limits, *generator);
        if (s.fixedScale)
            walkFixedScale(*this, s, limits);
        else
            drawScaleNotes(*this, s, limits, *generator);
    }
    if (s.randomizeGate) scatterFlag(*this, step_t::kGate, limits.gateDensity, limits.length, *generator);
    if (s.randomizeSlide) scatterFlag(*this, step_t::kSlide, limits.slideDensity, limits.length, *generator);
    if (s.randomizeAccent)
        scatterFlag(*this, step_t::kAccent, limits.accentDensity, limits.length, *generator);
}
