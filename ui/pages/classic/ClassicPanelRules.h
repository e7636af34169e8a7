#pragma once

#include <array>

#include <juce_graphics/juce_graphics.h>

#include "patterns/Vst303Pattern.h"
#include "ui/framework/MyCustomDisplay.h"

// The classic front panel's fixed tables and its geometry and display rules, apart from the
// component so they can be checked alone. Panel units are multiplied by the page's scale.
namespace classicpanel
{
constexpr int kButtonCount = 34;
constexpr int kLampCount = 21;
constexpr int kChaseLength = 27;
constexpr int kLengthZone = 1000; // the pattern-length read-out, dragged vertically
constexpr int kStepZone = 1001;   // the step read-out, dragged vertically
constexpr int kFirstNoteTag = 200;
constexpr int kLastNoteTag = 212;
constexpr int kHiddenAnimationPitch = 24;
constexpr std::uint8_t kHiddenAnimationFlags = 0x1E;

struct LampCentre
{
    float x, y;
};
} // namespace classicpanel

// Push areas over the keys and buttons (only tag, x, y, w and h are used), the lamp centres and
// the order of the start-up light chase.
extern const PanelControl buttonlist[classicpanel::kButtonCount];
extern const int buttonlist_count;
extern const classicpanel::LampCentre lamps[classicpanel::kLampCount];
extern const int lampAnimation[classicpanel::kChaseLength];
extern const int lampAnimationSize;

namespace classicpanel
{
// The drawn box of a button: its table rectangle scaled and truncated.
juce::Rectangle<int> buttonBox(int index, float scale);

// The box a press must fall in: the drawn box grown by trunc(8 x scale) on each side, except for
// the four small shift and transpose buttons, which are hard to miss otherwise.
juce::Rectangle<int> buttonHitBox(int index, float scale);

// What a press at a pixel selects: a drag zone over any box, else the last box in table order
// that holds the point, else -1.
int pressTarget(juce::Point<int> p, float scale);

// Pattern length after a drag of the length read-out: four pixels up per step, in 1..64.
int lengthAfterDrag(int dy, int startLength);

// Edit cursor wanted after a drag of the step read-out: eight pixels up per step (unclamped).
int stepAfterDrag(int dy, int startStep);

// One lamp's state in a paint: lit or not, and its colour.
struct Lamp
{
    bool drawn = true; // false: not drawn at all
    bool lit = false;
    juce::Colour colour = juce::Colours::white;
};

// Pitch lamps 0..12 for a step's signed pitch: the semitone on lamps 0-11 in its octave band's
// colour, a C also on lamp 12 in the colour of the band below; none for negative pitches, none
// drawn from pitch 48 on.
std::array<Lamp, 13> pitchLamps(int pitch);

// Colour of a lamp lit by the start-up chase.
juce::Colour chaseColour(int lamp);

// MIDI note a note key previews for a step: the step's pitch in the voice's range with its
// octave flags.
int previewNoteFor(const step_t& step);
int octaveOffset(const step_t& step);

// Whether a dropped file is audio for the analyser or a pattern file, by its ending, any case.
bool isAudioDrop(const juce::String& path);
bool isPatternDrop(const juce::String& path);

// Whether step 0 starts the hidden animation.
bool hiddenAnimationWanted(const Vst303Pattern& pattern);
} // namespace classicpanel
