// MIDI input on the audio thread: pattern mode (a key selects and starts its pattern, held keys
// form a stack, releasing the last one stops), note mode (keys play the voice with legato
// slides), all-notes-off, pitch wheel and sustain-pedal step recording. Learned and mapped
// controllers and keys are in MidiLearn.cpp.
#include <algorithm>

#include "processor/PluginProcessor.h"

namespace
{
constexpr int kStepRecordingOn = 1;

int clampedNote(int note)
{
    return juce::jlimit(0, oxn3::kNumMidiNotes - 1, note);
}

// The held key pressed last, or -1.
int newestHeldKey(const int* velocity, const int* order)
{
    int newest = -1;
    for (int key = 0; key < oxn3::kNumMidiNotes; ++key)
        if (velocity[key] > 0 && (newest < 0 || order[key] > order[newest]))
            newest = key;
    return newest;
}

int heldKeyCount(const int* velocity)
{
    return static_cast<int>(std::count_if(velocity, velocity + oxn3::kNumMidiNotes, [](int v) { return v > 0; }));
}
} // namespace

void JuceDemoPluginAudioProcessor::handleMidiEvent(juce::MidiMessage message)
{
    const int note = clampedNote(message.getNoteNumber());
    lastMidiNote = message.getRawDataSize() > 1 ? message.getRawData()[1] : 0;

    // The controllers 120, 123 and 64 are tested before any other controller: they can never be learned.
    if (message.isNoteOn())
    {
        handleNoteOnMessage(note, message.getVelocity());
    }
    else if (message.isNoteOff()) // a note-on with velocity 0 included
    {
        handleNoteOffMessage(note);
    }
    else if (message.isAllNotesOff() || message.isAllSoundOff())
    {
        synth->setRunStop(0);
        stopEngine(); // whatever the host transport does
    }
    else if (message.isPitchWheel())
    {
        synth->pitchBend = message.getPitchWheelValue();
    }
    else if (message.isSustainPedalOn())
    {
        synth->stepRecord = kStepRecordingOn;
        synth->setEditNote(0); // recording starts at the first step
    }
    else if (message.isSustainPedalOff())
    {
        synth->stepRecord = 0;
    }
    else if (message.isController())
    {
        handleControllerMessage(message.getControllerNumber(), message.getControllerValue());
    }
    // Key pressure, channel pressure, program changes and system messages are ignored.
}

void JuceDemoPluginAudioProcessor::handleNoteOnMessage(int note, int velocity)
{
    midiActivity = oxn3::kMidiActivityOnNote;
    if (MidiMode == oxn3::kNoteMode)
        NoteOn(note, velocity);
    if (MidiMode != oxn3::kPatternMode)
        return;

    if (takeKeyForLearnOrMapping(note))
        return;
    if (synth->stepRecord == kStepRecordingOn)
        NoteOn(note, velocity); // the engine records the note at the cursor
    if (synth->stepRecord != 0)
        return;

    heldVelocity[note] = velocity;
    heldOrder[note] = keyOrderCounter++;
    if (!PatternLock)
        synth->currentPattern = note;
    if (synth->hostPlaying)
        return; // the host transport drives the sequencer; the pattern takes over at the next step

    // Restart from step 0, also when already running: stopping first makes setRunStop reset.
    synth->setRunStop(0);
    synth->setRunStop(1);
}

void JuceDemoPluginAudioProcessor::handleNoteOffMessage(int note)
{
    if (MidiMode == oxn3::kNoteMode)
        NoteOff(note);
    if (MidiMode != oxn3::kPatternMode)
        return;

    if (isKeyTakenByLearnOrMapping(note))
        return;
    if (synth->stepRecord == kStepRecordingOn)
        NoteOff(note);
    if (synth->stepRecord != 0)
        return;

    heldVelocity[note] = 0;
    const int newest = newestHeldKey(heldVelocity, heldOrder);
    if (newest < 0)
    {
        if (!synth->hostPlaying)
            stopEngine();
    }
    else if (!PatternLock)
    {
        synth->currentPattern = newest; // back to the key still held, without a restart
    }
}

void JuceDemoPluginAudioProcessor::NoteOn(int note, int velocity)
{
    const int key = clampedNote(note);
    heldVelocity[key] = velocity;
    heldOrder[key] = keyOrderCounter++;
    if (heldKeyCount(heldVelocity) == 1)
        synth->NoteOn(key, velocity);
    else
        synth->SlideTo(key, velocity); // legato from the key still held
}

void JuceDemoPluginAudioProcessor::NoteOff(int note)
{
    const int key = clampedNote(note);
    heldVelocity[key] = 0;
    const int newest = newestHeldKey(heldVelocity, heldOrder);
    if (newest >= 0)
        synth->SlideTo(newest, heldVelocity[newest]); // back to the newest key still held
    else
        synth->NoteOff(key);
}
