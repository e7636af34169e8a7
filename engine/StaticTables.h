#pragma once
// Constant program data of the render. The arrays are generated at build time by
// tools/gen_tables (deterministic), except fir1_33, whose taps are fixed numbers.

#include <cstdint>

namespace oxn3
{
constexpr int kWaveTableMapSize = 22050;   // periods 0..22049 samples at 44.1 kHz
constexpr int kWaveTableDataSize = 65536;  // all tables of one set back to back

constexpr int kWtSawTables = 184;          // entry 183 is empty
constexpr int kWtSquareTables = 164;
constexpr int kWtXSawTables = 196;
constexpr int kWtXSquareTables = 196;      // entry 195 is empty

constexpr int kSepTabSize = 512;
constexpr int kFirTaps = 33;
constexpr int kDcNoiseSize = 107112;
} // namespace oxn3

// Band-limited single-cycle sets: map (period -> table), start index, length, samples.
extern const std::uint8_t wtsawMap[oxn3::kWaveTableMapSize];
extern const std::int32_t wtsawIndex[oxn3::kWtSawTables];
extern const std::int32_t wtsawLength[oxn3::kWtSawTables];
extern const float wtsawData[oxn3::kWaveTableDataSize];

extern const std::uint8_t wtsquareMap[oxn3::kWaveTableMapSize];
extern const std::int32_t wtsquareIndex[oxn3::kWtSquareTables];
extern const std::int32_t wtsquareLength[oxn3::kWtSquareTables];
extern const float wtsquareData[oxn3::kWaveTableDataSize];

extern const std::uint8_t wtxsawMap[oxn3::kWaveTableMapSize];
extern const std::int32_t wtxsawIndex[oxn3::kWtXSawTables];
extern const std::int32_t wtxsawLength[oxn3::kWtXSawTables];
extern const float wtxsawData[oxn3::kWaveTableDataSize];
extern const std::uint32_t wtxsawMapSize;

extern const std::uint8_t wtxsquMap[oxn3::kWaveTableMapSize];
extern const std::int32_t wtxsquIndex[oxn3::kWtXSquareTables];
extern const std::int32_t wtxsquLength[oxn3::kWtXSquareTables];
extern const float wtxsquData[oxn3::kWaveTableDataSize];
extern const std::uint32_t wtxsquMapSize;

// The filter's feedback-gain curve over the cutoff coefficient (index = coefficient * 256 at 44.1 kHz).
extern const float septab[oxn3::kSepTabSize];

// Half-band FIR of the 2x decimator.
extern const double fir1_33[oxn3::kFirTaps];

// Recorded-style quiet 16-bit noise with a slow drift, mixed into the output when VCA noise is on.
extern const std::int16_t tb_dc_noise[oxn3::kDcNoiseSize];
