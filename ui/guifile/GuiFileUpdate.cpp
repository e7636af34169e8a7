// "Gui.ini" rewritten for the program's two settings: the user's own lines (text colours,
// comments, keys of other versions) stay as they were.
#include <cerrno>
#include <cstdio>
#include <string>

#include "patterns/WholeFileWriter.h"
#include "ui/guifile/GuiFile.h"

namespace oxn3gui
{
namespace
{
// The file's bytes; a missing file is empty. False, with errno set, when it exists but cannot
// be read: writing then would lose what it holds.
bool readWholeFile(const char* path, std::string& text)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return errno == ENOENT;
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    errno = error;
    return error == 0;
}

constexpr const char* kBlanks = " \t\f\v";
constexpr const char* kWordEnds = " \t\f\v\r\n";

// Where the line starting at `start` ends, its line end included: LF, CR LF or a lone CR. A
// comment runs to the LF, as the reader takes it.
size_t lineEnd(const std::string& text, size_t start)
{
    const size_t first = text.find_first_not_of(kBlanks, start);
    const bool comment = first != std::string::npos && text[first] == ';';
    const size_t at = text.find_first_of(comment ? "\n" : "\r\n", start);
    if (at == std::string::npos)
        return text.size();
    return text.compare(at, 2, "\r\n") == 0 ? at + 2 : at + 1;
}

// The first word of a line, as the reader takes a key.
std::string firstWord(const std::string& line)
{
    const size_t begin = line.find_first_not_of(kBlanks);
    if (begin == std::string::npos)
        return {};
    const size_t end = line.find_first_of(kWordEnds, begin);
    return line.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// The two settings the program writes, in the order it writes them.
constexpr int kSettings = 2;
const char* const kSettingKeys[kSettings] = {"Skin", "Background"};

// Which setting the line sets, or -1.
int settingOf(const std::string& line)
{
    const std::string key = firstWord(line);
    for (int i = 0; i < kSettings; ++i)
        if (key == kSettingKeys[i])
            return i;
    return -1;
}

std::string settingLine(int setting, const char* value)
{
    return std::string(kSettingKeys[setting]) + " = \"" + value + "\"";
}

// The line's own line end, or LF for a last line without one.
std::string lineEnding(const std::string& line)
{
    const size_t ending = line.find_last_not_of("\r\n") + 1;
    return ending < line.size() ? line.substr(ending) : "\n";
}
} // namespace

int updateGuiFile(const char* path, const char* skin, const char* background)
{
    std::string old;
    if (!readWholeFile(path, old))
        return 0;
    if (old.empty())
        return writeGuiFile(path, skin, background);

    // Each setting takes the place of its first line; later lines of the same key would override
    // it when read and go. A setting the file lacks goes first.
    const char* const values[kSettings] = {skin, background};
    bool written[kSettings] = {false, false};
    std::string kept;
    for (size_t start = 0; start < old.size();)
    {
        const size_t end = lineEnd(old, start);
        const std::string line = old.substr(start, end - start);
        start = end;
        const int setting = settingOf(line);
        if (setting < 0)
            kept += line;
        else if (!written[setting])
            kept += settingLine(setting, values[setting]) + lineEnding(line);
        if (setting >= 0)
            written[setting] = true;
    }
    std::string text;
    for (int i = 0; i < kSettings; ++i)
        if (!written[i])
            text += settingLine(i, values[i]) + "\n";
    text += kept;

    WholeFileWriter file(path);
    if (file.stream() == nullptr)
        return 0;
    std::fwrite(text.data(), 1, text.size(), file.stream());
    return file.commit() ? 1 : 0;
}
} // namespace oxn3gui
