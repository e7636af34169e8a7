// ".rbs" reader (ReBirth songs): the units land only in the room the caller gives.
#include <memory>

#include "fuzz/FuzzInput.h"
#include "patterns/RebirthReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    // Exactly the editor's room on the heap, so that a write past it is caught.
    const std::unique_ptr<rbs303_t[]> units(new rbs303_t[kRbsUnits]);
    const int count = import_rbs(path, units.get(), kRbsUnits);
    require(count >= 0 && count <= kRbsUnits);
    requireNoFileLeft();
    return 0;
}
