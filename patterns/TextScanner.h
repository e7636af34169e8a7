#pragma once

#include <cstdio>

// Bounded readers for the whitespace-separated text of pattern files. Numbers follow the
// rules of "%d" (leading white space, optional sign, decimal digits) but saturate at the
// int range instead of overflowing; words longer than the buffer are consumed whole and cut.
namespace textscan
{
bool isSpace(int c);

// Next word into `word` (at most size - 1 characters kept). False at the end of the file.
bool readWord(FILE* file, char* word, int size);

// Next decimal integer of the file. False, with the offending character left unread, when
// no digit follows the white space (and optional sign).
bool readInt(FILE* file, int* out);

// Decimal integer at *text; on success *text moves past it. White space before it is skipped.
bool parseInt(const char** text, int* out);
} // namespace textscan
