#include "processor/files/TuningFile.h"

#include <cstdio>
#include <cstring>

#include "patterns/ScopedFile.h"
#include "patterns/TextScanner.h"
#include "processor/files/KeyValueScanner.h"

namespace oxn3files
{
namespace
{
constexpr int kLineSize = 80; // 79 characters and the terminating NUL; longer lines are cut
constexpr int kMaxTokens = 8; // further tokens of a line are ignored
constexpr char kCommentStart = ';';
constexpr const char* kSectionHeader = "[Exact Tuning]";
constexpr const char* kNoteKey = "note";

struct Tokens
{
    char word[kMaxTokens][kLineSize] = {};
    int count = 0;
};

bool endsLine(int c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

// Reads one line into `line` (terminator not stored); what does not fit is read over.
// False at the end of the file when no character was left.
bool readLine(FILE* file, char (&line)[kLineSize])
{
    int c = std::fgetc(file);
    if (c == EOF)
        return false;
    int kept = 0;
    while (c != EOF && !endsLine(c))
    {
        if (kept < kLineSize - 1)
            line[kept++] = static_cast<char>(c);
        c = std::fgetc(file);
    }
    line[kept] = '\0';
    return true;
}

bool separatesTokens(char c)
{
    return c == ' ' || c == '=';
}

// Splits at spaces and '=' signs. A line of 79 characters gives words of at most 79.
Tokens splitLine(const char* line)
{
    Tokens tokens;
    const char* p = line;
    while (*p != '\0' && tokens.count < kMaxTokens)
    {
        while (separatesTokens(*p))
            ++p;
        if (*p == '\0')
            break;
        char* word = tokens.word[tokens.count++];
        int length = 0;
        while (*p != '\0' && !separatesTokens(*p))
            word[length++] = *p++;
        word[length] = '\0';
    }
    return tokens;
}

// Decimal, as atoi reads it; text that is no number reads 0.
int decimalInt(const char* text)
{
    int value = 0;
    return textscan::parseInt(&text, &value) ? value : 0;
}

// "note <n> <Hz>": note numbers outside 0..127 and lines of fewer than three words change nothing.
// A frequency that is no number reads 0, as atof reads it; so does one beyond the double range
// or "inf" / "nan", which the voice must never be handed.
void applyNoteLine(const Tokens& tokens, double* table)
{
    if (tokens.count < 3 || std::strcmp(tokens.word[0], kNoteKey) != 0)
        return;
    const int note = decimalInt(tokens.word[1]);
    if (note < 0 || note >= kTuningTableSize)
        return;
    table[note] = parseDouble(tokens.word[2], 0.0);
}
} // namespace

bool readTuningFile(const char* path, double* table)
{
    ScopedFile file = openFile(path, "r");
    if (file == nullptr)
        return false;
    char line[kLineSize] = {};
    while (readLine(file.get(), line))
    {
        if (line[0] == '\0')
            continue; // also the empty line between the CR and LF of a CR LF ending
        if (line[0] == kCommentStart)
            std::puts("Comment");
        else if (std::strcmp(line, kSectionHeader) == 0)
            std::puts("Exact Tuning found");
        else
            applyNoteLine(splitLine(line), table);
    }
    return true;
}
} // namespace oxn3files
