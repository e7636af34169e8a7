// MIDI learn: while learn is on, the next controller or key binds to the control touched last;
// mapped controllers then set host parameters and randomiser settings, mapped keys press the
// front panel's pattern-edit buttons.
#include <algorithm>
#include <iterator>

#include "engine/SwitchBoardCommands.h"
#include "processor/PluginProcessor.h"

namespace
{
constexpr int kNoCommand = -1;
constexpr int kStepRecordCommand = 50; // "Step Rec": the switchboard has no such command

// Switchboard command of each panel button id 200..236.
constexpr int kPanelButtonCommands[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, oxn3::kCommandNoteHighC, // 200..212: note keys
    oxn3::kCommandRandomize,       // 213 "Random"
    oxn3::kCommandAlter,           // 214 "Alter"
    oxn3::kCommandToggleGate,      // 215 "Gate"
    oxn3::kCommandToggleDown,      // 216 "Down"
    oxn3::kCommandToggleUp,        // 217 "Up"
    oxn3::kCommandToggleAccent,    // 218 "Accent"
    oxn3::kCommandToggleSlide,     // 219 "Slide"
    oxn3::kCommandAutoAdvance,     // 220 "Auto Adv"
    oxn3::kCommandClear,           // 221 "Clear"
    oxn3::kCommandCursorForward,   // 222 "Next"
    oxn3::kCommandCursorBack,      // 223 "Back"
    kStepRecordCommand,            // 224 "Step Rec"
    oxn3::kCommandShiftEarlier,    // 225 "Shift Left"
    oxn3::kCommandShiftLater,      // 226 "Shift Right"
    oxn3::kCommandTransposeUp,     // 227 "Transpose Up"
    oxn3::kCommandTransposeDown,   // 228 "Tranpose Down"
    oxn3::kCommandLengthDown,      // 229 "Steps Decrease"
    oxn3::kCommandLengthUp,        // 230 "Steps Increase"
    kNoCommand, kNoCommand, kNoCommand, // 231..233
    oxn3::kCommandCursorAdvance,   // 234 "Note On"
    oxn3::kCommandInsertRest,      // 235 "Note Rest"
    oxn3::kCommandInsertTie,       // 236 "Note Tie"
};
static_assert(std::size(kPanelButtonCommands) == oxn3::kLastPanelButtonId - oxn3::kFirstPanelButtonId + 1,
              "one command per panel button id");

// Randomiser ids 100..124.
enum RandomiserId
{
    kPatternLengthId = oxn3::kPatternLengthTarget,
    kNoteDensityId = 101,
    kGateDensityId = 102,
    kSlideDensityId = 103,
    kAccentDensityId = 104,
    kRootId = 105,
    kScaleCId = 106, // 106..117: C .. B
    kScaleBId = 117,
    kFixedScaleId = 118,
    kLowerRangeId = 119,
    kUpperRangeId = 120,
    kLowerRange2Id = 121,
    kUpperRange2Id = 122,
    kApplyId = 123,
    kNextSeedId = 124
};

constexpr int kPresetLengths[] = {3, 5, 6, 7, 8, 12, 16};
constexpr int kLastPresetIndex = static_cast<int>(std::size(kPresetLengths)) - 1;
constexpr int kLongestLearnedLength = 16;
constexpr float kControllerMaximum = 127.0f;
constexpr float kPercent = 100.0f;
constexpr float kHighestRoot = 11.0f;
constexpr int kSeedMask = 0x7FFFFFFF; // new seeds are non-negative, as rand() gives them

// The smallest index of `map` holding `id`, or -1.
int lowestEntryHolding(const int* map, int id)
{
    const int* found = std::find(map, map + oxn3::kNumMidiNotes, id);
    return found == map + oxn3::kNumMidiNotes ? -1 : static_cast<int>(found - map);
}

// Binds `number` to `target`, moving the binding away from the entry that held it.
void learn(int* map, int number, int target)
{
    const int previous = lowestEntryHolding(map, target);
    if (previous >= 0)
        map[previous] = oxn3::kNoLearnTarget;
    map[number] = target;
}

int onOff(float v)
{
    return v > 0.0f ? 1 : 0;
}

// Pattern length from a controller: a preset length or 1..16.
int learnedLength(float v, int lockToPresets)
{
    if (lockToPresets)
        return kPresetLengths[juce::jlimit(0, kLastPresetIndex, static_cast<int>(v * static_cast<float>(kLastPresetIndex)))];
    return juce::jlimit(1, kLongestLearnedLength, static_cast<int>(v * static_cast<float>(kLongestLearnedLength)));
}
} // namespace

bool JuceDemoPluginAudioProcessor::takeKeyForLearnOrMapping(int note)
{
    if (midiLearnActive && touchedParameter >= 0)
    {
        learn(midiKeyMap, note, touchedParameter);
        handleMidiKeyMapping(touchedParameter); // the key is not played
        return true;
    }
    if (!midiLearnActive && midiKeyMap[note] >= 0)
    {
        handleMidiKeyMapping(midiKeyMap[note]);
        return true;
    }
    return false; // with learn on and nothing touched, mapped keys play like unmapped ones
}

bool JuceDemoPluginAudioProcessor::isKeyTakenByLearnOrMapping(int note) const
{
    return midiLearnActive ? touchedParameter >= 0 : midiKeyMap[note] >= 0;
}

void JuceDemoPluginAudioProcessor::handleControllerMessage(int controller, int value)
{
    const int cc = juce::jlimit(0, oxn3::kNumMidiNotes - 1, controller);
    int target = midiCCMap[cc];
    if (midiLearnActive && touchedParameter >= 0)
    {
        learn(midiCCMap, cc, touchedParameter);
        target = touchedParameter; // and the value applies at once
    }

    if (oxn3::isParameterIndex(target))
        setParameter(target, static_cast<float>(value / static_cast<double>(kControllerMaximum)));
    else if (target >= oxn3::kFirstRandomiserId)
        handleMidiCC(target, value);
    // -1 (unmapped) and 18..99 do nothing.
}

void JuceDemoPluginAudioProcessor::handleMidiKeyMapping(int id)
{
    if (id >= oxn3::kFirstPanelButtonId && id <= oxn3::kLastPanelButtonId)
    {
        const int command = kPanelButtonCommands[id - oxn3::kFirstPanelButtonId];
        if (command != kNoCommand)
            synth->SwitchBoard(command);
    }
    guiRefresh = 1;
}

void JuceDemoPluginAudioProcessor::handleMidiCC(int id, int value)
{
    if (id < oxn3::kFirstRandomiserId || id > oxn3::kLastRandomiserId)
        return;

    const float v = static_cast<float>(value) / kControllerMaximum;
    AdvancedRandom_t& settings = advancedRandom;
    switch (id)
    {
    case kPatternLengthId:
        synth->activePattern().setLength(learnedLength(v, LockToPresetLengths));
        guiRefresh = 1;
        return; // the pattern is not regenerated
    case kNoteDensityId: settings.noteDensity = static_cast<int>(v * kPercent); break;
    case kGateDensityId: settings.gateDensity = static_cast<int>(v * kPercent); break;
    case kSlideDensityId: settings.slideDensity = static_cast<int>(v * kPercent); break;
    case kAccentDensityId: settings.accentDensity = static_cast<int>(v * kPercent); break;
    case kRootId: settings.root = static_cast<int>(v * kHighestRoot); break;
    case kFixedScaleId: settings.fixedScale = onOff(v); break;
    case kLowerRangeId: settings.lowerRange = onOff(v); break;
    case kUpperRangeId: settings.upperRange = onOff(v); break;
    case kLowerRange2Id: settings.lowerRange2 = onOff(v); break;
    case kUpperRange2Id: settings.upperRange2 = onOff(v); break;
    case kApplyId: settings.apply = onOff(v); break;
    case kNextSeedId:
        if (v < 1.0f)
            return; // only the top of the controller's travel draws a new seed
        // Not rand(): the C library's generator takes a lock, and this runs on the audio thread.
        settings.seed = newSeedSource.nextInt() & kSeedMask;
        break;
    default: // kScaleCId .. kScaleBId
        settings.scale[id - kScaleCId] = onOff(v);
        break;
    }

    guiRefresh = 1;
    // Every move restarts the generator from the seed, so the same settings give the same pattern.
    randomGenerator.state = static_cast<std::uint32_t>(settings.seed);
    synth->activePattern().AdvancedRandom(&settings, &randomGenerator);
}

void JuceDemoPluginAudioProcessor::resetMidiLearn()
{
    std::fill(std::begin(midiCCMap), std::end(midiCCMap), oxn3::kNoLearnTarget);
    std::fill(std::begin(midiKeyMap), std::end(midiKeyMap), oxn3::kNoLearnTarget);
}

int JuceDemoPluginAudioProcessor::LookupCC(int id)
{
    return lowestEntryHolding(midiCCMap, id);
}

int JuceDemoPluginAudioProcessor::LookupMidiKey(int id)
{
    return lowestEntryHolding(midiKeyMap, id);
}
