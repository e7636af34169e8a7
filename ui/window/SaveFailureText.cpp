#include "ui/window/SaveFailureText.h"

#include <cerrno>
#include <cstring>

#include "ui/framework/CaptionFit.h"
#include "ui/widgets/CPatchDisplay.h"
#include "ui/window/EditorGeometry.h"

namespace
{
// A scaled status line is its design width truncated to whole pixels: at scale 0.5 that costs up
// to two design units.
constexpr float kTruncationAllowance = 2.0f;
// Kept of a shortened name at the least, beside the ellipsis.
constexpr int kShortestName = 6;

juce::String reasonOf(int error)
{
    switch (error)
    {
    case ENOSPC:
    case EDQUOT: return "Disk full";
    case EFBIG:
    case EOVERFLOW: return "File too large";
    case EACCES:
    case EPERM: return "No permission";
    case EROFS: return "Read-only disk";
    case ENOENT:
    case ENOTDIR: return "No such folder";
    case EISDIR: return "Name taken by a folder";
    case EINVAL: return "Not writable there"; // a pipe or device has the name, or the disk refuses it
    case EILSEQ: return "Name not allowed on this disk";
    case ENAMETOOLONG: return "Path too long";
    case ELOOP: return "Too many links";
    case EMFILE:
    case ENFILE: return "Too many open files";
    case ENOMEM: return "Out of memory";
    case EBUSY:
    case ETXTBSY:
    case EAGAIN: return "File busy";
    case EIO: return "Disk error";
    case ENOTCONN: // a network or user-space disk that went away
    case ECONNABORTED:
    case ECONNRESET: return "Disk connection lost";
    default:
    {
        const juce::String text = juce::String::fromUTF8(std::strerror(error));
        return text.substring(0, 1).toUpperCase() + text.substring(1);
    }
    }
}

// For an error whose own words leave no room for the file's name.
juce::String shortReasonOf(int error)
{
    const char* name = strerrorname_np(error);
    return "Error " + (name != nullptr ? juce::String(name) : juce::String(error));
}

// `name` without the middle of it, so `keep` characters remain around an ellipsis: the start
// that tells one file from another and the end with the extension.
juce::String middleCut(const juce::String& name, int keep)
{
    const int tail = keep / 2;
    return name.substring(0, keep - tail) + juce::String::charToString(0x2026) +
           name.substring(name.length() - tail);
}
} // namespace

namespace oxn3
{
bool fitsStatusLine(const juce::String& text)
{
    const float room = (float) kPatchDisplayArea.getWidth() - kTruncationAllowance;
    return captionScale(CPatchDisplay::fontAt(1.0f), text, room) > kNarrowestCaption;
}

juce::String withFittedName(const juce::String& before, const juce::String& name, const juce::String& after)
{
    juce::String shown = name;
    for (int keep = name.length() - 1; keep >= kShortestName && !fitsStatusLine(before + shown + after); --keep)
        shown = middleCut(name, keep);
    return before + shown + after;
}

juce::String saveFailureText(const juce::String& fileName, int error)
{
    const juce::String text = withFittedName(reasonOf(error) + ": ", fileName, " not saved");
    return fitsStatusLine(text) ? text : withFittedName(shortReasonOf(error) + ": ", fileName, " not saved");
}
} // namespace oxn3
