#include "ui/window/DefaultSkin.h"

#include "patterns/WholeFileWriter.h"

namespace oxn3
{
bool installDefaultSkinIfMissing(const juce::File& configFolder)
{
    const auto folder = configFolder.getChildFile(kDefaultSkinFolder);
    if (folder.isDirectory())
        return true;
    if (!folder.createDirectory())
        return false;
    bool written = true;
    for (int i = 0; i < kDefaultSkinFileCount; ++i)
    {
        const auto& file = kDefaultSkinFiles[i];
        const juce::String path = folder.getChildFile(file.name).getFullPathName();
        written = writeWholeFile(path.toRawUTF8(), file.data, (size_t) file.size) && written;
    }
    return written;
}
} // namespace oxn3
