#include "patterns/Vst303PatternMetaData.h"

#include <cstdlib>
#include <cstring>

namespace
{
constexpr char kCommentMarker = ';';

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A word ends at a space, a line feed or the end of the string; tabs belong to the word.
bool endsWord(char c)
{
    return c == ' ' || c == '\n' || c == '\0';
}

// Copies the next word of at most kMaxTokenLength characters into `word` and returns the
// position after it. The blank or line feed that ends a word is consumed with it; a word
// cut at the maximum length continues as the next word.
const char* readWord(const char* p, char* word)
{
    while (isBlank(*p))
        ++p;
    int n = 0;
    while (!endsWord(*p) && n < Vst303PatternMetaData::kMaxTokenLength)
        word[n++] = *p++;
    word[n] = '\0';
    if (*p == ' ' || *p == '\n') ++p;
    return p;
}

int findTag(const char* tag)
{
    if (tag == nullptr) return -1;
    for (int i = 0; i < Vst303PatternMetaData::kTagCount; ++i)
        if (std::strcmp(tag, Vst303PatternMetaData::meta_tag_table[i]) == 0) return i;
    return -1;
}
} // namespace

Vst303PatternMetaData::Vst303PatternMetaData()
{
    for (int i = 0; i < kMaxEntries; ++i)
    {
        value[i] = kAbsentValue;
        present[i] = 0;
    }
}

int Vst303PatternMetaData::setValue(const char* tag, float v)
{
    const int i = findTag(tag);
    if (i < 0) return 0;
    value[i] = v;
    present[i] = 1;
    return 1;
}

int Vst303PatternMetaData::getValue(const char* tag, float* out) const
{
    const int i = findTag(tag);
    if (i < 0 || !present[i] || out == nullptr) return 0;
    *out = value[i];
    return 1;
}

bool Vst303PatternMetaData::Parse(char* line)
{
    if (line == nullptr) return true;
    char name[kMaxTokenLength + 1];
    char number[kMaxTokenLength + 1];
    // The meta line is written as a comment: "; Tune: 0.5 ...". Without dropping the marker
    // it would be read as the first name and every pair would be off by one word.
    const char* p = line;
    while (isBlank(*p))
        ++p;
    if (*p == kCommentMarker) ++p;
    for (;;)
    {
        const char* passStart = p;
        p = readWord(p, name);
        if (p == passStart) break;
        p = readWord(p, number);
        setValue(name, static_cast<float>(std::atof(number)));
    }
    return true;
}

int Vst303PatternMetaData::Write(FILE* file) const
{
    if (file == nullptr) return 0;
    std::fputs("; ", file);
    for (int i = 0; i < kTagCount; ++i)
        if (present[i]) std::fprintf(file, "%s %f ", meta_tag_table[i], static_cast<double>(value[i]));
    std::fputs("\n", file);
    return 0;
}
