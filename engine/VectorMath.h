#pragma once
// exp and pow over a run of values at once, two per call, with the C library's vector maths
// (libmvec). Its results may differ from the scalar calls in the last bit; every caller rounds
// them to float or uses them where a last-bit difference stays far below audibility.

#include <cmath>
#include <emmintrin.h>

extern "C" __m128d _ZGVbN2v_exp(__m128d x);
extern "C" __m128d _ZGVbN2vv_pow(__m128d x, __m128d y);

namespace oxn3
{
// y[i] = exp(x[i]) for i < n; the arrays hold at least n rounded up to even values.
inline void expRun(const double* x, double* y, int n)
{
    for (int i = 0; i < n; i += 2)
        _mm_storeu_pd(y + i, _ZGVbN2v_exp(_mm_loadu_pd(x + i)));
}

// y[i] = pow(b[i], e) for i < n; the arrays hold at least n rounded up to even values.
inline void powRun(const double* b, double e, double* y, int n)
{
    const __m128d exponent = _mm_set1_pd(e);
    for (int i = 0; i < n; i += 2)
        _mm_storeu_pd(y + i, _ZGVbN2vv_pow(_mm_loadu_pd(b + i), exponent));
}

// The per-sample reference's forms: the scalar calls, value by value.
inline void expEach(const double* x, double* y, int n)
{
    for (int i = 0; i < n; ++i)
        y[i] = std::exp(x[i]);
}

inline void powEach(const double* b, double e, double* y, int n)
{
    for (int i = 0; i < n; ++i)
        y[i] = std::pow(b[i], e);
}
} // namespace oxn3
