#pragma once

#include "patterns/RebirthReader.h"
#include "patterns/Vst303Pattern.h"

// Turning the bass units of a ReBirth song into patterns: unit u's 32 records fill patterns
// 32u .. 32u + 31. Plain C++, no JUCE.
namespace rebirth
{
constexpr int kRecordsPerUnit = 32;
constexpr int kConvertedPatterns = 64;
constexpr int kFirstRecordByte = 10;
constexpr int kRecordBytes = 34;
constexpr int kStepsPerRecord = 16;
// Knob bytes of a unit: tune, cutoff, resonance, envmod, decay, accent (0..127), then waveform.
constexpr int kFirstKnobByte = 2;
constexpr int kWaveformByte = 8;

// Overwrites patterns 0..63 from `count` units (at most 2). A record's length byte gives the
// length (0 gives 1 and touches no step; above 16 it is held at 16, as a record has 16 steps);
// the triplet flag and the steps past the length stay. Patterns of a unit the song lacks keep
// their contents.
void convertUnits(const rbs303_t* units, int count, Vst303Pattern* patterns);

// A ReBirth step's flag byte as this system's flags: slide, accent, up, down, and the gate
// unless the rest bit is set; tie and the upper bits are dropped.
uint8_t convertFlags(uint8_t flags);
} // namespace rebirth
