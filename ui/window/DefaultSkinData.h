#pragma once

// OXN3's own skin as carried inside the plug-in: the PNG files that tools/skin draws at build time.
namespace oxn3
{
struct DefaultSkinFile
{
    const char* name;
    const unsigned char* data;
    int size;
};
extern const DefaultSkinFile kDefaultSkinFiles[];
extern const int kDefaultSkinFileCount;
} // namespace oxn3
