#pragma once

#include <cstdio>

// Reading the processor's own text files ("Config.ini", ".map") and the editor's GUI files:
// lines of the form key, white space, "=", white space, value; lines starting with ';' are
// comments. Every buffer is bounded: longer words are cut and the rest is read over.
namespace oxn3files
{
constexpr int kTokenSize = 80; // a word of at most 79 characters and its terminating NUL

struct KeyValue
{
    char key[kTokenSize] = {};
    char value[kTokenSize] = {};
    bool complete = false; // the key was followed by white space and "=", and a value was read
};

// Reads the next pair with the rules " %79s =" for the key and " %79s" for the value, passing
// over white space and comment lines; a word longer than 79 characters is cut and its rest read
// over. False at the end of the file. A pair that is not complete (a key joined to its "=", a
// missing value) is still returned, so that the caller reads on.
bool readKeyValue(FILE* file, KeyValue& pair);

// The value as strtol reads it in base 0 (decimal, "0x" hexadecimal, leading-zero octal), held
// within the int range. Text that is no number reads 0.
int valueAsInt(const char* value);

// The number at the start of `text` read with the "C" locale's decimal point, whatever locale
// the host runs in; `fallback` when the text does not start with a finite number.
double parseDouble(const char* text, double fallback);

// Reads a double-quoted value: the very next character must be '"' (else 0, nothing stored, that
// character consumed); then the characters up to the closing quote or the end of the file, of
// which at most outSize - 1 are stored with a terminating NUL. The closing quote is consumed, not
// stored. Returns the number of characters stored; no escape sequences.
int read_quoted_string(FILE* stream, char* out, int outSize);

template <int N>
int read_quoted_string(FILE* stream, char (&out)[N])
{
    return read_quoted_string(stream, out, N);
}
} // namespace oxn3files
