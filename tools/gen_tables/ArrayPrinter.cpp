#include "ArrayPrinter.h"

#include <cstring>

namespace gen
{
namespace
{
constexpr std::size_t kFloatsPerLine = 8;
constexpr std::size_t kIntsPerLine = 16;

template <typename Value, typename Format>
void printArray(std::FILE* out, const std::string& declaration, const std::vector<Value>& values,
                std::size_t perLine, Format format)
{
    std::fprintf(out, "%s = {", declaration.c_str());
    for (std::size_t i = 0; i < values.size(); ++i)
    {
        std::fputs(i % perLine == 0 ? "\n    " : " ", out);
        std::fputs(format(values[i]).c_str(), out);
        std::fputc(',', out);
    }
    std::fputs("\n};\n\n", out);
}
} // namespace

std::string floatLiteral(float value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string literal = text;
    // "1" or "-0" would read as integers, which take no 'f' suffix.
    if (std::strpbrk(text, ".e") == nullptr)
        literal += ".0";
    return literal + "f";
}

void printFloatArray(std::FILE* out, const std::string& declaration, const std::vector<float>& values)
{
    printArray(out, declaration, values, kFloatsPerLine, floatLiteral);
}

void printIntArray(std::FILE* out, const std::string& declaration, const std::vector<long>& values)
{
    printArray(out, declaration, values, kIntsPerLine, [](long v) { return std::to_string(v); });
}
} // namespace gen
