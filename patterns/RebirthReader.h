#pragma once

#include <cstdint>
#include <cstdio>

// One bass-synthesiser unit of a ReBirth song, as the song stores it: knob bytes and 32
// patterns of 34 bytes. The editor turns it into knob values and patterns.
struct rbs303_t
{
    static constexpr int kBytes = 1097;
    uint8_t bytes[kBytes] = {};
};

static_assert(sizeof(rbs303_t) == rbs303_t::kBytes, "a 303 unit is stored as 1097 raw bytes");

// Rooms the editor hands to import_rbs: a song holds two bass units.
constexpr int kRbsUnits = 2;

// Where the walk of one song stores its units.
struct RbsWalk
{
    rbs303_t* out = nullptr;
    int capacity = 0; // units that fit in out
    int count = 0;    // units stored so far
    int depth = 0;    // "CAT " chunks entered
};

// Reads every "303 " chunk of a ReBirth song (".rbs") into out, up to `capacity` units.
// Returns the number stored, 0 when the file cannot be opened.
int import_rbs(const char* path, rbs303_t* out, int capacity = kRbsUnits);

// Walks the chunks from the current position up to `end`, descending into "CAT " chunks.
int readchunk(FILE* file, int end, RbsWalk& walk);

// Size of the file in bytes; the position is left at the start.
int GetFileLengthRBS(FILE* file);
