#include "ui/detect/WaveBuffer.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace
{
constexpr float kEmptyMin = 1e8f;
constexpr float kEmptyMax = -1e8f;
constexpr float kSilence = 1e-6f;

// The part of a range that lies inside the buffer, and whether the range also reaches outside
// (where samples read as 0).
struct Span
{
    int64_t from = 0, to = 0;
    bool empty = true;
    bool readsOutside = false;
};

Span resolve(int start, int len, int32_t size, bool hasData)
{
    Span s;
    if (start == WaveBuffer::kWholeBuffer && len == WaveBuffer::kWholeBuffer)
    {
        start = 0;
        len = size;
    }
    if (len <= 0)
        return s;
    const int64_t first = start;
    const int64_t end = first + len;
    const int64_t limit = hasData ? std::max<int32_t>(size, 0) : 0;
    s.empty = false;
    s.from = std::clamp<int64_t>(first, 0, limit);
    s.to = std::clamp<int64_t>(end, s.from, limit);
    s.readsOutside = first < 0 || end > limit;
    return s;
}

// Folds the samples of a range into `empty`; samples outside the buffer count as 0.
template <typename Fold>
float foldRange(int start, int len, int32_t size, const float* data, float empty, Fold fold)
{
    const Span s = resolve(start, len, size, data != nullptr);
    float m = empty;
    if (s.empty)
        return m;
    for (int64_t i = s.from; i < s.to; ++i)
        m = fold(m, data[i]);
    return s.readsOutside ? fold(m, 0.0f) : m;
}
} // namespace

void WaveBuffer::allocate(unsigned long n)
{
    release();
    data = new (std::nothrow) float[n]();
    ownsData = data != nullptr;
}

void WaveBuffer::release()
{
    if (ownsData)
        delete[] data;
    data = nullptr;
    ownsData = false;
}

float WaveBuffer::find_min(int start, int len) const
{
    return foldRange(start, len, size, data, kEmptyMin, [](float m, float x) { return std::min(m, x); });
}

float WaveBuffer::find_max(int start, int len) const
{
    return foldRange(start, len, size, data, kEmptyMax, [](float m, float x) { return std::max(m, x); });
}

float WaveBuffer::maxabs(int start, int len) const
{
    return foldRange(start, len, size, data, kEmptyMax, [](float m, float x) { return std::max(m, std::fabs(x)); });
}

void WaveBuffer::normalize()
{
    const float peak = maxabs(0, size);
    if (!(peak > kSilence) || size < 1 || data == nullptr)
        return;
    const float gain = 1.0f / peak;
    for (int32_t i = 0; i < size; ++i)
        data[i] *= gain;
}
