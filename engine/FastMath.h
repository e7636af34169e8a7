#pragma once
// exp, log and pow inline for the render's per-sample calls whose arguments keep changing (the
// cutoff voltage, the VCA curve, the pole coefficient at high rates). Within a few units in the
// last place of the C library's results over the render's range, so the sound is the same to
// far below -120 dB; calls outside that range go to the C library.
#include <cmath>
#include <cstdint>
#include <cstring>

namespace oxn3
{
namespace fastmath
{
inline double scaleByPowerOfTwo(double x, std::int64_t n)
{
    std::uint64_t bits = static_cast<std::uint64_t>(n + 1023) << 52;
    double scale = 0.0;
    std::memcpy(&scale, &bits, sizeof(scale));
    return x * scale;
}
} // namespace fastmath

// e^x: x = n ln2 + r with |r| <= ln2 / 2, e^r by its Taylor series to r^13.
inline double fastExp(double x)
{
    if (!(x > -700.0 && x < 700.0))
        return std::exp(x);
    constexpr double kLog2e = 1.4426950408889634;
    constexpr double kLn2Hi = 0.6931471803691238;     // 32 significant bits: n * kLn2Hi is exact
    constexpr double kLn2Lo = 1.9082149292705877e-10; // ln 2 - kLn2Hi
    constexpr double kRoundingShift = 6755399441055744.0; // 1.5 * 2^52: adding it rounds to an integer
    const double n = (x * kLog2e + kRoundingShift) - kRoundingShift;
    const double r = (x - n * kLn2Hi) - n * kLn2Lo;
    const double r2 = r * r;
    const double r4 = r2 * r2;
    const double r8 = r4 * r4;
    // Estrin's scheme: short dependency chains
    const double p01 = 1.0 + r;
    const double p23 = 1.0 / 2 + r * (1.0 / 6);
    const double p45 = 1.0 / 24 + r * (1.0 / 120);
    const double p67 = 1.0 / 720 + r * (1.0 / 5040);
    const double p89 = 1.0 / 40320 + r * (1.0 / 362880);
    const double p1011 = 1.0 / 3628800 + r * (1.0 / 39916800);
    const double p1213 = 1.0 / 479001600 + r * (1.0 / 6227020800);
    const double low = (p01 + r2 * p23) + r4 * (p45 + r2 * p67);
    const double high = (p89 + r2 * p1011) + r4 * p1213;
    return fastmath::scaleByPowerOfTwo(low + r8 * high, static_cast<std::int64_t>(n));
}

// ln x for finite x > 0: x = 2^k m with m in [sqrt(1/2), sqrt(2)), ln m = 2 atanh(s), s = (m - 1) / (m + 1).
inline double fastLog(double x)
{
    if (!(x >= 2.2250738585072014e-308 && x < 1e300))
        return std::log(x);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof(bits));
    std::int64_t k = static_cast<std::int64_t>(bits >> 52) - 1023;
    bits = (bits & 0x000fffffffffffffull) | 0x3ff0000000000000ull;
    double m = 0.0;
    std::memcpy(&m, &bits, sizeof(m));
    if (m > 1.4142135623730951)
    {
        m *= 0.5;
        ++k;
    }
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    const double s4 = s2 * s2;
    const double s8 = s4 * s4;
    const double low = (1.0 / 3 + s2 * (1.0 / 5)) + s4 * (1.0 / 7 + s2 * (1.0 / 9));
    const double high = (1.0 / 11 + s2 * (1.0 / 13)) + s4 * (1.0 / 15 + s2 * (1.0 / 17)) + s8 * (1.0 / 19);
    const double series = s2 * (low + s8 * high);
    constexpr double kLn2Hi = 0.6931471803691238;
    constexpr double kLn2Lo = 1.9082149292705877e-10;
    const double kd = static_cast<double>(k);
    return kd * kLn2Hi + (2.0 * s + (2.0 * s * series + kd * kLn2Lo));
}

// b^e for b > 0; b^1 is b exactly.
inline double fastPow(double b, double e)
{
    if (e == 1.0)
        return b;
    if (!(b > 0.0))
        return std::pow(b, e);
    return fastExp(e * fastLog(b));
}
} // namespace oxn3
