// "Gui.ini" and skin-file reader: any bytes read without harm, strings stay within their
// buffers, and a skin file never sets the background.
#include <cstring>

#include "fuzz/FuzzInput.h"
#include "ui/guifile/GuiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = writeFuzzInput(data, size);
    struct Guarded
    {
        char before[8];
        char skin[24];
        char after[8];
    } guarded;
    std::memset(&guarded, 0x5A, sizeof(guarded));
    int colour[4] = {};
    oxn3gui::GuiFields fields;
    fields.skin = guarded.skin;
    fields.skinSize = sizeof(guarded.skin);
    for (int i = 0; i < 4; ++i)
        fields.colour[i] = &colour[i];
    require(oxn3gui::readGuiFile(path, fields) == 1);
    for (int i = 0; i < 8; ++i)
        require(guarded.before[i] == 0x5A && guarded.after[i] == 0x5A);
    requireNoFileLeft();
    return 0;
}
