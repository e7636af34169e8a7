#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace
{
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;

void put16(std::FILE* f, std::uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put32(std::FILE* f, std::uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::fwrite(b, 1, 4, f);
}
} // namespace

int writeWav(const char* path, const std::vector<float>& samples, int sampleRate, bool asFloat)
{
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr)
        return 0;
    const std::uint16_t bytesPerSample = asFloat ? 4 : 2;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size()) * bytesPerSample;

    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, asFloat ? kFormatFloat : kFormatPcm);
    put16(f, 1); // mono
    put32(f, static_cast<std::uint32_t>(sampleRate));
    put32(f, static_cast<std::uint32_t>(sampleRate) * bytesPerSample);
    put16(f, bytesPerSample);
    put16(f, static_cast<std::uint16_t>(8 * bytesPerSample));
    std::fwrite("data", 1, 4, f);
    put32(f, dataBytes);

    for (float s : samples)
    {
        if (asFloat)
        {
            std::uint32_t bits = 0;
            static_assert(sizeof(bits) == sizeof(s), "32-bit float");
            std::memcpy(&bits, &s, sizeof(bits));
            put32(f, bits);
        }
        else
        {
            const float clipped = std::clamp(s, -1.0f, 1.0f);
            put16(f, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clipped * 32767.0f))));
        }
    }
    const bool ok = std::ferror(f) == 0;
    return (std::fclose(f) == 0 && ok) ? 1 : 0;
}
