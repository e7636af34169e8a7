#include "FeedbackCurve.h"

#include "engine/StaticTables.h"

#include <cmath>

namespace gen
{
namespace
{
double sign(double v)
{
    return (v > 0.0) - (v < 0.0);
}

// Slopes at the points (Fritsch-Carlson weighted harmonic mean; zero at a local extremum), so the
// cubic never overshoots the data between two points.
std::vector<double> pointSlopes(const std::vector<CurvePoint>& p)
{
    const std::size_t n = p.size();
    std::vector<double> h(n - 1), secant(n - 1), slope(n, 0.0);
    for (std::size_t k = 0; k + 1 < n; ++k)
    {
        h[k] = p[k + 1].index - p[k].index;
        secant[k] = (p[k + 1].value - p[k].value) / h[k];
    }
    for (std::size_t k = 1; k + 1 < n; ++k)
    {
        if (sign(secant[k - 1]) * sign(secant[k]) <= 0.0)
            continue;
        const double w1 = 2.0 * h[k] + h[k - 1];
        const double w2 = h[k] + 2.0 * h[k - 1];
        slope[k] = (w1 + w2) / (w1 / secant[k - 1] + w2 / secant[k]);
    }
    // Ends: three-point estimate, held to the shape of the first and last interval.
    auto endSlope = [](double h0, double h1, double s0, double s1) {
        double m = ((2.0 * h0 + h1) * s0 - h0 * s1) / (h0 + h1);
        if (sign(m) != sign(s0))
            m = 0.0;
        else if (sign(s0) != sign(s1) && std::fabs(m) > 3.0 * std::fabs(s0))
            m = 3.0 * s0;
        return m;
    };
    if (n > 2)
    {
        slope[0] = endSlope(h[0], h[1], secant[0], secant[1]);
        slope[n - 1] = endSlope(h[n - 2], h[n - 3], secant[n - 2], secant[n - 3]);
    }
    else if (n == 2)
    {
        slope[0] = slope[1] = secant[0];
    }
    return slope;
}

double hermite(const CurvePoint& a, const CurvePoint& b, double ma, double mb, int x)
{
    const double h = b.index - a.index;
    const double t = (x - a.index) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * a.value + (t3 - 2 * t2 + t) * h * ma + (-2 * t3 + 3 * t2) * b.value +
           (t3 - t2) * h * mb;
}
} // namespace

std::vector<float> monotoneCubic(const std::vector<CurvePoint>& points, int size)
{
    if (points.empty())
        return {};
    std::vector<float> curve(size, static_cast<float>(points.back().value));
    const std::vector<double> slope = pointSlopes(points);
    for (std::size_t k = 0; k + 1 < points.size(); ++k)
    {
        const CurvePoint& a = points[k];
        const CurvePoint& b = points[k + 1];
        curve[a.index] = static_cast<float>(a.value);  // the points themselves exactly
        for (int x = a.index + 1; x < b.index && x < size; ++x)
            curve[x] = static_cast<float>(hermite(a, b, slope[k], slope[k + 1], x));
    }
    return curve;
}

std::vector<float> feedbackCurve()
{
    // Measured points; the curve is flat from index 402 to the end.
    const std::vector<CurvePoint> points = {
        {0, 0.518644},   {32, 0.979195},  {64, 1.212544},  {96, 1.437637},  {128, 1.688305},
        {160, 1.985674}, {192, 2.340307}, {224, 2.763305}, {256, 3.258755}, {288, 3.655453},
        {320, 3.145239}, {384, 2.380401}, {402, 2.282955}, {oxn3::kSepTabSize - 1, 2.282955}};
    return monotoneCubic(points, oxn3::kSepTabSize);
}
} // namespace gen
