#include "JhfFont.h"

#include <cstdlib>

namespace gen
{
namespace
{
constexpr char kOrigin = 'R';

// The file's text with the line breaks inside a glyph removed: a glyph line that is shorter than
// its vertex count says continues on the next line.
std::string nextGlyphText(const std::string& text, size_t& pos, int& count, std::string& error)
{
    while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r'))
        ++pos;
    if (text.size() - pos < 8)
    {
        error = "truncated glyph header";
        return {};
    }
    count = std::atoi(text.substr(pos + 5, 3).c_str());
    pos += 8;
    std::string data;
    const size_t wanted = static_cast<size_t>(count) * 2;
    while (data.size() < wanted && pos < text.size())
    {
        const char c = text[pos++];
        if (c != '\n' && c != '\r')
            data += c;
    }
    if (count < 1 || data.size() != wanted)
        error = "glyph data shorter than its vertex count";
    return data;
}
} // namespace

bool parseJhf(const std::string& text, std::vector<JhfGlyph>& out, std::string& error)
{
    size_t pos = 0;
    for (;;)
    {
        while (pos < text.size() && (text[pos] == '\n' || text[pos] == '\r'))
            ++pos;
        if (pos >= text.size())
            return true;
        int count = 0;
        const std::string data = nextGlyphText(text, pos, count, error);
        if (!error.empty())
            return false;
        JhfGlyph glyph;
        glyph.left = data[0] - kOrigin;
        glyph.right = data[1] - kOrigin;
        for (size_t i = 2; i + 1 < data.size(); i += 2)
        {
            JhfGlyph::Vertex v;
            v.penUp = data[i] == ' ' && data[i + 1] == 'R';
            v.x = data[i] - kOrigin;
            v.y = data[i + 1] - kOrigin;
            glyph.vertices.push_back(v);
        }
        out.push_back(glyph);
    }
}

bool toRecord(const JhfGlyph& glyph, GlyphRecord& record)
{
    record.fill(0);
    const int count = static_cast<int>(glyph.vertices.size());
    if (count > kMaxVertices)
        return false;
    record[0] = count;
    record[1] = glyph.right - glyph.left;
    for (int i = 0; i < count; ++i)
    {
        const JhfGlyph::Vertex& v = glyph.vertices[static_cast<size_t>(i)];
        record[static_cast<size_t>(2 + 2 * i)] = v.penUp ? -1 : v.x - glyph.left;
        record[static_cast<size_t>(3 + 2 * i)] = v.penUp ? -1 : kBaselineRow - v.y;
    }
    return true;
}
} // namespace gen
