#include "engine/VectorMath.h"

#include <immintrin.h>

// libmvec's entry points (the x86-64 vector function ABI): b = SSE, two doubles; d = AVX2, four.
extern "C" __m128d _ZGVbN2v_exp(__m128d x);
extern "C" __m128d _ZGVbN2vv_pow(__m128d x, __m128d y);

// The AVX2 forms are compiled for AVX2 alone (an attribute both gcc and clang honour) and called
// only where the processor has it.
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_exp(__m256d x);
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4vv_pow(__m256d x, __m256d y);

namespace
{
__attribute__((target("avx2"))) void expRunAvx2(const double* x, double* y, int n)
{
    for (int i = 0; i < n; i += 4)
        _mm256_storeu_pd(y + i, _ZGVdN4v_exp(_mm256_loadu_pd(x + i)));
}

__attribute__((target("avx2"))) void powRunAvx2(const double* b, double e, double* y, int n)
{
    const __m256d exponent = _mm256_set1_pd(e);
    for (int i = 0; i < n; i += 4)
        _mm256_storeu_pd(y + i, _ZGVdN4vv_pow(_mm256_loadu_pd(b + i), exponent));
}
} // namespace

namespace
{
void expRunSse(const double* x, double* y, int n)
{
    for (int i = 0; i < n; i += 2)
        _mm_storeu_pd(y + i, _ZGVbN2v_exp(_mm_loadu_pd(x + i)));
}

void powRunSse(const double* b, double e, double* y, int n)
{
    const __m128d exponent = _mm_set1_pd(e);
    for (int i = 0; i < n; i += 2)
        _mm_storeu_pd(y + i, _ZGVbN2vv_pow(_mm_loadu_pd(b + i), exponent));
}

bool processorHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

// Decided when the library loads, so the render never waits on a first-use guard.
const bool kUseAvx2 = processorHasAvx2();
} // namespace

void oxn3::expRun(const double* x, double* y, int n)
{
    if (kUseAvx2)
        expRunAvx2(x, y, n);
    else
        expRunSse(x, y, n);
}

void oxn3::powRun(const double* b, double e, double* y, int n)
{
    if (kUseAvx2)
        powRunAvx2(b, e, y, n);
    else
        powRunSse(b, e, y, n);
}
