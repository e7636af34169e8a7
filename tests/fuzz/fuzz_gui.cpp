// "Gui.ini" and skin-file reader: any bytes read without harm, strings stay within their
// buffers, and a skin file never sets the background. Rewriting the file for the program's two
// settings takes any bytes too, and where the user's lines hold no quote and no comment, nothing
// in them can hide or override the settings written.
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

    const bool plain =
        size == 0 || (std::memchr(data, '"', size) == nullptr && std::memchr(data, ';', size) == nullptr);
    require(oxn3gui::updateGuiFile(path, "Fuzz", "/b.png") == 1);
    char skin[8] = "", background[8] = "";
    oxn3gui::GuiFields written;
    written.skin = skin, written.skinSize = sizeof(skin);
    written.background = background, written.backgroundSize = sizeof(background);
    require(oxn3gui::readGuiFile(path, written) == 1);
    require(!plain || (std::strcmp(skin, "Fuzz") == 0 && std::strcmp(background, "/b.png") == 0));
    requireNoFileLeft();
    return 0;
}
