#pragma once

// "Gui.ini" and skin files ("<skin>.oxn3skin"): one key, "=", and a value per line; ';' starts a
// comment line. Plain C stdio, no JUCE, so the fuzzer can take the reader alone.
namespace oxn3gui
{
constexpr int kValueSize = 80; // a key of at most 79 characters

// Where the reader puts what it finds. A null `background` means the file may not set it (skin
// files). Colour components are stored as read; the editor takes their low 8 bits.
struct GuiFields
{
    char* skin = nullptr;
    int skinSize = 0;
    char* background = nullptr;
    int backgroundSize = 0;
    int* colour[4] = {}; // TextColorR, TextColorG, TextColorB, TextColorA
};

// 0 when the file cannot be opened, else 1. Unknown keys are passed over one word at a time; a
// string value must start with '"' and fit its field, or the setting keeps its value.
int readGuiFile(const char* path, const GuiFields& fields);

// Writes the two lines "Skin = "..."" and "Background = "..."", whole or not at all. 0 when
// that failed, with the reason in errno.
int writeGuiFile(const char* path, const char* skin, const char* background);

// Sets "Skin" and "Background" in the file and keeps every other line it holds, whole or not at
// all; without a file it writes what writeGuiFile writes. 0 when that failed (also when the file
// exists but cannot be read), with the reason in errno.
int updateGuiFile(const char* path, const char* skin, const char* background);
} // namespace oxn3gui
