#include "ui/window/PatchPath.h"

#include <cstring>

namespace oxn3
{
bool toPatchPath(const juce::File& file, PatchPath& out)
{
    out[0] = '\0';
    const juce::String full = file.getFullPathName();
    const size_t bytes = full.getNumBytesAsUTF8();
    if (bytes > static_cast<size_t>(kMaxPatchPathBytes))
        return false;
    std::memcpy(out, full.toRawUTF8(), bytes);
    out[bytes] = '\0';
    return true;
}

juce::String pathTooLongText()
{
    return "File path too long (over 255 bytes)";
}
} // namespace oxn3
