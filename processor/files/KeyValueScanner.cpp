#include "processor/files/KeyValueScanner.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>

namespace oxn3files
{
namespace
{
constexpr int kComment = ';';
constexpr int kQuote = '"';

bool isSeparatingSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void skipRestOfLine(FILE* file)
{
    int c = std::fgetc(file);
    while (c != EOF && c != '\n')
        c = std::fgetc(file);
}

// The next word of at most 79 characters with " %79s"; the rest of a longer word is read over,
// so that it cannot pass for the next word.
bool readWord(FILE* file, char (&word)[kTokenSize])
{
    if (std::fscanf(file, " %79s", word) != 1)
        return false;
    int c = std::fgetc(file);
    while (c != EOF && !std::isspace(c))
        c = std::fgetc(file);
    if (c != EOF)
        std::ungetc(c, file);
    return true;
}

// White space and "=" next, with " ="; otherwise only the white space is consumed.
bool readEquals(FILE* file)
{
    int afterEquals = -1;
    std::fscanf(file, " =%n", &afterEquals);
    return afterEquals >= 0;
}
} // namespace

bool readKeyValue(FILE* file, KeyValue& pair)
{
    for (;;)
    {
        int c = std::fgetc(file);
        while (isSeparatingSpace(c))
            c = std::fgetc(file);
        if (c == EOF)
            return false;
        if (c == kComment)
        {
            skipRestOfLine(file);
            continue;
        }
        std::ungetc(c, file);

        pair = KeyValue{};
        if (!readWord(file, pair.key))
            return false;
        const bool equals = readEquals(file);
        const bool valueRead = readWord(file, pair.value);
        pair.complete = equals && valueRead;
        return true;
    }
}

int valueAsInt(const char* value)
{
    const long number = std::strtol(value, nullptr, 0);
    if (number > INT_MAX)
        return INT_MAX;
    if (number < INT_MIN)
        return INT_MIN;
    return static_cast<int>(number);
}

double parseDouble(const char* text, double fallback)
{
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    return (!stream.fail() && std::isfinite(value)) ? value : fallback;
}

int read_quoted_string(FILE* stream, char* out, int outSize)
{
    if (std::fgetc(stream) != kQuote)
        return 0;
    int stored = 0;
    for (int c = std::fgetc(stream); c != EOF && c != kQuote; c = std::fgetc(stream))
        if (stored < outSize - 1)
            out[stored++] = static_cast<char>(c);
    if (outSize > 0)
        out[stored] = '\0';
    return stored;
}
} // namespace oxn3files
