// ".pat" Load: any bytes either load into a playable pattern or leave it untouched, and what loads
// saves and loads back the same.
#include <cstring>

#include "fuzz/FuzzInput.h"
#include "patterns/Vst303Pattern.h"
#include "patterns/Vst303PatternMetaData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    Vst303Pattern loaded;
    const Vst303Pattern before = loaded;
    Vst303PatternMetaData meta;
    if (loaded.Load(path, nullptr, &meta) == 0)
    {
        require(std::memcmp(&loaded, &before, sizeof loaded) == 0);
        requireNoFileLeft();
        return 0;
    }
    require(loaded.getLength() >= 1 && loaded.getLength() <= Vst303Pattern::kMaxSteps);

    static const std::string copy = makeScratchFile("copy");
    require(loaded.Save(copy.c_str(), nullptr, &meta) == 1);
    Vst303Pattern again;
    require(again.Load(copy.c_str(), nullptr, nullptr) == 1);
    require(again.header == loaded.header);
    for (int i = 0; i < loaded.getLength(); ++i)
    {
        require(again.steps[i].pitch == loaded.steps[i].pitch);
        require((again.steps[i].flags & 0x1F) == (loaded.steps[i].flags & 0x1F));
    }
    requireNoFileLeft();
    return 0;
}
