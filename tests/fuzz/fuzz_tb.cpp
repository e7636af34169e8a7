// ".tb" import (technoBox2 banks).
#include "fuzz/EngineBank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    Synth303& synth = freshEngine();
    require(synth.importTechnobox2Patterns(path) == 0);
    requirePlayableBank(synth);
    requireNoFileLeft();
    return 0;
}
