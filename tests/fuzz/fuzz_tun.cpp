// ".tun" reader: any bytes leave a table of 128 finite frequencies.
#include <cmath>

#include "fuzz/FuzzInput.h"
#include "processor/files/TuningFile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput(); // the reader reports comments and section headers there
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    double table[oxn3files::kTuningTableSize];
    for (int n = 0; n < oxn3files::kTuningTableSize; ++n)
        table[n] = 440.0;
    require(oxn3files::readTuningFile(path, table));
    for (const double frequency : table)
        require(std::isfinite(frequency));
    requireNoFileLeft();
    return 0;
}
