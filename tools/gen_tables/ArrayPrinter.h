#pragma once
// Writes C++ array definitions as text that compiles back to exactly the same values.

#include <cstdio>
#include <string>
#include <vector>

namespace gen
{
// Shortest text of a float literal that reads back as the same float ("%.9g" plus a suffix).
std::string floatLiteral(float value);

// "declaration = { values };" with a fixed number of values per line. A short value list
// leaves the rest of a larger declared array zero.
void printFloatArray(std::FILE* out, const std::string& declaration, const std::vector<float>& values);
void printIntArray(std::FILE* out, const std::string& declaration, const std::vector<long>& values);
} // namespace gen
