#pragma once
// Reader of Hershey fonts in the ".jhf" text form and their conversion into the fixed-size glyph
// records the panel read-outs draw from.

#include <array>
#include <string>
#include <vector>

namespace gen
{
// One glyph as the file holds it: left and right bearing, then the strokes, coordinates relative
// to the glyph centre with y growing downward; a pen lift is stored as penUp.
struct JhfGlyph
{
    int left = 0, right = 0;
    struct Vertex
    {
        int x = 0, y = 0;
        bool penUp = false;
    };
    std::vector<Vertex> vertices;
};

constexpr int kMaxVertices = 55;
constexpr int kRecordInts = 2 + 2 * kMaxVertices;
// Row of the baseline in the file's coordinates: the simplex digits stand on it, 21 units high.
constexpr int kBaselineRow = 9;

using GlyphRecord = std::array<int, kRecordInts>;

// Parses every glyph of the file in order. Continuation lines (the format wraps long glyphs) are
// joined. False with a message for a malformed file.
bool parseJhf(const std::string& text, std::vector<JhfGlyph>& out, std::string& error);

// [0] vertex count, [1] advance width, then (x, y) pairs from the left bearing and the baseline,
// y upward; (-1, -1) lifts the pen; unused pairs zero. False when the glyph has too many vertices.
bool toRecord(const JhfGlyph& glyph, GlyphRecord& record);
} // namespace gen
