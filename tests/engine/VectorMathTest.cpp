// The vector exp and pow against the scalar calls: within a few units in the last place over the
// arguments the render gives them, for every count of a run (the tail past a multiple of the
// vector width included), and the values past the count left alone.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/VectorMath.h"

namespace
{
double ulpsApart(double a, double b)
{
    return std::fabs(a - b) / (std::nextafter(std::fabs(b), INFINITY) - std::fabs(b));
}
} // namespace

TEST(VectorMath, ExpAndPowAgreeWithTheScalarCallsForEveryRunLength)
{
    constexpr int kMax = 16;
    for (int n = 0; n <= kMax; ++n)
    {
        double x[kMax + oxn3::kVectorWidth] = {};
        double b[kMax + oxn3::kVectorWidth];
        double y[kMax + oxn3::kVectorWidth];
        for (int i = 0; i < kMax + oxn3::kVectorWidth; ++i)
        {
            x[i] = -3.0 + 0.71 * i; // cutoff exponents span about -3..12
            b[i] = 0.02 + 0.061 * i; // 1 - c
            y[i] = -1.0;
        }
        oxn3::expRun(x, y, n);
        for (int i = 0; i < n; ++i)
            EXPECT_LE(ulpsApart(y[i], std::exp(x[i])), 4.0) << "exp " << x[i];
        for (int i = (n + oxn3::kVectorWidth - 1) / oxn3::kVectorWidth * oxn3::kVectorWidth;
             i < kMax + oxn3::kVectorWidth; ++i)
            EXPECT_EQ(y[i], -1.0) << "past the run at " << i;
        for (const double q : {0.91875, 0.459375, 0.2296875})
        {
            oxn3::powRun(b, q, y, n);
            for (int i = 0; i < n; ++i)
                EXPECT_LE(ulpsApart(y[i], std::pow(b[i], q)), 4.0) << "pow " << b[i] << "^" << q;
        }
    }
}
