#include "patterns/TextScanner.h"

#include <climits>

namespace
{
bool isDigit(int c) { return c >= '0' && c <= '9'; }

// Adds one digit to a magnitude that stops growing just above the int range.
long long addDigit(long long magnitude, int digit)
{
    constexpr long long kCeiling = static_cast<long long>(INT_MAX) + 1;
    const long long next = magnitude * 10 + digit;
    return next > kCeiling ? kCeiling : next;
}

int toInt(long long magnitude, bool negative)
{
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
} // namespace

namespace textscan
{
bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool readWord(FILE* file, char* word, int size)
{
    int c = std::fgetc(file);
    while (isSpace(c))
        c = std::fgetc(file);
    if (c == EOF)
        return false;
    int kept = 0;
    while (c != EOF && !isSpace(c))
    {
        if (kept < size - 1)
            word[kept++] = static_cast<char>(c);
        c = std::fgetc(file);
    }
    word[kept] = '\0';
    return true;
}

bool readInt(FILE* file, int* out)
{
    int c = std::fgetc(file);
    while (isSpace(c))
        c = std::fgetc(file);
    const bool negative = c == '-';
    if (c == '-' || c == '+')
        c = std::fgetc(file);
    if (!isDigit(c))
    {
        if (c != EOF)
            std::ungetc(c, file);
        return false;
    }
    long long magnitude = 0;
    while (isDigit(c))
    {
        magnitude = addDigit(magnitude, c - '0');
        c = std::fgetc(file);
    }
    if (c != EOF)
        std::ungetc(c, file);
    *out = toInt(magnitude, negative);
    return true;
}

bool parseInt(const char** text, int* out)
{
    const char* p = *text;
    while (isSpace(static_cast<unsigned char>(*p)))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (!isDigit(static_cast<unsigned char>(*p)))
        return false;
    long long magnitude = 0;
    while (isDigit(static_cast<unsigned char>(*p)))
        magnitude = addDigit(magnitude, *p++ - '0');
    *out = toInt(magnitude, negative);
    *text = p;
    return true;
}
} // namespace textscan
