#pragma once
// The filter's feedback-gain curve over the cutoff coefficient: measured points joined smoothly.

#include <vector>

namespace gen
{
struct CurvePoint
{
    int index;
    double value;
};

// Shape-preserving (monotone) cubic through the points; an empty list gives an empty curve.
// Flat from the last point to the end.
std::vector<float> monotoneCubic(const std::vector<CurvePoint>& points, int size);

std::vector<float> feedbackCurve();
} // namespace gen
