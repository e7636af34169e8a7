#include "processor/DataFolder.h"

#include <cstdlib>

#include <juce_core/juce_core.h>

namespace oxn3
{
namespace
{
constexpr const char* kVendorAndProduct = "Quellbrook/OXN3/";

// The XDG base directory rules ignore relative paths.
bool isUsableXdgPath(const char* path)
{
    return path != nullptr && path[0] == '/';
}
} // namespace

std::string dataFolderPath()
{
#if JUCE_MAC
    return std::string("/Library/Application Support/") + kVendorAndProduct;
#else
    const char* xdgDataHome = std::getenv("XDG_DATA_HOME");
    std::string base = isUsableXdgPath(xdgDataHome)
                           ? std::string(xdgDataHome)
                           : juce::File::getSpecialLocation(juce::File::userHomeDirectory)
                                     .getChildFile(".local/share")
                                     .getFullPathName()
                                     .toStdString();
    if (base.empty() || base.back() != '/')
        base += '/';
    return base + kVendorAndProduct;
#endif
}
} // namespace oxn3
