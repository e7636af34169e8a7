#pragma once

namespace oxn3
{
// std::max(0.0, x) written as the plain comparison on the value rather than through
// references, which the compiler turns into a compare and a blend without going through
// memory: x above 0, else +0 (NaN and -0 give +0, as std::max(0.0, x) does).
inline double atLeastZero(double x)
{
    return x > 0.0 ? x : 0.0;
}

// std::min(1.0, x) likewise: x below 1, else 1 (NaN gives 1).
inline double atMostOne(double x)
{
    return x < 1.0 ? x : 1.0;
}
} // namespace oxn3
