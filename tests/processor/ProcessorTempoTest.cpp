// Step timing through processBlock, read from the voice's triggers: a step lasts 60 / BPM / 4
// seconds at every sample rate in both engines, with or without a host transport, and a host
// whose tempo ramps has each step struck once, at the same sample, whatever the block size.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "../patterns/PatternTestHelpers.h"
#include "ProcessorTestHelpers.h"

using namespace oxn3test;

namespace
{
constexpr int kTriggerScope = 4; // the scope channel that is 1 on the sample a note is triggered

// A processor playing sixteen plain notes that logs the samples at which the voice is triggered.
struct TriggerLog
{
    std::unique_ptr<JuceDemoPluginAudioProcessor> processor;
    TestPlayHead head;
    std::vector<long long> starts; // samples since the first block
    long long done = 0;

    TriggerLog(double rate, int improved) : processor(makeProcessor(rate))
    {
        processor->ImprovedEmulation = processor->lastImprovedEmulation = improved;
        processor->synth->patterns[0] = numberedPattern(16);
    }
    ~TriggerLog() { processor->setPlayHead(nullptr); }

    void block(int n)
    {
        render(*processor, n);
        const float* trigger = processor->synth->scopeBuffers[kTriggerScope];
        for (int i = 0; i < n; ++i)
            if (trigger[i] > 0.5f)
                starts.push_back(done + i);
        done += n;
    }

    // Plays on from `ppq` at a steady tempo; the position of each block comes from the host.
    double roll(double ppq, double rate, int blocks, int n)
    {
        for (int b = 0; b < blocks; ++b, ppq += n / rate * head.bpm / 60.0)
        {
            head.ppq = ppq;
            block(n);
        }
        return ppq;
    }
};

// Distance in samples from `sixteenths` (a position in steps) to the nearest step boundary.
double samplesOffBoundary(double sixteenths, double samplesPerStep)
{
    return std::fabs(sixteenths - std::round(sixteenths)) * samplesPerStep;
}
} // namespace

TEST(Tempo, StepsLastASixteenthAtEveryRateInBothEngines)
{
    for (int improved : {0, 1})
        for (double rate : {44100.0, 48000.0, 96000.0})
        {
            SCOPED_TRACE(testing::Message() << (improved ? "improved " : "classic ") << rate);
            // No play head (as in note mode, or a host that reports none): the engine's own 120 BPM.
            TriggerLog alone(rate, improved);
            alone.processor->synth->setRunStop(1); // a page's Start
            while (alone.starts.size() < 6)
                alone.block(512);
            const double step = rate * 60.0 / 120.0 / 4.0;
            for (size_t k = 0; k < alone.starts.size(); ++k)
                EXPECT_LE(std::fabs(alone.starts[k] - alone.starts[0] - k * step), 1.0) << k;

            // A host rolling at 150 BPM changes the sample rate to `rate` mid-step.
            TriggerLog rolling(rate == 96000.0 ? 44100.0 : 96000.0, improved);
            rolling.processor->setPlayHead(&rolling.head);
            rolling.head.bpm = 150.0;
            rolling.head.playing = true;
            double ppq = rolling.roll(0.0, rolling.processor->getSampleRate(), 5, 512);
            rolling.processor->setRateAndBufferSizeDetails(rate, 512);
            rolling.processor->prepareToPlay(rate, 512);
            const long long changedAt = rolling.done;
            const double newStep = rate * 60.0 / 150.0 / 4.0;
            const double ppqAtChange = ppq;
            ppq = rolling.roll(ppq, rate, 1, 500);
            // The first block at the new rate ends where the host is.
            const double hostPhase = ppq * 4.0 - std::floor(ppq * 4.0);
            const Synth303& synth = *rolling.processor->synth;
            const double phaseError = std::remainder(synth.stepPhase - hostPhase, 1.0);
            EXPECT_LE(std::fabs(phaseError) * newStep, 1.0) << synth.stepPhase << " host " << hostPhase;

            rolling.roll(ppq, rate, 100, 500);
            int startsAfterChange = 0;
            for (long long start : rolling.starts)
                if (start >= changedAt)
                {
                    const double sixteenths = (ppqAtChange + (start - changedAt) / rate * 150.0 / 60.0) * 4.0;
                    EXPECT_LE(samplesOffBoundary(sixteenths, newStep), 1.0) << start - changedAt;
                    ++startsAfterChange;
                }
            EXPECT_GE(startsAfterChange, 4);
        }
}

// A host reports at each block start the tempo and the position it has reached; in a ramp the
// block then outruns it or falls behind, and some hosts' positions wobble by a few samples. Every
// step is struck once, at most a few samples from where the host passes its start. The ramps run
// from 120 to 160 BPM over four seconds and back.
TEST(Tempo, HostDrivenStepsAreStruckOnceWhateverTheBlockSizeRampOrWobble)
{
    constexpr double kRate = 44100.0, kSeconds = 4.0;
    const long long total = static_cast<long long>(kRate * kSeconds);
    const struct
    {
        double from, to;
        int blockSize, wobble;
    } cases[] = {
        {120, 160, 64, 0}, {120, 160, 4096, 0}, {160, 120, 64, 0}, {160, 120, 4096, 0}, {120, 120, 512, 8}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << " BPM, blocks of " << c.blockSize);
        const double rise = (c.to - c.from) / kSeconds; // BPM per second
        const auto bpmAt = [&](double t) { return c.from + rise * t; };
        const auto ppqAt = [&](double t) { return (c.from * t + rise / 2.0 * t * t) / 60.0; };

        // Where the host passes each step boundary, ppq(t) = k / 4, short of the end: a wobble
        // may strike a step a few samples early.
        std::vector<double> boundaries;
        for (double t = 0.0; t * kRate < total - 100;)
        {
            boundaries.push_back(t * kRate);
            const double k = std::round(ppqAt(t) * 4.0) + 1.0, a = rise / 120.0, b = c.from / 60.0;
            t = a == 0.0 ? k / 4.0 / b : (-b + std::sqrt(b * b + a * k)) / (2.0 * a);
        }

        TriggerLog log(kRate, 1);
        log.processor->setPlayHead(&log.head);
        log.head.playing = true;
        for (int b = 0; log.done < total; ++b)
        {
            const double t = log.done / kRate;
            log.head.bpm = bpmAt(t);
            log.head.ppq = ppqAt(t + (b % 3 == 0 ? 0 : b % 3 == 1 ? c.wobble : -c.wobble) / kRate);
            log.block(static_cast<int>(std::min<long long>(c.blockSize, total - log.done)));
        }
        while (!log.starts.empty() && log.starts.back() >= total - 100)
            log.starts.pop_back();
        ASSERT_EQ(log.starts.size(), boundaries.size());
        for (size_t k = 0; k < boundaries.size(); ++k)
            EXPECT_NEAR(static_cast<double>(log.starts[k]), boundaries[k], 25.0) << k;
    }
}
