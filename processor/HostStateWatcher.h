#pragma once

#include <cstdint>

#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

class JuceDemoPluginAudioProcessor;

namespace oxn3
{
// Tells the host when what its saved state holds changes other than through a parameter, so that
// a song knows it needs saving: pattern edits from every page, the menu and MIDI, options, learn
// tables, tuning, randomiser settings, the editor size. Edits reach the state from too many roads
// to tell the host at each, so the state's fingerprint is compared a few times a second on the
// message thread, and the host hears once per look that finds a change (VST3: setDirty; LV2:
// state:StateChanged).
//
// A recall is the host's own doing: what it recalls becomes what the host knows, on whatever
// thread it recalls. A pattern that a MIDI note picks in pattern mode is the song playing, not an
// edit: the current pattern counts only when it changes another way (in the window).
class HostStateWatcher : private juce::Timer, private juce::ComponentListener
{
public:
    static constexpr int kChecksPerSecond = 4;

    // Takes the processor's present state as the one the host knows; the processor outlives it.
    explicit HostStateWatcher(JuceDemoPluginAudioProcessor& processor);
    ~HostStateWatcher() override;

    // One look: tells the host when the state differs from what it knows. Message thread.
    void check();

    // Takes a last look as the editor goes: an edit made just before the window closed is told
    // also in a host that runs no message loop for the plug-in once its window is gone (VST3 on
    // Linux). The editor must go before this watcher, as it goes before the processor.
    void watchEditor(juce::Component& editor);

    // Lives for the length of one recall, on the host's thread. A look waits for no recall: it
    // passes over a state the recall has half written.
    class Recall
    {
    public:
        explicit Recall(HostStateWatcher& watcher);
        ~Recall();

    private:
        HostStateWatcher& watcher;
        bool editUnreported = false; // an edit made before the recall stays to be reported

        JUCE_DECLARE_NON_COPYABLE(Recall)
    };

private:
    struct Snapshot
    {
        std::uint64_t stored = 0;
        int currentPattern = 0;
        int notesPlayed = 0;
    };

    void timerCallback() override;
    void componentBeingDeleted(juce::Component& editor) override;
    Snapshot take() const;
    bool isUnreportedEdit(const Snapshot& now) const;
    bool patternChosenByMidi(const Snapshot& now) const;

    JuceDemoPluginAudioProcessor& processor;
    juce::CriticalSection lock; // guards the two fields below, held only while comparing
    Snapshot known;             // the state as the host knows it
    int recallsUnderWay = 0;

    JUCE_DECLARE_NON_COPYABLE(HostStateWatcher)
};
} // namespace oxn3
