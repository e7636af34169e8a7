#include "engine/Synth303Filter.h"

#include <cmath>

float Synth303::vcf303(float in, float c, float r, float q)
{
    const oxn3::FilterRates rates = oxn3::FilterRates::compute(q);
    const double poleDecay = std::pow(1.0 - c, static_cast<double>(q));
    const oxn3::LadderCoefficients k =
        oxn3::ladderCoefficients(c, r, rates, filterFeedbackScale, ResoTrim, poleDecay);
    return oxn3::runLadders<oxn3::LadderArithmetic::Literal>(oxn3::ladderPairOf(*this), in, k);
}
