#pragma once

#include <juce_core/juce_core.h>

// The 18 host parameters, declared once: the processor, the host parameter objects and the
// host-state code all read this table. Values are 0..1.
namespace oxn3
{
constexpr int kNumParameters = 18;

enum ParameterIndex
{
    kTuning = 0,
    kCutoff,
    kResonance,
    kEnvmod,
    kDecay,
    kAccent,
    kVolume,
    kEditView,
    kWaveform,
    kHighpass,
    kDrive,
    kDistort,
    kDistMode,
    kResoTrim,
    kGateTrim,
    kDetune,
    kBass,
    kVcfTrim
};

// MIDI-learn target ids share one number space with the parameter indices.
constexpr int kNoLearnTarget = -1;
constexpr int kFirstRandomiserId = 100;
constexpr int kPatternLengthTarget = 100; // first of the randomiser ids: a controller sets the length
constexpr int kLastRandomiserId = 124;
constexpr int kFirstPanelButtonId = 200;
constexpr int kLastPanelButtonId = 236;

using ValueTextFunction = juce::String (*)(float value);

// How the editor's status line shows a value: "<name>: <value text>" or the value text alone.
enum class EditorText
{
    NamePrefixed,
    ValueOnly
};

struct ParameterInfo
{
    int index;
    const char* id;             // stable host id; never change it, hosts store automation by it
    const char* name;           // getParameterName
    double defaultValue;
    ValueTextFunction hostText; // getParameterText
    EditorText editorText;
    const char* stateAttribute; // attribute in the saved state, nullptr = not saved as a parameter
    double stateReadDefault;    // value taken when a saved state lacks the attribute
};

extern const ParameterInfo kParameters[kNumParameters];

bool isParameterIndex(int index);

// Value texts; "int(x)" truncates, v x 100 in single precision.
juce::String percentText(float value);   // "50%"
juce::String tuningText(float value);    // "50%, +0.0 semitones"
juce::String editViewText(float value);  // page names
juce::String waveformText(float value);  // "Saw" / "Square"
juce::String distModeText(float value);  // "Bypass" .. "Fold"

// getParameterName for every MIDI-learn id: parameter names, then the randomiser and panel ids.
juce::String learnTargetName(int id);

// Host text of parameter `index` at `value`; empty for indices outside the table.
juce::String hostValueText(int index, float value);

// Status-line text of learn target `id` at `value` (callers pass 0 for ids above 17).
juce::String editorValueText(int id, float value);

// Inverse of hostValueText, for hosts that let the user type a value; clamped to 0..1.
float valueFromHostText(int index, const juce::String& text);
} // namespace oxn3
