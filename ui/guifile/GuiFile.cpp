#include "ui/guifile/GuiFile.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "patterns/WholeFileWriter.h"
#include "processor/files/KeyValueScanner.h"

namespace oxn3gui
{
namespace
{
const char* const kColourKeys[4] = {"TextColorR", "TextColorG", "TextColorB", "TextColorA"};

bool isGuiSpace(int c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

void skipComment(FILE* file)
{
    int c = std::fgetc(file);
    while (c != EOF && c != '\n')
        c = std::fgetc(file);
}

// A white-space delimited word of at most 79 characters; the rest of a longer word is read over.
void readKey(FILE* file, char (&key)[kValueSize])
{
    int length = 0;
    int c = std::fgetc(file);
    while (c != EOF && !std::isspace(c))
    {
        if (length < kValueSize - 1)
            key[length++] = static_cast<char>(c);
        c = std::fgetc(file);
    }
    key[length] = '\0';
    if (c != EOF)
        std::ungetc(c, file);
}

// Optional white space, '=' and optional white space.
void skipEquals(FILE* file)
{
    int c = std::fgetc(file);
    while (c != EOF && std::isspace(c))
        c = std::fgetc(file);
    if (c != '=')
    {
        if (c != EOF)
            std::ungetc(c, file);
        return;
    }
    c = std::fgetc(file);
    while (c != EOF && std::isspace(c))
        c = std::fgetc(file);
    if (c != EOF)
        std::ungetc(c, file);
}

// A decimal number with optional sign, held within the int range. False (nothing stored) when no
// digit follows.
bool readInt(FILE* file, int& out)
{
    int c = std::fgetc(file);
    const bool negative = c == '-';
    if (c == '-' || c == '+')
        c = std::fgetc(file);
    if (!std::isdigit(c))
    {
        if (c != EOF)
            std::ungetc(c, file);
        return false;
    }
    long long value = 0;
    for (; std::isdigit(c); c = std::fgetc(file))
        if (value <= INT_MAX)
            value = value * 10 + (c - '0');
    if (c != EOF)
        std::ungetc(c, file);
    if (negative)
        value = -value;
    out = static_cast<int>(value > INT_MAX ? INT_MAX : (value < INT_MIN ? INT_MIN : value));
    return true;
}

// The background is a full path that the menu stores in full: a value is read as long as its field
// holds, and a longer one is refused rather than cut, so no file is looked for under a name the
// user never chose.
void readString(FILE* file, char* out, int outSize)
{
    const int c = std::fgetc(file);
    if (c != EOF)
        std::ungetc(c, file);
    if (c != '"')
        return;
    const int room = out != nullptr ? std::max(outSize, 0) : 0;
    std::vector<char> value(static_cast<size_t>(room) + 1);
    const int stored = oxn3files::read_quoted_string(file, value.data(), room + 1);
    if (stored < room)
        std::memcpy(out, value.data(), static_cast<size_t>(stored) + 1);
}

void readValue(FILE* file, const char* key, const GuiFields& fields)
{
    if (std::strcmp(key, "Skin") == 0)
        return readString(file, fields.skin, fields.skinSize);
    if (fields.background != nullptr && std::strcmp(key, "Background") == 0)
        return readString(file, fields.background, fields.backgroundSize);
    for (int i = 0; i < 4; ++i)
        if (std::strcmp(key, kColourKeys[i]) == 0)
        {
            int value = 0;
            if (readInt(file, value) && fields.colour[i] != nullptr)
                *fields.colour[i] = value;
            return;
        }
}
} // namespace

int readGuiFile(const char* path, const GuiFields& fields)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return 0;
    for (;;)
    {
        int c = std::fgetc(file);
        while (isGuiSpace(c))
            c = std::fgetc(file);
        if (c == EOF)
            break;
        if (c == ';')
        {
            skipComment(file);
            continue;
        }
        std::ungetc(c, file);
        char key[kValueSize] = {};
        readKey(file, key);
        if (key[0] == '\0') // a lone control character no rule consumes
        {
            std::fgetc(file);
            continue;
        }
        skipEquals(file);
        readValue(file, key, fields);
    }
    std::fclose(file);
    return 1;
}

int writeGuiFile(const char* path, const char* skin, const char* background)
{
    WholeFileWriter file(path);
    if (file.stream() == nullptr)
        return 0;
    std::fprintf(file.stream(), "Skin = \"%s\"\n", skin);
    std::fprintf(file.stream(), "Background = \"%s\"\n", background);
    return file.commit() ? 1 : 0;
}
} // namespace oxn3gui
