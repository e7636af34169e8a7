#include "ui/pages/classic/ClassicPanelRules.h"

#include <cmath>

namespace
{
PanelControl button(int tag, float x, float y, float w, float h)
{
    PanelControl c;
    c.tag = tag;
    c.x = x;
    c.y = y;
    c.w = w;
    c.h = h;
    return c;
}

constexpr float kGrow = 8.0f;

// The shift-left/right and transpose-up/down buttons sit so close together that grown boxes
// would swallow each other.
bool isSmallButton(int index)
{
    return index == 28 || index == 29 || index == 31 || index == 32;
}

int trunc(float v)
{
    return static_cast<int>(v);
}

const juce::Colour kWhite(255, 255, 255);
const juce::Colour kRed(255, 0, 0);
const juce::Colour kYellow(255, 255, 0);
constexpr int kOctave = 12;
constexpr int kPreviewBaseNote = 36;
constexpr int kUndrawnFromPitch = 48;
} // namespace

// Keys: white at y 82, black at y 30, 35 units apart from x 141; then the function buttons.
const PanelControl buttonlist[classicpanel::kButtonCount] = {
    button(200, 141, 82, 15, 30), button(201, 158, 30, 15, 30), button(202, 176, 82, 15, 30),
    button(203, 193, 30, 15, 30), button(204, 211, 82, 15, 30), button(205, 246, 82, 15, 30),
    button(206, 263, 30, 15, 30), button(207, 281, 82, 15, 30), button(208, 298, 30, 15, 30),
    button(209, 316, 82, 15, 30), button(210, 333, 30, 15, 30), button(211, 351, 82, 15, 30),
    button(212, 387, 82, 15, 30), button(216, 423, 82, 15, 30), button(217, 458, 82, 15, 30),
    button(218, 493, 82, 15, 30), button(219, 529, 82, 15, 30), button(215, 501, 30, 30, 15),
    button(223, 575, 41, 30, 15), button(222, 568, 82, 45, 30), button(221, 19, 14, 30, 15),
    button(233, 11, 82, 45, 30),  button(213, 82, 14, 30, 15),  button(229, 72, 71, 15, 15),
    button(230, 107, 71, 15, 15), button(214, 82, 41, 30, 15),  button(231, 423, 15, 15, 30),
    button(232, 457, 15, 15, 30), button(225, 14, 47, 14, 13),  button(226, 39, 47, 14, 13),
    button(220, 92, 100, 30, 15), button(227, 27, 42, 13, 12),  button(228, 27, 53, 13, 12),
    button(224, 575, 14, 30, 15)};
const int buttonlist_count = classicpanel::kButtonCount;

const classicpanel::LampCentre lamps[classicpanel::kLampCount] = {
    {151, 74}, {168, 22}, {186, 74}, {203, 22}, {221, 74}, {256, 74}, {273, 22},
    {291, 74}, {308, 22}, {326, 74}, {343, 22}, {361, 74}, {397, 74}, {433, 74},
    {468, 74}, {503, 74}, {539, 74}, {519, 22}, {36, 74},  {84, 107}, {592, 21}};

// White-key lamps and the four function lamps left to right and back, then gate, run/stop,
// auto-advance and step record.
const int lampAnimation[classicpanel::kChaseLength] = {0,  2,  4,  5,  7,  9,  11, 12, 13, 14, 15, 16, 15, 14,
                                                      13, 12, 11, 9,  7,  5,  4,  2,  0,  17, 18, 19, 20};
const int lampAnimationSize = classicpanel::kChaseLength;

namespace classicpanel
{
juce::Rectangle<int> buttonBox(int index, float scale)
{
    const PanelControl& b = buttonlist[index];
    return {trunc(b.x * scale), trunc(b.y * scale), trunc(b.w * scale), trunc(b.h * scale)};
}

juce::Rectangle<int> buttonHitBox(int index, float scale)
{
    const juce::Rectangle<int> box = buttonBox(index, scale);
    if (isSmallButton(index))
        return box;
    const int g = trunc(kGrow * scale);
    return {box.getX() - g, box.getY() - g, juce::jmax(0, box.getWidth() + 2 * g),
            juce::jmax(0, box.getHeight() + 2 * g)};
}

int pressTarget(juce::Point<int> p, float scale)
{
    const float px = static_cast<float>(p.x), py = static_cast<float>(p.y);
    if (px >= 92 * scale && px < 104 * scale && py >= 74 * scale && py < 85 * scale)
        return kLengthZone;
    if (px >= 575 * scale && px < 604 * scale && py >= 59 * scale && py < 73 * scale)
        return kStepZone;
    int hit = -1;
    for (int i = 0; i < kButtonCount; ++i)
        if (buttonHitBox(i, scale).contains(p))
            hit = i;
    return hit;
}

int lengthAfterDrag(int dy, int startLength)
{
    const int length = trunc(static_cast<float>(dy) * -0.25f + static_cast<float>(startLength));
    return juce::jlimit(1, Vst303Pattern::kMaxSteps, length);
}

int stepAfterDrag(int dy, int startStep)
{
    return trunc(static_cast<float>(dy) * -0.125f + static_cast<float>(startStep));
}

std::array<Lamp, 13> pitchLamps(int pitch)
{
    std::array<Lamp, 13> out{};
    if (pitch >= kUndrawnFromPitch)
    {
        for (Lamp& l : out)
            l.drawn = false;
        return out;
    }
    if (pitch < 0)
        return out;
    const int band = pitch < kOctave ? 0 : pitch / kOctave;
    const int n = pitch - kOctave * band;
    const juce::Colour bandColour[4] = {kWhite, kRed, kYellow, kYellow};
    const juce::Colour highCColour[4] = {kWhite, kWhite, kRed, kYellow};
    if (n > 0 || band < 3)
        out[static_cast<size_t>(n)] = {true, true, bandColour[band]};
    for (int k = 0; k < kOctave; ++k)
        out[static_cast<size_t>(k)].colour = bandColour[band];
    out[12] = {true, band > 0 && n == 0, highCColour[band]};
    return out;
}

juce::Colour chaseColour(int lamp)
{
    const juce::Colour colours[3] = {kWhite, kRed, kYellow};
    return colours[lamp % 3];
}

int octaveOffset(const step_t& step)
{
    return (step.has(step_t::kUp) ? kOctave : 0) - (step.has(step_t::kDown) ? kOctave : 0);
}

int previewNoteFor(const step_t& step)
{
    return step.pitch + kPreviewBaseNote + octaveOffset(step);
}

bool isAudioDrop(const juce::String& path)
{
    const juce::String p = path.toLowerCase();
    return p.endsWith("mp3") || p.endsWith("wav") || p.endsWith("aif");
}

bool isPatternDrop(const juce::String& path)
{
    return path.toLowerCase().endsWith("pat");
}

bool hiddenAnimationWanted(const Vst303Pattern& pattern)
{
    const step_t& s = pattern.steps[0];
    return s.pitch == kHiddenAnimationPitch && (s.flags & kHiddenAnimationFlags) == kHiddenAnimationFlags;
}
} // namespace classicpanel
