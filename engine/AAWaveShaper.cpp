#include "engine/AAWaveShaper.h"

int AAWaveShaper::s_initialized = 0;

AAWaveShaper::AAWaveShaper()
{
    s_initialized = 1;
}
