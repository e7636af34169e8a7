#include "ui/window/SaveFailureText.h"

#include <cerrno>
#include <cstring>

namespace
{
juce::String reasonOf(int error)
{
    switch (error)
    {
    case ENOSPC:
    case EDQUOT: return "disk full";
    case EFBIG: return "file too large";
    case EACCES:
    case EPERM: return "no permission";
    case EROFS: return "read-only disk";
    case ENOENT:
    case ENOTDIR: return "no such folder";
    case EISDIR: return "it is a folder";
    case ENAMETOOLONG: return "name too long";
    case EIO: return "disk error";
    default: return juce::String::fromUTF8(std::strerror(error)).toLowerCase();
    }
}
} // namespace

namespace oxn3
{
juce::String saveFailureText(const juce::String& fileName, int error)
{
    return "Could not save " + fileName + ": " + reasonOf(error);
}
} // namespace oxn3
