#include "processor/ParameterTable.h"

#include <cmath>

namespace oxn3
{
namespace
{
constexpr const char* kPageNames[] = {"Classic Edit", "Pattern Edit", "Audio Analyzer", "Advanced Randomizer",
                                      "Preferences / Setup"};
constexpr int kNumPages = 5;

constexpr const char* kDistModeNames[] = {"Bypass", "Saturate", "Diode", "Clip", "Rectify", "Fold"};
constexpr int kNumDistModes = 6;

constexpr const char* kRandomiserNames[] = {
    "Pat.Length", "R.Note",      "R.Gate",      "R.Slide",     "R.Accent",    "R.Root",    "R.Scale C",
    "R.Scale C#", "R.Scale D",   "R.Scale D#",  "R.Scale E",   "R.Scale F",   "R.Scale F#", "R.Scale G",
    "R.Scale G#", "R.Scale A",   "R.Scale A#",  "R.Scale B",   "R.Fixed",     "R.Lower",   "R.Upper",
    "R.Lower2",   "R.Upper2",    "R.Apply",     "R.NextSeed"};

// Panel button ids 200..236; empty entries have no name.
constexpr const char* kPanelButtonNames[] = {
    "C",           "C#",          "D",             "D#",           "E",      "F",     "F#",         "G",
    "G#",          "A",           "A#",            "B",            "C",      "Random", "Alter",     "Gate",
    "Down",        "Up",          "Accent",        "Slide",        "Auto Adv", "Clear", "Next",     "Back",
    "Step Rec",    "Shift Left",  "Shift Right",   "Transpose Up", "Tranpose Down", "Steps Decrease",
    "Steps Increase", "",         "",              "",             "Note On", "Note Rest", "Note Tie"};

static_assert(sizeof(kRandomiserNames) / sizeof(kRandomiserNames[0]) == kLastRandomiserId - kFirstRandomiserId + 1,
              "one name per randomiser id");
static_assert(sizeof(kPanelButtonNames) / sizeof(kPanelButtonNames[0]) == kLastPanelButtonId - kFirstPanelButtonId + 1,
              "one name per panel button id");

int truncatedPercent(float value)
{
    return static_cast<int>(value * 100.0f);
}

// Name chosen by int(value x count); out-of-range selections read "N/A".
juce::String choiceText(float value, const char* const* names, int count)
{
    const float scaled = value * static_cast<float>(count - 1);
    if (!(scaled > -1.0f && scaled < static_cast<float>(count)))
        return "N/A";
    const int choice = static_cast<int>(scaled);
    return (choice >= 0 && choice < count) ? juce::String(names[choice]) : juce::String("N/A");
}

// Index of `text` among `names` (case-insensitive), or -1.
int findChoice(const juce::String& text, const char* const* names, int count)
{
    const juce::String trimmed = text.trim();
    for (int i = 0; i < count; ++i)
        if (trimmed.equalsIgnoreCase(names[i]))
            return i;
    return -1;
}
// "50%, +3.0 semitones" or just "+3 semitones".
double semitonesIn(const juce::String& text)
{
    const juce::String afterComma = text.fromFirstOccurrenceOf(",", false, false);
    return (afterComma.isEmpty() ? text : afterComma).getDoubleValue();
}

// The smallest value whose truncated percentage reads `percent` again (29% must not come back as 28%).
float valueShowingPercent(double percent)
{
    const float target = static_cast<float>(juce::jlimit(0.0, 100.0, percent));
    float value = target / 100.0f;
    while (static_cast<float>(truncatedPercent(value)) < std::floor(target) && value < 1.0f)
        value = std::nextafter(value, 2.0f);
    return value;
}
} // namespace

// clang-format off
const ParameterInfo kParameters[kNumParameters] = {
    {kTuning,    "tuning",    "Tuning",    0.5,  tuningText,   EditorText::NamePrefixed, "Tuning",    0.5},
    {kCutoff,    "cutoff",    "Cutoff",    0.0,  percentText,  EditorText::NamePrefixed, "Cutoff",    0.0},
    {kResonance, "resonance", "Resonance", 0.0,  percentText,  EditorText::NamePrefixed, "Resonance", 0.0},
    {kEnvmod,    "envmod",    "Envmod",    0.0,  percentText,  EditorText::NamePrefixed, "Envmod",    0.0},
    {kDecay,     "decay",     "Decay",     0.0,  percentText,  EditorText::NamePrefixed, "Decay",     0.0},
    {kAccent,    "accent",    "Accent",    0.0,  percentText,  EditorText::NamePrefixed, "Accent",    0.0},
    {kVolume,    "volume",    "Volume",    0.75, percentText,  EditorText::NamePrefixed, "Volume",    0.0},
    {kEditView,  "editView",  "Edit View", 0.0,  editViewText, EditorText::ValueOnly,    "Pattern",   0.0},
    {kWaveform,  "waveform",  "Waveform",  0.0,  waveformText, EditorText::NamePrefixed, "Waveform",  0.0},
    {kHighpass,  "highpass",  "Highpass",  0.0,  percentText,  EditorText::NamePrefixed, "Highpass",  0.0},
    {kDrive,     "drive",     "Drive",     0.0,  percentText,  EditorText::NamePrefixed, "Drive",     0.5},
    {kDistort,   "distort",   "Distort",   0.0,  percentText,  EditorText::NamePrefixed, nullptr,     0.0},
    {kDistMode,  "distMode",  "Dist.Mode", 0.0,  distModeText, EditorText::ValueOnly,    nullptr,     0.0},
    {kResoTrim,  "resoTrim",  "Reso Trim", 0.0,  percentText,  EditorText::NamePrefixed, nullptr,     0.0},
    {kGateTrim,  "gateTrim",  "Gate Trim", 0.0,  percentText,  EditorText::NamePrefixed, nullptr,     0.0},
    {kDetune,    "detune",    "Detune",    0.0,  percentText,  EditorText::NamePrefixed, nullptr,     0.0},
    {kBass,      "bass",      "Bass",      0.5,  percentText,  EditorText::NamePrefixed, "BassBoost", 0.5},
    {kVcfTrim,   "vcfTrim",   "VCF Trim",  0.5,  percentText,  EditorText::NamePrefixed, nullptr,     0.0},
};
// clang-format on

bool isParameterIndex(int index)
{
    return index >= 0 && index < kNumParameters;
}

juce::String percentText(float value)
{
    return juce::String(truncatedPercent(value)) + "%";
}

juce::String tuningText(float value)
{
    const double semitones = (static_cast<double>(value) - 0.5) * 24.0;
    return juce::String::formatted("%d%%, %+2.1f semitones", truncatedPercent(value), semitones);
}

juce::String editViewText(float value)
{
    return choiceText(value, kPageNames, kNumPages);
}

juce::String waveformText(float value)
{
    return value > 0.5f ? "Square" : "Saw";
}

juce::String distModeText(float value)
{
    return choiceText(value, kDistModeNames, kNumDistModes);
}

juce::String learnTargetName(int id)
{
    if (isParameterIndex(id))
        return kParameters[id].name;
    if (id >= kFirstRandomiserId && id <= kLastRandomiserId)
        return kRandomiserNames[id - kFirstRandomiserId];
    if (id >= kFirstPanelButtonId && id <= kLastPanelButtonId)
        return kPanelButtonNames[id - kFirstPanelButtonId];
    return {};
}

juce::String hostValueText(int index, float value)
{
    return isParameterIndex(index) ? kParameters[index].hostText(value) : juce::String();
}

juce::String editorValueText(int id, float value)
{
    if (isParameterIndex(id) && kParameters[id].editorText == EditorText::ValueOnly)
        return hostValueText(id, value);
    const juce::String valueText = isParameterIndex(id) ? hostValueText(id, value) : percentText(value);
    return learnTargetName(id) + ": " + valueText;
}

float valueFromHostText(int index, const juce::String& text)
{
    if (!isParameterIndex(index))
        return 0.0f;

    float value = 0.0f;
    const ValueTextFunction kind = kParameters[index].hostText;
    const int page = findChoice(text, kPageNames, kNumPages);
    const int mode = findChoice(text, kDistModeNames, kNumDistModes);

    if (kind == editViewText && page >= 0)
        value = static_cast<float>(page) / static_cast<float>(kNumPages - 1);
    else if (kind == distModeText && mode >= 0)
        value = static_cast<float>(mode) / static_cast<float>(kNumDistModes - 1);
    else if (kind == waveformText && text.trim().equalsIgnoreCase("Square"))
        value = 1.0f;
    else if (kind == waveformText && text.trim().equalsIgnoreCase("Saw"))
        value = 0.0f;
    else if (kind == tuningText && text.containsIgnoreCase("semitone"))
        value = static_cast<float>(0.5 + semitonesIn(text) / 24.0);
    else
        value = valueShowingPercent(text.getDoubleValue());

    return juce::jlimit(0.0f, 1.0f, value);
}
} // namespace oxn3
