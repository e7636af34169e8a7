#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "engine/Synth303.h"
#include "patterns/PatternTestHelpers.h"

namespace
{
using Lines = std::vector<std::string>;
constexpr int kGate = step_t::kGate, kSlide = step_t::kSlide;

void runSamples(Synth303& s, int samples)
{
    for (int i = 0; i < samples; ++i)
        s.RunSequencerRE();
}

// A running engine at 120 BPM and 44.1 kHz playing pattern 0 with `length` steps, `steps` first.
std::unique_ptr<Synth303> runningSynth(int length, const std::vector<step_t>& steps = {}, int triplet = 0)
{
    auto synth = std::make_unique<Synth303>();
    synth->patterns[0].setLength(length);
    synth->patterns[0].setTriplet(triplet);
    std::copy(steps.begin(), steps.end(), synth->patterns[0].steps);
    synth->setTempo(120.0);
    synth->setRunStop(1);
    return synth;
}

float noteFrequency(int note, float base = 2.0f)
{
    return std::pow(base, (note + 3.0f) / 12.0f) * 6.875f;
}

// Plays `steps` whole steps (at most two million samples) and describes each as
// "<step>@<start sample> [trig] <MIDI note>:<velocity>... [|<samples from start to gate close>]",
// samples counted from the first start. Clears the one-sample trigger as the render does.
Lines played(Synth303& synth, size_t steps)
{
    Lines lines;
    int first = -1, start = 0;
    for (int i = 0; i < 2000000; ++i)
    {
        const bool starting = synth.running && synth.stepSampleCounter == 0;
        if (starting && lines.size() == steps) break;
        const int gateBefore = synth.gate;
        synth.RunSequencerRE();
        if (starting)
        {
            first = first < 0 ? i : first;
            start = i;
            lines.push_back(std::to_string(synth.playStep) + "@" + std::to_string(i - first) +
                            (synth.trigger ? " trig" : ""));
            for (int n = 0; n < 128; ++n)
                if (synth.midiOutNotes[n])
                    lines.back() += " " + std::to_string(n) + ":" + std::to_string(synth.midiOutNotes[n]);
        }
        else if (gateBefore && !synth.gate && !lines.empty())
            lines.back() += " |" + std::to_string(i - start);
        synth.trigger = 0;
    }
    return lines;
}
} // namespace

TEST(Sequencer, StepTimingGateSlidesAccentsAndMidiOut)
{
    // 5512.5 samples per step (triplet 7350); a non-sliding gate closes just past 0.51 of the step.
    // clang-format off
    const std::tuple<const char*, int, int, std::vector<step_t>, Lines> cases[] = {
        {"straight", 16, 0, {},
         {"0@0 trig 36:99 |2811", "1@5513 trig 36:99 |2810", "2@11026 trig 36:99 |2810"}},
        {"triplet", 16, 1, {},
         {"0@0 trig 36:99 |3748", "1@7351 trig 36:99 |3747", "2@14701 trig 36:99 |3747"}},
        {"length 1", 1, 0, {},
         {"0@0 trig 36:99 |2811", "0@5513 trig 36:99 |2810", "0@11026 trig 36:99 |2810"}},
        {"legato: no trigger, both notes held until the gate closes", 4, 0,
         {stepOf(0, kGate | kSlide), stepOf(12, kGate), stepOf(5, kGate)},
         {"0@0 trig 36:99", "1@5513 36:99 48:99 |2810", "2@11026 trig 41:99 |2810"}},
        {"accent carried through a slide chain", 4, 0,
         {stepOf(0, kGate | kSlide | step_t::kAccent), stepOf(2, kGate | kSlide), stepOf(4, kGate),
          stepOf(7, kGate)},
         {"0@0 trig 36:127", "1@5513 36:127 38:127", "2@11026 36:127 38:127 40:127 |2810",
          "3@16538 trig 43:99 |2810"}},
    };
    // clang-format on
    for (const auto& [name, length, triplet, steps, expected] : cases)
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(played(*runningSynth(length, steps, triplet), expected.size()), expected);
    }
    // Over many steps the starts keep the exact duration: no drift.
    EXPECT_EQ(played(*runningSynth(16), 31)[30], "14@165376 trig 36:99 |2810");
}

TEST(Sequencer, ZeroNegativeOrNanTempoAllButStopsTheClock)
{
    for (double bpm : {0.0, std::numeric_limits<double>::quiet_NaN()})
    {
        auto synth = runningSynth(16);
        synth->setTempo(bpm);
        EXPECT_EQ(synth->bpm, 1e-6) << bpm;
        EXPECT_EQ(played(*synth, 2), Lines{"0@0 trig 36:99"}) << bpm;
        EXPECT_TRUE(std::isfinite(synth->stepPhase)) << bpm;
    }
}

TEST(Sequencer, PitchTuningAndMidiOutRange)
{
    // {pitch, flags, TuningMode, TuningTrim, frequency, step played}; the Tuning knob is at 0
    const std::tuple<int, int, int, double, float, const char*> cases[] = {
        {33, kGate, 0, 0.5, 440.0f, "0@0 trig 69:99 |2811"},
        {0, kGate | step_t::kUp, 1, 0.5, noteFrequency(48, 1.5f), "0@0 trig 48:99 |2811"}, // custom tuning
        {91, kGate, 0, 0.5, noteFrequency(127), "0@0 trig |2811"}, // note 127 sounds, is not sent
        {-40, kGate, 0, 0.5, noteFrequency(0), "0@0 trig |2811"},  // note -4 sounds at 0
    };
    for (const auto& [pitch, flags, tuningMode, trim, hz, line] : cases)
    {
        SCOPED_TRACE(pitch);
        auto synth = runningSynth(16, {stepOf(pitch, flags)});
        synth->TuningMode = tuningMode;
        synth->TuningTrim = trim;
        synth->tuning = 0.0f;
        EXPECT_EQ(played(*synth, 1), Lines{line});
        EXPECT_FLOAT_EQ(synth->vcoFrequency, hz);
    }
}

TEST(Sequencer, PatternChangeTakesEffectAtTheNextStepStart)
{
    // The old note completes; the new pattern (length 8, pitch 20 + i) plays on from the next
    // step index and wraps at its own length.
    const std::tuple<int, Lines> cases[] = {{3, {"4@0 trig 60:99 |2810", "5@5512 trig 61:99 |2810"}},
                                            {7, {"0@0 trig 56:99 |2810"}},
                                            {10, {"0@0 trig 56:99 |2810", "1@5513 trig 57:99 |2810"}}};
    for (const auto& [playing, next] : cases)
    {
        SCOPED_TRACE(playing);
        auto synth = runningSynth(16);
        synth->patterns[0] = numberedPattern(16);
        synth->patterns[1] = numberedPattern(8);
        synth->patterns[1].Transpose(20);
        played(*synth, playing);
        runSamples(*synth, 100);
        synth->currentPattern = 1;
        runSamples(*synth, 100);
        EXPECT_FLOAT_EQ(synth->vcoFrequency, noteFrequency(36 + playing));
        EXPECT_EQ(played(*synth, next.size()), next);
    }
}

TEST(Sequencer, DamagedPositionAndHeaderStayInsideTheRecord)
{
    auto synth = runningSynth(16);
    synth->patterns[0].header = 127; // a length no record holds
    synth->playStep = 100;
    synth->swingIndex = -7;
    const Lines lines = played(*synth, 70);
    EXPECT_EQ(lines.size(), 70u);
    for (const std::string& line : lines)
        ASSERT_LT(std::stoi(line), Vst303Pattern::kMaxSteps) << line;
    synth->currentPattern = 5000;
    played(*synth, 1);
    EXPECT_LT(synth->playStep, Vst303Pattern::kMaxSteps);
}

TEST(Sequencer, StartResetsThePositionOnceAndStoppingReleasesMidiNotes)
{
    auto synth = runningSynth(16);
    played(*synth, 3);
    runSamples(*synth, 100);
    synth->setRunStop(1); // already running: nothing changes
    EXPECT_EQ(synth->playStep, 3);
    synth->setRunStop(0);
    EXPECT_EQ(synth->playStep + synth->stepSampleCounter + synth->gate + synth->running, 0);
    EXPECT_EQ(synth->midiOutNotes[36], 0);
    runSamples(*synth, 10000); // stopped: the clock does not move
    EXPECT_EQ(synth->stepSampleCounter, 0);
    synth->setRunStop(1);
    EXPECT_EQ(played(*synth, 1), Lines{"0@0 trig 36:99 |2811"});

    // Pages and menus stop by clearing `running`: the next sample releases the note.
    runSamples(*synth, 100);
    ASSERT_EQ(synth->midiOutNotes[36], 99);
    synth->running = 0;
    synth->RunSequencerRE();
    EXPECT_EQ(synth->midiOutNotes[36], 0);
}

TEST(Sequencer, EditCursorIsClampedToThePattern)
{
    // {header, requested step, cursor}; header 0 is a damaged length
    const int cases[][3] = {{16, -5, 0}, {16, 99, 15}, {16, 7, 7}, {0, 3, 0}};
    for (const auto& c : cases)
    {
        auto synth = std::make_unique<Synth303>();
        synth->patterns[0].header = static_cast<uint32_t>(c[0]);
        synth->setEditNote(c[1]);
        EXPECT_EQ(synth->editStep, c[2]) << c[1];
    }
}

// The render keeps the clock's counters in its own run between step starts: after every block,
// the clock stands where one sample at a time takes it, whether the block ends mid-step or not.
TEST(Sequencer, RenderLeavesTheClockWhereSampleBySampleClockingDoes)
{
    // {block sizes, the host's step sample counter at the start}
    const std::tuple<std::vector<int>, int> cases[] = {
        {{1, 2, 255, 4000, 1, 6000, 13}, 0}, {{5511, 1, 1, 700}, 0}, {{300, 300}, -40}, {{20000}, 7}};
    for (const auto& [blocks, counter] : cases)
    {
        auto rendered = runningSynth(16);
        auto clocked = runningSynth(16);
        rendered->stepSampleCounter = clocked->stepSampleCounter = counter;
        std::vector<float> out(20000);
        for (int n : blocks)
        {
            rendered->renderRE<false>(out.data(), n);
            for (int i = 0; i < n; ++i)
            {
                clocked->RunSequencerRE();
                clocked->trigger = 0;
            }
            ASSERT_EQ(rendered->stepSampleCounter, clocked->stepSampleCounter) << n;
            ASSERT_EQ(rendered->playStep, clocked->playStep) << n;
            ASSERT_EQ(rendered->stepPhase, clocked->stepPhase) << n;
            ASSERT_EQ(rendered->gate, clocked->gate) << n;
        }
    }
}
