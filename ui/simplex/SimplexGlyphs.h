#pragma once

// The Hershey simplex Roman stroke font, characters 32..126 in order (glyph = character - 32).
// Each glyph: [0] vertex count, [1] advance width, then up to 55 (x, y) pairs in font units from
// the left bearing and the baseline, y upward (digits are 21 high); (-1, -1) lifts the pen.
// Generated at build time from Debian's hershey-fonts-data.
namespace oxn3
{
constexpr int kSimplexGlyphCount = 95;
constexpr int kSimplexGlyphInts = 112;
constexpr int kSimplexFirstChar = 32;
constexpr int kSimplexPenUp = -1;
} // namespace oxn3

extern const int simplex[oxn3::kSimplexGlyphCount][oxn3::kSimplexGlyphInts];
