#include "processor/HostStateWatcher.h"

#include "processor/HostStateFingerprint.h"
#include "processor/PluginProcessor.h"

namespace oxn3
{
HostStateWatcher::HostStateWatcher(JuceDemoPluginAudioProcessor& owner) : processor(owner), known(take())
{
    // Without a message manager (a fuzzing harness) no timer would ever run.
    if (juce::MessageManager::getInstanceWithoutCreating() != nullptr)
        startTimerHz(kChecksPerSecond);
}

HostStateWatcher::~HostStateWatcher()
{
    stopTimer();
}

void HostStateWatcher::timerCallback()
{
    check();
}

void HostStateWatcher::watchEditor(juce::Component& editor)
{
    editor.addComponentListener(this);
}

void HostStateWatcher::componentBeingDeleted(juce::Component&)
{
    check();
}

void HostStateWatcher::check()
{
    bool changed = false;
    {
        const juce::ScopedLock hold(lock);
        if (recallsUnderWay > 0)
            return;
        const Snapshot now = take();
        changed = isUnreportedEdit(now);
        known = now;
    }
    // Outside the lock: the host may call back.
    if (changed)
        processor.updateHostDisplay(juce::AudioProcessorListener::ChangeDetails().withNonParameterStateChanged(true));
}

HostStateWatcher::Snapshot HostStateWatcher::take() const
{
    return {storedStateFingerprint(processor), processor.synth->currentPattern, processor.keyOrderCounter};
}

bool HostStateWatcher::isUnreportedEdit(const Snapshot& now) const
{
    if (now.stored != known.stored)
        return true;
    return now.currentPattern != known.currentPattern && !patternChosenByMidi(now);
}

// A note picks its pattern in pattern mode, and a note-off goes back to the newest key still
// held: a new note since the last look, or a held key that is the pattern, tells such a choice.
bool HostStateWatcher::patternChosenByMidi(const Snapshot& now) const
{
    if (processor.MidiMode != kPatternMode)
        return false;
    const bool heldKey = now.currentPattern >= 0 && now.currentPattern < kNumMidiNotes
                         && processor.heldVelocity[now.currentPattern] > 0;
    return now.notesPlayed != known.notesPlayed || heldKey;
}

HostStateWatcher::Recall::Recall(HostStateWatcher& w) : watcher(w)
{
    const juce::ScopedLock hold(watcher.lock);
    editUnreported = watcher.isUnreportedEdit(watcher.take());
    ++watcher.recallsUnderWay;
}

HostStateWatcher::Recall::~Recall()
{
    const juce::ScopedLock hold(watcher.lock);
    --watcher.recallsUnderWay;
    if (!editUnreported)
        watcher.known = watcher.take();
}
} // namespace oxn3
