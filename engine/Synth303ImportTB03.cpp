// TB-03 pattern text (".prm"): "KEY = value" items; "STEP n = STATE=s NOTE=m ACCENT=a SLIDE=l"
// gives step n (from 1). END_STEP must come before the steps it admits.
#include <cstdio>
#include <cstring>

#include "engine/Synth303.h"
#include "patterns/ScopedFile.h"
#include "patterns/TextScanner.h"

namespace
{
constexpr int kWordSize = 64;       // longer words are cut
constexpr int kStepFields = 4;      // STATE, NOTE, ACCENT, SLIDE
constexpr unsigned kBaseNote = 36;  // NOTE=36 is pitch 0
constexpr unsigned kSlideShift = 3;
constexpr unsigned kAccentShift = 4;

// A step without its STEP item stays a rest on pitch 0.
struct Tb03Step
{
    int state = 0;
    int note = static_cast<int>(kBaseNote);
    int accent = 0;
    int slide = 0;
};

struct Tb03Pattern
{
    bool haveEndStep = false;
    long long stepCount = 0; // END_STEP + 1
    int triplet = 0;
    Tb03Step steps[Vst303Pattern::kMaxSteps];

    bool admits(int n) const { return n >= 1 && n <= stepCount && n <= Vst303Pattern::kMaxSteps; }
};

long long clampLong(long long v, long long lo, long long hi) { return v < lo ? lo : (v > hi ? hi : v); }

bool readIntWord(FILE* file, int* out)
{
    char word[kWordSize];
    const char* p = word;
    return textscan::readWord(file, word, kWordSize) && textscan::parseInt(&p, out);
}

bool readEquals(FILE* file)
{
    char word[kWordSize];
    return textscan::readWord(file, word, kWordSize) && std::strcmp(word, "=") == 0;
}

// "= value" after a key.
bool readAssignedInt(FILE* file, int* out) { return readEquals(file) && readIntWord(file, out); }

// One "NAME=value" token of a STEP item; unknown names and broken tokens change nothing.
void applyStepField(const char* token, Tb03Step& step)
{
    const char* equals = std::strchr(token, '=');
    if (equals == nullptr)
        return;
    const char* p = equals + 1;
    int value = 0;
    if (!textscan::parseInt(&p, &value))
        return;
    const size_t nameLength = static_cast<size_t>(equals - token);
    auto is = [&](const char* name) { return std::strlen(name) == nameLength && std::strncmp(token, name, nameLength) == 0; };
    if (is("STATE"))
        step.state = value;
    else if (is("NOTE"))
        step.note = value;
    else if (is("ACCENT"))
        step.accent = value;
    else if (is("SLIDE"))
        step.slide = value;
}

void readStepItem(FILE* file, Tb03Pattern& pattern)
{
    int n = 0;
    if (!readIntWord(file, &n) || !readEquals(file))
        return;
    Tb03Step step = pattern.admits(n) ? pattern.steps[n - 1] : Tb03Step{};
    char token[kWordSize];
    for (int i = 0; i < kStepFields && textscan::readWord(file, token, kWordSize); ++i)
        applyStepField(token, step);
    if (pattern.admits(n))
        pattern.steps[n - 1] = step;
}

void readItems(FILE* file, Tb03Pattern& pattern)
{
    char key[kWordSize];
    while (textscan::readWord(file, key, kWordSize))
    {
        int value = 0;
        if (std::strcmp(key, "END_STEP") == 0 && readAssignedInt(file, &value))
        {
            pattern.haveEndStep = true;
            pattern.stepCount = static_cast<long long>(value) + 1;
            std::printf("Pattern Length: %lld\n", pattern.stepCount);
        }
        else if (std::strcmp(key, "TRIPLET") == 0 && readAssignedInt(file, &value))
        {
            pattern.triplet = value;
            std::printf("Triplet: %d\n", value);
        }
        else if (std::strcmp(key, "STEP") == 0)
        {
            readStepItem(file, pattern);
        }
    }
}

void storeStep(const Tb03Step& in, step_t& out)
{
    const unsigned flags = static_cast<unsigned>(in.state) | static_cast<unsigned>(in.slide) << kSlideShift |
                           static_cast<unsigned>(in.accent) << kAccentShift;
    out.pitch = static_cast<int8_t>((static_cast<unsigned>(in.note) - kBaseNote) & 0xFF);
    out.flags = static_cast<uint8_t>(flags & 0xFF);
}
} // namespace

int Synth303::importTB03Pattern(const char* path)
{
    ScopedFile file = openFile(path, "r");
    if (!file)
        return 0;
    Tb03Pattern in;
    readItems(file.get(), in);
    // Without END_STEP the file is no TB-03 pattern: the current pattern stays as it was.
    if (!in.haveEndStep)
        return 1;

    Vst303Pattern& pattern = activePattern();
    pattern.Clear();
    pattern.setLength(static_cast<int>(clampLong(in.stepCount, 1, Vst303Pattern::kMaxSteps)));
    pattern.setTriplet(in.triplet & 1);
    const int count = static_cast<int>(clampLong(in.stepCount, 0, Vst303Pattern::kMaxSteps));
    for (int i = 0; i < count; ++i)
        storeStep(in.steps[i], pattern.steps[i]);
    return 1;
}
