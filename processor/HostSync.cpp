// The host transport turned into the sequencer's step and phase (pattern mode only).
#include <algorithm>
#include <cmath>

#include "processor/PluginProcessor.h"

namespace
{
constexpr double kTicksPerQuarter = 15360.0;
constexpr double kTicksPerStep = 3840.0; // a sixteenth note
constexpr double kTicksPerBar = 61440.0;
constexpr double kStepsPerQuarter = 4.0;
constexpr double kTripletTickScale = 0.75;
constexpr double kResyncTolerance = 0.001; // of a step
constexpr double kEarlyStrikeTolerance = 0.05; // of a step: more than the engine's clock gains in a block
constexpr double kUnreportedBpm = 120.0;        // the tempo a report without one stands for

// fmod that stays in 0..m for negative x too: a host in pre-roll reports negative positions.
double wrapPositive(double x, double m)
{
    const double r = std::fmod(x, m);
    return r < 0.0 ? r + m : r;
}

// Fills the old-style position record from what the host reported; missing fields keep defaults.
void copyPosition(const juce::AudioPlayHead::PositionInfo& position,
                  juce::AudioPlayHead::CurrentPositionInfo& info)
{
    info.resetToDefault();
    if (const auto signature = position.getTimeSignature())
    {
        info.timeSigNumerator = signature->numerator;
        info.timeSigDenominator = signature->denominator;
    }
    if (const auto loop = position.getLoopPoints())
    {
        info.ppqLoopStart = loop->ppqStart;
        info.ppqLoopEnd = loop->ppqEnd;
    }
    if (const auto frameRate = position.getFrameRate())
        info.frameRate = *frameRate;
    if (const auto seconds = position.getTimeInSeconds())
        info.timeInSeconds = *seconds;
    if (const auto barStart = position.getPpqPositionOfLastBarStart())
        info.ppqPositionOfLastBarStart = *barStart;
    if (const auto ppq = position.getPpqPosition())
        info.ppqPosition = *ppq;
    if (const auto origin = position.getEditOriginTime())
        info.editOriginTime = *origin;
    if (const auto bpm = position.getBpm())
        info.bpm = *bpm;
    if (const auto samples = position.getTimeInSamples())
        info.timeInSamples = *samples;
    info.isPlaying = position.getIsPlaying();
    info.isRecording = position.getIsRecording();
    info.isLooping = position.getIsLooping();
}

// Where a transport reported at the start of a block stands at the start of the next one.
juce::AudioPlayHead::PositionInfo advancedBy(juce::AudioPlayHead::PositionInfo position, int numSamples,
                                             double sampleRate)
{
    if (!position.getIsPlaying())
        return position;
    const double seconds = numSamples / sampleRate;
    if (const auto ppq = position.getPpqPosition())
        position.setPpqPosition(*ppq + seconds * position.getBpm().orFallback(kUnreportedBpm) / 60.0);
    if (const auto samples = position.getTimeInSamples())
        position.setTimeInSamples(*samples + numSamples);
    if (const auto time = position.getTimeInSeconds())
        position.setTimeInSeconds(*time + seconds);
    return position;
}
} // namespace

// The host's position for this block. A host that reports only changes (LV2) says nothing in
// most blocks: that is no news, and the transport goes on as last reported. It stops only when
// a report says so.
juce::Optional<juce::AudioPlayHead::PositionInfo> JuceDemoPluginAudioProcessor::readHostPosition(int numSamples)
{
    juce::Optional<juce::AudioPlayHead::PositionInfo> position;
    if (juce::AudioPlayHead* head = getPlayHead())
        position = head->getPosition();
    if (!hostReportsOnlyChanges)
        return position;

    if (!position.hasValue())
        position = continuedHostPosition;
    else if (!position->getPpqPosition().hasValue())
    {
        const int offset = offsetOfReportInBlock(*position, numSamples);
        if (offset > 0)
            return placeReportInsideBlock(*position, offset, numSamples);
        position->setPpqPosition(quartersOfReport(*position));
    }
    if (position.hasValue())
        continuedHostPosition = advancedBy(*position, numSamples, currentSampleRate());
    return position;
}

// Some LV2 hosts report the transport by its sample frame, bar and tempo, without its position in
// quarter notes. Where the frame is where the transport was expected, that position goes on;
// elsewhere (a start, a jump) it is counted from the frame at the reported tempo.
juce::Optional<double> JuceDemoPluginAudioProcessor::quartersOfReport(
    const juce::AudioPlayHead::PositionInfo& report) const
{
    const auto frame = report.getTimeInSamples();
    if (continuedHostPosition.hasValue()
        && (!frame.hasValue() || frame == continuedHostPosition->getTimeInSamples()))
        return continuedHostPosition->getPpqPosition();
    if (!frame.hasValue())
        return {};
    const double seconds = static_cast<double>(*frame) / currentSampleRate();
    return seconds * report.getBpm().orFallback(kUnreportedBpm) / 60.0;
}

// Such hosts also report each tempo change at its own frame inside a block, and the LV2 wrapper
// hands over only the last report of a block. The samples from the block's start to that frame
// (0 when the report is not of that kind).
int JuceDemoPluginAudioProcessor::offsetOfReportInBlock(const juce::AudioPlayHead::PositionInfo& report,
                                                        int numSamples) const
{
    const auto frame = report.getTimeInSamples();
    if (!frame.hasValue() || !continuedHostPosition.hasValue() || !continuedHostPosition->getIsPlaying())
        return 0;
    const auto expected = continuedHostPosition->getTimeInSamples();
    if (!expected.hasValue() || *frame <= *expected || *frame >= *expected + numSamples)
        return 0;
    return static_cast<int>(*frame - *expected);
}

// The transport did not jump at a tempo change: the block starts where it was expected, and
// reaches the change at the old tempo.
juce::AudioPlayHead::PositionInfo JuceDemoPluginAudioProcessor::placeReportInsideBlock(
    juce::AudioPlayHead::PositionInfo report, int offset, int numSamples)
{
    const double sampleRate = currentSampleRate();
    const juce::AudioPlayHead::PositionInfo blockStart = *continuedHostPosition;
    report.setPpqPosition(advancedBy(blockStart, offset, sampleRate).getPpqPosition());
    continuedHostPosition = advancedBy(report, numSamples - offset, sampleRate);

    report.setPpqPosition(blockStart.getPpqPosition());
    report.setTimeInSamples(blockStart.getTimeInSamples());
    report.setTimeInSeconds(blockStart.getTimeInSeconds());
    return report;
}

void JuceDemoPluginAudioProcessor::stopEngine()
{
    synth->running = 0;
    synth->keyHeld = 0;
    synth->gate = 0;
    synth->slideActive = 0;
    synth->runRequest = 0;
}

// Reads the host position: whether the host transport drives the sequencer in this block, and
// at which step and phase. Clears `run` when the host stopped or its stopped transport was moved.
JuceDemoPluginAudioProcessor::HostPosition JuceDemoPluginAudioProcessor::followHostTransport(int& run,
                                                                                             int numSamples)
{
    HostPosition host;
    prevHostStepPhase = hostStepPhase;

    const juce::Optional<juce::AudioPlayHead::PositionInfo> position = readHostPosition(numSamples);

    if (!position.hasValue())
    {
        lastPosInfo.resetToDefault();
    }
    else
    {
        copyPosition(*position, lastPosInfo);
        synth->setTempo(lastPosInfo.bpm);
        hostBpm = lastPosInfo.bpm;
        double ticks = lastPosInfo.ppqPosition * kTicksPerQuarter;
        if (!std::isfinite(ticks))
            ticks = 0.0;

        if (SyncMode == 1)
        {
            host.playing = lastPosInfo.isPlaying ? 1 : 0;
            if (!host.playing && ticks != lastHostTicks)
            {
                stopEngine(); // the user moved the stopped transport
                run = 0;
            }
        }

        if (host.playing)
        {
            const Vst303Pattern& pattern = synth->activePattern();
            const double t = ticks * (pattern.getTriplet() ? kTripletTickScale : 1.0);
            host.phase = std::fmod(wrapPositive(t, kTicksPerBar) / kTicksPerQuarter * kStepsPerQuarter, 1.0);
            // A stored length may be 0 or above 64; step through the steps that exist.
            const int length = std::max(1, pattern.getStepCount());
            host.step = static_cast<int>(wrapPositive(std::floor(t / kTicksPerStep), length));
            hostStepPhase = host.phase;

            if (host.phase < prevHostStepPhase)
                blocksSincePhaseWrap = 0; // a new step began in this block

            if (std::fabs(host.phase - synth->stepPhase) > kResyncTolerance || synth->playStep != host.step)
                followHostStep(host);
        }
        lastHostTicks = ticks;
    }

    if (hostWasPlaying != host.playing && host.playing == 0)
    {
        stopEngine(); // the host stopped, or its position vanished
        run = 0;
    }
    hostWasPlaying = host.playing;
    return host;
}

// The engine's clock drifted from the host's (the tempo changes inside blocks, the host jumps).
// A step the engine has struck already only has its phase corrected: striking it again would be
// heard as a second attack.
void JuceDemoPluginAudioProcessor::followHostStep(const HostPosition& host)
{
    const bool inHostStep = synth->playStep == host.step && synth->stepSampleCounter != 0;
    if (inHostStep)
        synth->stepPhase = host.phase;
    else if (struckNextStepEarly(host))
        synth->stepPhase = host.phase - 1.0; // the engine's step waits until the host reaches it
    else
        moveSequencerTo(host, blocksSincePhaseWrap); // 0 = the step began since the last block: strike it now
}

// The engine's clock ran a little ahead and has struck the step after the host's.
bool JuceDemoPluginAudioProcessor::struckNextStepEarly(const HostPosition& host) const
{
    const int length = std::max(1, synth->activePattern().getStepCount());
    const double lead = (1.0 - host.phase) + synth->stepPhase;
    return synth->stepSampleCounter != 0 && synth->playStep == (host.step + 1) % length
           && lead < kEarlyStrikeTolerance;
}

void JuceDemoPluginAudioProcessor::moveSequencerTo(const HostPosition& position, int stepSampleCounter)
{
    synth->stepPhase = position.phase;
    synth->playStep = position.step;
    synth->stepSampleCounter = stepSampleCounter;
}
