#include "ui/widgets/DisplayRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace oxn3
{
static int limitPattern(int p)
{
    return std::clamp(p, 0, kLastSelectablePattern);
}

void midiNoteText(char* out, int note)
{
    static const char names[] = "C-C#D-D#E-F-F#G-G#A-A#B-";
    note = std::clamp(note, 0, 127);
    const char* name = names + 2 * (note % 12);
    const int octave = note / 12 - 2;
    if (name[1] == '-')
        std::snprintf(out, 5, "%c%d", name[0], octave);
    else
        std::snprintf(out, 5, "%c%c%d", name[0], name[1], octave);
}

void patternStatusText(char* out, std::size_t size, int pattern)
{
    char note[5];
    midiNoteText(note, pattern);
    std::snprintf(out, size, "Pattern: %d, Midi Note: %s", pattern, note);
}

int digitsZone(int x, int width, float scale)
{
    if ((float)x <= 13.0f * scale) return 0;
    if ((float)x > (float)width - 13.0f * scale) return 2;
    return 1;
}

int dragPattern(int pattern, int y, int lastY)
{
    return limitPattern((int)((float)pattern - 0.5f * (float)(y - lastY)));
}

int wheelPattern(int pattern, float deltaY, bool reversed)
{
    const float d = reversed ? -deltaY : deltaY;
    if (!std::isfinite(d)) return limitPattern(pattern);
    const float step = d > 0.0f ? std::ceil(d) : std::floor(d);
    // A huge delta must not overflow the int conversion.
    return limitPattern(pattern + (int)std::clamp(step, -256.0f, 256.0f));
}

int splashAlpha(int t)
{
    const float fade = (float)t / 10.0f;
    return fade > 1.0f ? 255 : std::max(0, (int)(fade * 255.0f));
}
} // namespace oxn3
