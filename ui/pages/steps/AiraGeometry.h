#pragma once
// Geometry and drag arithmetic of the step table, in design units of the 754 x 276 window.
// Plain functions so the mouse rules can be checked without a component.

#include <algorithm>
#include <cmath>

namespace oxn3::aira
{
constexpr int kColumns = 16;
constexpr int kRows = 7;
constexpr int kMaxPageOffset = 48;
constexpr int kLowestPitch = -12;
constexpr int kHighestPitch = 36;
constexpr int kTableBottom = 125; // last design row that still belongs to the table
constexpr int kBarTop = 128;

// Hover and press zones outside the table, in hover order.
enum Zone
{
    kZoneNone = -1,
    kZoneThumb = 1000,
    kZonePitchLabel = 1001,
    kZoneRunStop = 1002,
    kZoneClear = 1003,
    kZoneLength = 1004,
    kZoneBar = 1005,
};

// Drag modes of a press.
constexpr int kDragNone = -1;
constexpr int kDragPitch = 101;
constexpr int kDragFlagFirst = 102; // rows 2..6 paint 102..106
constexpr int kDragPitchBar = 107;

struct Box
{
    float x = 0, y = 0, w = 0, h = 0;
};

struct Layout
{
    float originX = 100;
    float originY = 0;
    float cellBoxWidth = 28;
    float cellBoxHeight = 12;
    float columnWidth = 32;
    float rowHeight = 18;
};

// Flag bit of each table row; rows 0 (step number) and 1 (pitch) have none.
constexpr unsigned char kRowFlag[kRows] = {0, 0, 0x01, 0x04, 0x02, 0x10, 0x08};

inline int columnAt(const Layout& l, int px)
{
    return static_cast<int>((px - 5 - l.originX) / l.columnWidth);
}

inline int rowAt(const Layout& l, int py)
{
    return static_cast<int>((py - 5 - l.originY) / l.rowHeight);
}

inline bool isCell(int column, int row)
{
    return column >= 0 && column < kColumns && row >= 0 && row < kRows;
}

inline Box thumbBox(const Layout& l, int pageOffset)
{
    return {l.originX + 5 + (kColumns * l.columnWidth - 5) * pageOffset / 64.0f, float(kBarTop),
            kColumns * l.columnWidth / 4 - 3, 6};
}

inline Box zoneBox(const Layout& l, int zone, int pageOffset)
{
    switch (zone)
    {
    case kZoneThumb: return thumbBox(l, pageOffset);
    case kZoneBar: return {l.originX + 5, float(kBarTop), kColumns * l.columnWidth - 3, 16};
    case kZonePitchLabel: return {l.originX - 50, l.originY + 2 + l.rowHeight, 50, l.cellBoxHeight + 4};
    case kZoneRunStop: return {3, 2, 40, 40};
    case kZoneClear: return {3, 47, 40, 40};
    case kZoneLength: return {3, 92, 40, 40};
    default: return {};
    }
}

// Zones compare in window pixels: the design point and the rectangle both times the scale.
inline bool zoneContains(const Box& b, float scale, int px, int py)
{
    const float x = px * scale, y = py * scale;
    return x >= b.x * scale && x < (b.x + b.w) * scale && y >= b.y * scale && y < (b.y + b.h) * scale;
}

// The zone under a design point outside the table area; the first in hover order wins.
inline int zoneAt(const Layout& l, int pageOffset, float scale, int px, int py)
{
    static constexpr int kOrder[] = {kZoneThumb, kZoneBar, kZonePitchLabel, kZoneRunStop, kZoneClear, kZoneLength};
    for (int zone : kOrder)
        if (zoneContains(zoneBox(l, zone, pageOffset), scale, px, py))
            return zone;
    return kZoneNone;
}

// True where the pointer addresses table cells rather than zones.
inline bool inTableArea(const Layout& l, int px, int py)
{
    return px >= l.originX && py <= kTableBottom;
}

inline int clampPageOffset(int offset)
{
    return std::clamp(offset, 0, kMaxPageOffset);
}

// A press on the bar beside the thumb moves a whole page of 16 towards the press.
inline int pageStep(const Layout& l, int pageOffset, float scale, int px)
{
    const Box t = thumbBox(l, pageOffset);
    const float x = px * scale;
    int offset = pageOffset;
    if (x > (t.x + t.w) * scale)
        offset = pageOffset / 16 * 16 + 16;
    else if (x < t.x * scale)
        offset = pageOffset / 16 * 16 - 16;
    return clampPageOffset(offset);
}

// The window follows the thumb one step per 8 design units and may start at any step.
inline int thumbDragOffset(const Layout& l, int dragStartX, int dragStartOffset, int px)
{
    return clampPageOffset(static_cast<int>((px - dragStartX) * 4 / l.columnWidth + dragStartOffset));
}

// Dragging up lengthens by one step per 4 design units.
inline int lengthDrag(int lengthAtPress, int dragStartY, int py)
{
    const double length = (py - dragStartY) * -0.25 + lengthAtPress;
    return std::clamp(static_cast<int>(length), 1, 64);
}

// One semitone per 4 design units, upward raises.
inline int pitchDelta(int dragStartY, int py)
{
    return static_cast<int>((py - dragStartY) * 0.25);
}

// Pitch drag of one step. At a limit the drag re-anchors there, so reversing responds at once.
struct PitchDrag
{
    int startPitch;
    int startY;

    int moveTo(int py)
    {
        const int p = startPitch - pitchDelta(startY, py);
        if (p < kLowestPitch || p > kHighestPitch)
        {
            startPitch = p < kLowestPitch ? kLowestPitch : kHighestPitch;
            startY = py;
            return startPitch;
        }
        return p;
    }
};

// Position 0..1 down the pitch-bar track of a design y (may lie outside 0..1).
inline float pitchBarPosition(float scale, int py)
{
    return (py * scale - 44 * scale) / (122 * scale - 44 * scale);
}

inline int pitchBarPitch(float t)
{
    const float v = std::clamp(1.0f - t, 0.0f, 1.0f);
    return static_cast<int>(v * 48 - 12);
}

// A transposed pitch as the signed byte can hold it: a long drag saturates instead of wrapping.
inline int transposedPitch(int snapshot, int delta)
{
    return std::clamp(snapshot - delta, -128, 127);
}
} // namespace oxn3::aira
