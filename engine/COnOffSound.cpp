#include "engine/COnOffSound.h"

void COnOffSound::trigger(double lengthInSamples, float pulseGain)
{
    length = lengthInSamples;
    gain = pulseGain;
    counter = 0.0;
    coefficient[0] = 5e-5;
    coefficient[1] = 0.0002;
    coefficient[2] = 0.0002;
    coefficient[3] = 0.01;
}
