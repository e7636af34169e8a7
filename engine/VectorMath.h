#pragma once
// exp and pow over a run of values at once with the C library's vector maths (libmvec): four
// values per call on a processor with AVX2, two otherwise, chosen when the library loads. Its
// results may differ from the scalar calls in the last bit; every caller rounds them to float or
// uses them where a last-bit difference stays far below audibility.

#include <cmath>

namespace oxn3
{
// The arrays passed hold at least n rounded up to a multiple of kVectorWidth values; the values
// past n are read and written but not used.
constexpr int kVectorWidth = 4;

// y[i] = exp(x[i]) for i < n.
void expRun(const double* x, double* y, int n);

// y[i] = pow(b[i], e) for i < n.
void powRun(const double* b, double e, double* y, int n);

// The per-sample reference's form: the scalar call, value by value.
inline void expEach(const double* x, double* y, int n)
{
    for (int i = 0; i < n; ++i)
        y[i] = std::exp(x[i]);
}
} // namespace oxn3
