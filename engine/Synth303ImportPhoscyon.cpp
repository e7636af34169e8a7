// Phoscyon pattern banks (".ph"): 128 blocks of text numbers, each a length, two unused
// numbers and 16 step lines of nine numbers.
#include "engine/Synth303.h"
#include "patterns/ScopedFile.h"
#include "patterns/TextScanner.h"

namespace
{
constexpr int kPhoscyonSteps = 16;
constexpr int kPhoscyonPatterns = oxn3::kUserPatterns;
constexpr unsigned kOctave = 12;

struct PhoscyonStep
{
    int note = 0;
    int down = 0;
    int up = 0;
    int gate = 0;
    int accent = 0;
    int slide = 0;
};

struct PhoscyonBlock
{
    int length = 0;
    PhoscyonStep steps[kPhoscyonSteps];
};

bool readInts(FILE* file, int* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!textscan::readInt(file, &values[i]))
            return false;
    return true;
}

// A block is taken only whole: a file that ends early leaves the patterns it did not reach.
bool readBlock(FILE* file, PhoscyonBlock& block)
{
    int head[3]; // length and two numbers we do not use
    if (!readInts(file, head, 3))
        return false;
    block.length = head[0];
    for (PhoscyonStep& step : block.steps)
    {
        int v[9]; // note, down, up, gate, accent, slide and three we do not use
        if (!readInts(file, v, 9))
            return false;
        step = PhoscyonStep{v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    return true;
}

// Up and down together mean two octaves apart in Phoscyon: the note moves up an octave and
// keeps only the up flag. The numbers are combined as read, 0 and 1 being the usual values.
void storeStep(const PhoscyonStep& in, step_t& out)
{
    unsigned note = static_cast<unsigned>(in.note);
    unsigned down = static_cast<unsigned>(in.down);
    if (in.up != 0 && in.down != 0)
    {
        note += kOctave;
        down = 0;
    }
    const unsigned flags = static_cast<unsigned>(in.gate) | static_cast<unsigned>(in.up) << 1 | down << 2 |
                           static_cast<unsigned>(in.slide) << 3 | static_cast<unsigned>(in.accent) << 4;
    out.pitch = static_cast<int8_t>(note & 0xFF);
    out.flags = static_cast<uint8_t>(flags & 0xFF);
}

void storeBlock(const PhoscyonBlock& block, Vst303Pattern& pattern)
{
    pattern.setLength(block.length);
    for (int s = 0; s < kPhoscyonSteps; ++s)
        storeStep(block.steps[s], pattern.steps[s]);
}
} // namespace

int Synth303::importPhoscyonPatterns(const char* path)
{
    ScopedFile file = openFile(path, "r");
    if (!file)
        return 0;
    PhoscyonBlock block;
    for (int p = 0; p < kPhoscyonPatterns; ++p)
    {
        if (!readBlock(file.get(), block))
            break;
        storeBlock(block, patterns[p]);
    }
    return 1;
}
