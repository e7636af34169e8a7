#include "WaveTableDesign.h"

#include "engine/StaticTables.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>

namespace gen
{
namespace
{
constexpr double kUnreachable = -1.0;

// A table whose start period and length are fixed; the tables between two anchors follow them
// geometrically.
struct Anchor
{
    int table;
    double startPeriod;
    int length;
};

// The shape of a set sized to the data budget.
struct BudgetSpec
{
    int entries;
    int lastSelectable;   // map[0]: the table for periods under one sample
    int table0Start;      // the longest table plays from this period up
    int table0Length;
    int shortestLength;   // no table is shorter; short periods need few samples but keep this floor
    bool lastEntryEmpty;
};

// map[p] = the lowest-numbered table whose start period is at most p. The last selectable table
// starts at period 0, so the search never reaches the unreachable entries after it.
void buildMap(WaveTableDesign& design)
{
    design.map.assign(oxn3::kWaveTableMapSize, 0);
    for (int period = 0; period < oxn3::kWaveTableMapSize; ++period)
    {
        int table = 0;
        while (design.startPeriod[table] > period)
            ++table;
        design.map[period] = table;
    }
}

int roundToInt(double value)
{
    return static_cast<int>(std::lround(value));
}

double geometric(double from, double to, double fraction)
{
    return from * std::pow(to / from, fraction);
}

// Start periods: geometric with ratio `ratio` per table from table0Start down, but never less than
// one sample apart, so every table owns at least one whole period, down to period 1 for the table
// before the last. Empty when the ratio cannot give table 0 its start or reach period 1.
std::vector<double> budgetStarts(const BudgetSpec& spec, double ratio)
{
    std::vector<double> starts(spec.lastSelectable + 1, 0.0);
    for (int t = spec.lastSelectable - 1; t >= 0; --t)
    {
        const int curve = roundToInt(spec.table0Start * std::pow(ratio, t));
        starts[t] = std::max(curve, static_cast<int>(starts[t + 1]) + 1);
    }
    if (starts[0] != spec.table0Start || starts[spec.lastSelectable - 1] != 1)
        return {};
    return starts;
}

std::vector<int> budgetLengths(const BudgetSpec& spec, const std::vector<double>& starts)
{
    // Every table keeps the oversampling of table 0 relative to its shortest period.
    const double samplesPerPeriod = static_cast<double>(spec.table0Length) / spec.table0Start;
    std::vector<int> lengths(spec.entries, spec.shortestLength);
    for (std::size_t t = 0; t < starts.size(); ++t)
        lengths[t] = std::max(spec.shortestLength, roundToInt(samplesPerPeriod * starts[t]));
    if (spec.lastEntryEmpty)
        lengths.back() = 0;
    return lengths;
}

bool fitsBudget(const BudgetSpec& spec, double ratio)
{
    const std::vector<double> starts = budgetStarts(spec, ratio);
    if (starts.empty())
        return false;
    const std::vector<int> lengths = budgetLengths(spec, starts);
    return std::accumulate(lengths.begin(), lengths.end(), 0L) <= oxn3::kWaveTableDataSize;
}

// The closest table spacing (largest ratio) that still ends at period 1 and fits the data array.
WaveTableDesign designFromBudget(const BudgetSpec& spec)
{
    double fits = 0.5;
    double fails = 1.0;
    for (int i = 0; i < 60; ++i)
    {
        const double mid = 0.5 * (fits + fails);
        (fitsBudget(spec, mid) ? fits : fails) = mid;
    }
    WaveTableDesign design;
    design.startPeriod = budgetStarts(spec, fits);
    design.length = budgetLengths(spec, design.startPeriod);
    design.startPeriod.resize(spec.entries, kUnreachable);
    buildMap(design);
    return design;
}
} // namespace

double bandPeriod(const WaveTableDesign& design, int table)
{
    const auto first = std::find(design.map.begin(), design.map.end(), table);
    if (first != design.map.end())
        return static_cast<double>(first - design.map.begin());
    return design.startPeriod[table];
}

WaveTableDesign designSaw()
{
    const Anchor anchors[] = {{0, 2220, 2432}, {7, 1000, 1210}, {29, 195, 211}, {40, 100, 109}, {52, 50, 54}};
    // Above table 52 the remaining 128 selectable tables share fewer whole periods (1..49) than
    // they number, so they are spread evenly down to period 0 and only some are reached.
    constexpr int kLastSelectable = 180;
    constexpr int kShortestLength = 48;

    WaveTableDesign design;
    design.name = "wtsaw";
    design.countConstant = "oxn3::kWtSawTables";
    design.startPeriod.assign(oxn3::kWtSawTables, kUnreachable);
    design.length.assign(oxn3::kWtSawTables, kShortestLength);
    for (std::size_t a = 0; a + 1 < std::size(anchors); ++a)
    {
        const Anchor& from = anchors[a];
        const Anchor& to = anchors[a + 1];
        for (int t = from.table; t <= to.table; ++t)
        {
            const double fraction = static_cast<double>(t - from.table) / (to.table - from.table);
            design.startPeriod[t] = roundToInt(geometric(from.startPeriod, to.startPeriod, fraction));
            design.length[t] = roundToInt(geometric(from.length, to.length, fraction));
        }
    }
    const Anchor& last = anchors[std::size(anchors) - 1];
    for (int t = last.table; t <= kLastSelectable; ++t)
    {
        const double fraction = static_cast<double>(t - last.table) / (kLastSelectable - last.table);
        design.startPeriod[t] = last.startPeriod * (1.0 - fraction);
        design.length[t] = roundToInt(last.length + (kShortestLength - last.length) * fraction);
    }
    design.length.back() = 0;
    buildMap(design);
    return design;
}

// Figures of the budget-sized sets: entries, map[0], table-0 start period and length, shortest
// table, last entry empty.

WaveTableDesign designSquare()
{
    WaveTableDesign design = designFromBudget({oxn3::kWtSquareTables, 163, 1209, 1320, 173, false});
    design.name = "wtsquare";
    design.countConstant = "oxn3::kWtSquareTables";
    design.shape = Shape::Square;
    return design;
}

WaveTableDesign designXSaw()
{
    WaveTableDesign design = designFromBudget({oxn3::kWtXSawTables, 193, 2312, 2522, 53, false});
    design.name = "wtxsaw";
    design.countConstant = "oxn3::kWtXSawTables";
    design.softTop = true;
    return design;
}

WaveTableDesign designXSquare()
{
    WaveTableDesign design = designFromBudget({oxn3::kWtXSquareTables, 192, 2310, 2519, 52, true});
    design.name = "wtxsqu";
    design.countConstant = "oxn3::kWtXSquareTables";
    design.shape = Shape::Square;
    design.softTop = true;
    return design;
}
} // namespace gen
