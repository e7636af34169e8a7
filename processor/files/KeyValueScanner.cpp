#include "processor/files/KeyValueScanner.h"

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
        int afterEquals = -1; // stays -1 unless white space and "=" followed the key
        if (std::fscanf(file, " %79s =%n", pair.key, &afterEquals) != 1)
            return false;
        const bool valueRead = std::fscanf(file, " %79s", pair.value) == 1;
        pair.complete = afterEquals >= 0 && valueRead;
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
