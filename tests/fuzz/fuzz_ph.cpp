// ".ph" import (Phoscyon banks).
#include "fuzz/EngineBank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    Synth303& synth = freshEngine();
    require(synth.importPhoscyonPatterns(path) == 1);
    requirePlayableBank(synth);
    requireNoFileLeft();
    return 0;
}
