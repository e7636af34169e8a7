#pragma once

#include <cstdint>
#include <cstdio>

// Knob values that travel with a pattern file, one per tag of meta_tag_table.
// A plain record: value -1.0 and present 0 until a tag is set.
struct Vst303PatternMetaData
{
    static constexpr int kMaxEntries = 128;
    static constexpr int kTagCount = 19;
    static constexpr int kTagSlotSize = 40;    // a tag holds at most 39 characters
    static constexpr int kMaxTokenLength = 40; // Parse cuts longer words here
    static constexpr float kAbsentValue = -1.0f;

    // The colon is part of each tag; row i names entry i of value and present.
    static constexpr char meta_tag_table[kTagCount][kTagSlotSize] = {
        "Tune:",    "Cutoff:",   "Resonance:", "Envmod:",     "Decay:",    "Accent:", "Waveform:",
        "Distort:", "Drive:",    "Volume:",    "DistType:",   "HighPass:", "Tempo:",  "Version:",
        "VCOMode:", "ResoTrim:", "GateTrim:",  "TuningTrim:", "LowCut:"};

    float value[kMaxEntries];
    int32_t present[kMaxEntries];

    Vst303PatternMetaData();

    // Stores v under the tag (exact, case-sensitive match). Returns 1, or 0 for an unknown tag.
    int setValue(const char* tag, float v);

    // Reads the value of a present tag into *out. Returns 1, or 0 (and *out untouched).
    int getValue(const char* tag, float* out) const;

    // Reads "tag value" word pairs from a line; words that are no tag are ignored.
    bool Parse(char* line);

    // Writes "; " and "tag value " for every present tag, then a line feed. Returns 0.
    int Write(FILE* file) const;
};
