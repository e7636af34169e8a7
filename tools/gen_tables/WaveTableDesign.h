#pragma once
// Layout of a band-limited wavetable set: which periods play which table, and how long each table is.

#include <string>
#include <vector>

namespace gen
{
enum class Shape
{
    Saw,    // every harmonic at 1/k
    Square  // odd harmonics at 1/k
};

struct WaveTableDesign
{
    std::string name;          // prefix of the generated arrays, e.g. "wtsaw"
    std::string countConstant; // constant holding the number of entries
    Shape shape = Shape::Saw;
    bool softTop = false;      // fade the top harmonics out instead of cutting them
    // Per entry: the shortest period (samples at 44.1 kHz) the table is meant for. The map plays
    // table t from startPeriod[t] up to the next lower table's start. Entries the map never
    // reaches have a negative value and hold silence.
    std::vector<double> startPeriod;
    std::vector<int> length;   // per entry; 0 for an empty entry
    std::vector<int> map;      // period truncated to whole samples -> table
};

// The period whose Nyquist limit bounds a table's harmonics: the shortest whole period the map
// sends to it, or its nominal start period when the map never selects it.
double bandPeriod(const WaveTableDesign& design, int table);

WaveTableDesign designSaw();
WaveTableDesign designSquare();
WaveTableDesign designXSaw();
WaveTableDesign designXSquare();
} // namespace gen
