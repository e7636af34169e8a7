#include "PatternText.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

const char* const kDemoPatternText = "0a 12 3s 15a 7 - 10u 5sa 8s 0 12a 3d 7s 10a 0 5";

namespace
{
constexpr int kHighestPitch = 36;

int parseStep(const std::string& token, step_t& step)
{
    step = step_t();
    if (token == "-")
        return 1;
    if (token == "~")
    {
        step.flags = step_t::kTie;
        return 1;
    }
    char* end = nullptr;
    const long pitch = std::strtol(token.c_str(), &end, 10);
    if (end == token.c_str() || pitch < 0 || pitch > kHighestPitch)
        return 0;
    step.pitch = static_cast<int8_t>(pitch);
    step.flags = step_t::kGate;
    for (; *end != '\0'; ++end)
    {
        switch (*end)
        {
        case 'a': step.flags |= step_t::kAccent; break;
        case 's': step.flags |= step_t::kSlide; break;
        case 'u': step.flags |= step_t::kUp; break;
        case 'd': step.flags |= step_t::kDown; break;
        default: return 0;
        }
    }
    return 1;
}
} // namespace

int parsePatternText(const char* text, Vst303Pattern& pattern)
{
    Vst303Pattern parsed;
    std::istringstream in(text);
    std::string token;
    int count = 0;
    while (in >> token)
    {
        if (count == Vst303Pattern::kMaxSteps || !parseStep(token, parsed.steps[count]))
            return 0;
        ++count;
    }
    if (count == 0)
        return 0;
    parsed.setLength(count);
    pattern = parsed;
    return 1;
}
