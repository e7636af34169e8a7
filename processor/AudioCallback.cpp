// processBlock: host position, parameters into the engine, sample-accurate render between MIDI
// events, channel copy, MIDI output, scope capture and analyser playback, in this order.
// Nothing here allocates, except the host's MIDI buffer growing for MIDI output.
#include <algorithm>

#include "processor/PluginProcessor.h"

namespace
{
constexpr double kReferenceSampleRate = 44100.0;
constexpr int kMidiOutChannel = 1;
constexpr int kVelocityMask = 255;
constexpr int kStepsPerCapturedBar = 16;
constexpr std::uint8_t kSysExStart = 0xF0;

// The trims reach the engine with single precision, as double.
double throughFloat(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

bool isSysEx(const juce::MidiMessageMetadata& event)
{
    return event.numBytes > 0 && event.data[0] == kSysExStart;
}
} // namespace

void JuceDemoPluginAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    const int numSamples = buffer.getNumSamples();
    const double sampleRate = currentSampleRate();

    for (int channel = getTotalNumInputChannels(); channel < getTotalNumOutputChannels(); ++channel)
        if (channel < buffer.getNumChannels())
            buffer.clear(channel, 0, numSamples);

    takeSampleRate(sampleRate);
    int run = synth->runRequest;
    HostPosition host;
    if (MidiMode == oxn3::kPatternMode)
        host = followHostTransport(run, numSamples);
    else if (hostReportsOnlyChanges)
        readHostPosition(numSamples); // keeps the transport's position current for pattern mode

    float* left = buffer.getNumChannels() > 0 ? buffer.getWritePointer(0) : nullptr;
    float* right = buffer.getNumChannels() > 1 ? buffer.getWritePointer(1) : nullptr;

    const int wasRunning = synth->running;
    copyParametersIntoEngine(host.playing, run);
    // Starting resets the sequencer to step 0; a host that starts mid-pattern must be heard at its
    // own step from the first sample on, so its position goes in again and triggers that step.
    if (host.playing && !wasRunning)
        moveSequencerTo(host, 0);
    renderSlices(left, numSamples, midiMessages);

    if (left != nullptr && right != nullptr)
        std::copy(left, left + numSamples, right);

    blocksSincePhaseWrap += 1;
    midiActivity = midiActivity > 0 ? midiActivity - 1 : 0;

    midiMessages.clear(); // incoming MIDI is consumed, never passed through
    if (MidiOutput != 0)
        sendMidiOutput(midiMessages);

    captureScope(numSamples);
    playAnalyserAudio(buffer, numSamples, sampleRate);
}

double JuceDemoPluginAudioProcessor::currentSampleRate() const
{
    const double rate = getSampleRate();
    return rate > 0.0 ? rate : kReferenceSampleRate; // before the host prepared us
}

// Before the host's tempo is read: the step length is made from both. Recomputed every block for
// both engines, so that a new rate counts even when no host reports a tempo.
void JuceDemoPluginAudioProcessor::takeSampleRate(double sampleRate)
{
    synth->sampleRate = sampleRate;
    synth->fsRatio = static_cast<float>(kReferenceSampleRate / sampleRate);
    synth->setTempo(synth->bpm);
}

void JuceDemoPluginAudioProcessor::copyParametersIntoEngine(int playing, int run)
{
    Synth303& engine = *synth;
    engine.cutoff = static_cast<float>(parameterValues[oxn3::kCutoff]);
    engine.resonance = static_cast<float>(parameterValues[oxn3::kResonance]);
    engine.envmod = static_cast<float>(parameterValues[oxn3::kEnvmod]);
    engine.decay = static_cast<float>(parameterValues[oxn3::kDecay]);
    engine.accent = static_cast<float>(parameterValues[oxn3::kAccent]);
    engine.volume = static_cast<float>(parameterValues[oxn3::kVolume]);
    engine.tuning = static_cast<float>(parameterValues[oxn3::kTuning]);
    engine.waveform = static_cast<float>(parameterValues[oxn3::kWaveform]);

    engine.hostPlaying = playing;
    engine.setRunStop((run || playing) ? 1 : 0);

    engine.VCAClicks = VCAClicks;
    engine.VCANoise = VCANoise;
    engine.VCOVibrato = VCOVibrato;
    engine.VCOMode = VCOMode;
    engine.OutputClipping = OutputClipping;
    engine.VCOPhaseReset = VCOPhaseReset;
    engine.ImprovedEmulation = ImprovedEmulation;
    engine.ResoTrim = throughFloat(ResoTrim);
    engine.VCFTrim = throughFloat(VCFTrim);
    engine.GateTrim = throughFloat(GateTrim);
    engine.TuningTrim = throughFloat(TuningTrim);
    engine.highpass = static_cast<float>(parameterValues[oxn3::kHighpass]);
    engine.bass = static_cast<float>(parameterValues[oxn3::kBass]);
    engine.distort = static_cast<float>(parameterValues[oxn3::kDistort]);
    engine.TuningMode = TuningMode;
}

// Renders up to each MIDI event's sample position, then handles the event, so that every event
// takes effect on its own sample. Events at or beyond the block's end are not handled.
void JuceDemoPluginAudioProcessor::renderSlices(float* out, int numSamples, const juce::MidiBuffer& midi)
{
    int position = 0;
    int left = numSamples;
    auto next = midi.cbegin();
    const auto end = midi.cend();

    while (left > 0)
    {
        int slice = left;
        bool eventDue = false;
        if (next != end && (*next).samplePosition < position + left)
        {
            slice = std::max(0, (*next).samplePosition - position); // a negative position counts as "now"
            eventDue = true;
        }

        if (slice > 0)
        {
            // The fade-in starts with the new engine's first slice: fading in after that slice
            // would let it play at full level and then drop to silence, a click of its own.
            if (ImprovedEmulation != lastImprovedEmulation)
                synth->setAntiClickFadeIn();
            lastImprovedEmulation = ImprovedEmulation;
            renderSlice(out != nullptr ? out + position : nullptr, slice);
        }

        if (eventDue)
        {
            const juce::MidiMessageMetadata event = *next;
            // SysEx is ignored anyway; skipping it here keeps the copy below from allocating.
            if (!isSysEx(event))
                handleMidiEvent(event.getMessage());
            ++next;
        }

        position += slice;
        left -= slice;
    }
}

// One render call per slice; longer slices are split so that the engine's scope (one block of
// kScopeLength samples) and the scratch target are never overrun.
void JuceDemoPluginAudioProcessor::renderSlice(float* out, int numSamples)
{
    const int chunkLimit = out != nullptr ? oxn3::kScopeLength : kScratchSamples;
    for (int done = 0; done < numSamples;)
    {
        const int chunk = std::min(chunkLimit, numSamples - done);
        float* target = out != nullptr ? out + done : scratchOutput;
        if (ImprovedEmulation == 0)
            synth->blockProcess311(target, chunk, false);
        else
            synth->blockProcessRE(target, chunk, false);
        done += chunk;
    }
}

// Sends the engine's note changes since the last block as note-on / note-off on channel 1. A key
// struck again since (while it sounded, or after it ended in this block) is ended and sent anew; a
// slide into the sounding key only changes its velocity entry and sends nothing.
void JuceDemoPluginAudioProcessor::sendMidiOutput(juce::MidiBuffer& midi)
{
    for (int note = 0; note < oxn3::kNumMidiNotes; ++note)
    {
        const int state = synth->midiOutNotes[note];
        const int sent = sentMidiNotes[note];
        const bool struck = synth->midiOutStrikes[note] != sentMidiStrikes[note];
        const auto velocity = static_cast<juce::uint8>(state & kVelocityMask);
        if (sent > 0 && (state <= 0 || struck))
            midi.addEvent(juce::MidiMessage::noteOff(kMidiOutChannel, note, static_cast<juce::uint8>(0)), 0);
        if (state > 0 && (sent <= 0 || struck))
            midi.addEvent(juce::MidiMessage::noteOn(kMidiOutChannel, note, velocity), 0);
        sentMidiNotes[note] = state;
        sentMidiStrikes[note] = synth->midiOutStrikes[note];
    }
}

// Records one engine scope channel into captureBuffer, wrapping after one bar of sixteenths.
void JuceDemoPluginAudioProcessor::captureScope(int numSamples)
{
    if (synth->running == 0 || numSamples <= 0)
        return;

    const int wrap = static_cast<int>(synth->samplesPerStep * kStepsPerCapturedBar);
    const int size = captureBuffer.getNumSamples();
    const int source = juce::jlimit(0, oxn3::kScopeChannels - 1, captureSource);
    const float* scope = synth->scopeBuffers[source];
    float* capture = captureBuffer.getWritePointer(0); // also marks the buffer as holding data
    const int count = std::min(numSamples, oxn3::kScopeLength);

    for (int i = 0; i < count; ++i)
    {
        if (captureWriteIndex >= size || captureWriteIndex >= wrap)
            captureWriteIndex = 0;
        if (captureWriteIndex < size) // a wrap of 0 must not write into an empty buffer
            capture[captureWriteIndex] = scope[i];
        captureWriteIndex += 1;
    }
}

// Mixes the analyser's loaded audio, looped, into both channels after copy and capture.
void JuceDemoPluginAudioProcessor::playAnalyserAudio(juce::AudioBuffer<float>& buffer, int numSamples,
                                                     double sampleRate)
{
    if (playSample == 0 || numSamples <= 0 || buffer.getNumChannels() == 0)
        return;

    const juce::SpinLock::ScopedTryLockType loaderIdle(sampleBufferLock);
    if (!loaderIdle.isLocked())
        return; // a file is being loaded: skip this block rather than wait for it

    const int length = std::min(sampleLength, sampleBuffer.getNumSamples());
    if (length <= 0 || sampleBuffer.getNumChannels() == 0)
        return;

    const double step = sampleFileRate / sampleRate;
    const float* source = sampleBuffer.getReadPointer(0);
    float* left = buffer.getWritePointer(0);
    float* right = buffer.getNumChannels() > 1 ? buffer.getWritePointer(1) : nullptr;

    for (int i = 0; i < numSamples; ++i)
    {
        if (!(samplePlayPosition < length) || samplePlayPosition < 0.0)
            samplePlayPosition = 0.0;
        const float value = source[static_cast<int>(samplePlayPosition)];
        left[i] += value;
        if (right != nullptr)
            right[i] += value;
        samplePlayPosition += step;
    }
}
