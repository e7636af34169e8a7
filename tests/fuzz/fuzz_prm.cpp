// ".prm" import (TB-03 pattern text).
#include "fuzz/EngineBank.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    Synth303& synth = freshEngine();
    synth.currentPattern = size > 0 ? data[0] : 0; // out-of-range indexes must fall back safely
    require(synth.importTB03Pattern(path) == 1);
    requirePlayableBank(synth);
    requireNoFileLeft();
    return 0;
}
