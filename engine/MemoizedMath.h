#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

// Transcendental calls of the render whose arguments mostly repeat from one sample to the next
// (a smoothed knob that has settled, an envelope that has reached its end) remember their last
// argument and result. The argument is compared bit for bit, so a hit returns exactly what the
// call would have returned, signed zeros included.
namespace oxn3
{
inline std::uint64_t bitsOf(double x)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof(bits));
    return bits;
}

struct MemoPow
{
    double base = std::numeric_limits<double>::quiet_NaN();
    double exponent = std::numeric_limits<double>::quiet_NaN();
    double result = 0.0;

    double operator()(double b, double e)
    {
        if (bitsOf(b) != bitsOf(base) || bitsOf(e) != bitsOf(exponent))
        {
            base = b;
            exponent = e;
            result = std::pow(b, e);
        }
        return result;
    }
};

struct MemoExp
{
    double argument = std::numeric_limits<double>::quiet_NaN();
    double result = 0.0;

    double operator()(double x)
    {
        if (bitsOf(x) != bitsOf(argument))
        {
            argument = x;
            result = std::exp(x);
        }
        return result;
    }
};

// MemoPow, but b^0.75 as sqrt(b) sqrt(sqrt(b)): three instructions instead of a pow call,
// within two units in the last place of it. For b >= 0 (or NaN).
struct MemoPowQuarters
{
    MemoPow other;

    double operator()(double b, double e)
    {
        if (e == 0.75)
        {
            const double root = std::sqrt(b);
            return root * std::sqrt(root);
        }
        return other(b, e);
    }
};

// The same interfaces without memory: the per-sample reference of the render uses them.
struct DirectPow
{
    double operator()(double b, double e) const { return std::pow(b, e); }
};

struct DirectExp
{
    double operator()(double x) const { return std::exp(x); }
};

// x^16 by four squarings.
inline double power16(double x)
{
    const double x2 = x * x;
    const double x4 = x2 * x2;
    const double x8 = x4 * x4;
    return x8 * x8;
}
} // namespace oxn3
