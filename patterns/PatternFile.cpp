// The ".pat" text file: a tag line with the header word, an optional knob line, one line per step.
// Save writes the current generation; Load reads it and the two older ones.
#include <cstdlib>
#include <cstring>

#include "patterns/ScopedFile.h"
#include "patterns/TextScanner.h"
#include "patterns/Vst303Pattern.h"
#include "patterns/Vst303PatternMetaData.h"
#include "patterns/WholeFileWriter.h"

namespace
{
constexpr char kCurrentTag[] = "OXN3 Meta tag: ";
constexpr char kOlderTag[] = "OXN2 Meta tag: ";
constexpr int kMaxLineChars = 255;   // longer lines are cut
constexpr int kCountCeiling = 128;   // above any length a tag line can name
constexpr char kOldNoteNames[] = "c-c#d-d#e-f-f#g-g#a-a#b-";
constexpr int kNotesPerOctave = 12;

enum class StepFormat
{
    Old,     // "a#5 1 1 0": note name, octave digit, gate, slide, accent
    Current  // "pitch down up accent slide gate"
};

struct LoadState
{
    StepFormat format = StepFormat::Old;
    int limit = 0;        // steps named by the tag line, 0 without one
    int count = 0;        // step lines read so far
    int previousNote = 0; // note index of the last old-generation line

    bool done() const { return limit >= 1 && count >= limit; }
};

int flagBit(int value, uint8_t mask) { return value != 0 ? mask : 0; }

bool isLineSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool endsLine(int c) { return c == EOF || c == '\n' || c == '\r' || c == '\0'; }

int skipSpace(FILE* in)
{
    int c = std::fgetc(in);
    while (isLineSpace(c))
        c = std::fgetc(in);
    return c;
}

// Reads to the end of the line and keeps its first kMaxLineChars characters.
void readLine(FILE* in, char* line)
{
    int kept = 0;
    for (int c = std::fgetc(in); !endsLine(c); c = std::fgetc(in))
        if (kept < kMaxLineChars)
            line[kept++] = static_cast<char>(c);
    line[kept] = '\0';
}

// A tag names the generation; the number after it is the whole header word ("%u" rules).
void applyTag(const char* line, const char* tag, StepFormat format, Vst303Pattern& pattern, LoadState& state)
{
    const char* at = std::strstr(line, tag);
    if (at == nullptr)
        return;
    state.format = format;
    const char* digits = at + std::strlen(tag);
    char* end = nullptr;
    const unsigned long number = std::strtoul(digits, &end, 10);
    if (end == digits)
        return;
    pattern.header = static_cast<uint32_t>(number);
    state.limit = pattern.getLength();
}

bool readCurrentStep(const char* line, step_t* slot)
{
    int item[6]; // pitch, down, up, accent, slide, gate
    const char* p = line;
    for (int& value : item)
        if (!textscan::parseInt(&p, &value))
            return false;
    if (slot == nullptr)
        return true;
    const int flags = flagBit(item[5], step_t::kGate) | flagBit(item[2], step_t::kUp) |
                      flagBit(item[1], step_t::kDown) | flagBit(item[4], step_t::kSlide) |
                      flagBit(item[3], step_t::kAccent);
    slot->pitch = static_cast<int8_t>(item[0]);
    // The file stores no ties: a tie left from the slot's old contents would join the loaded notes.
    slot->flags = static_cast<uint8_t>(flags | (slot->flags & step_t::kSpare));
    return true;
}

int oldNoteIndex(char first, char second)
{
    for (int i = 0; i < kNotesPerOctave; ++i)
        if (kOldNoteNames[2 * i] == first && kOldNoteNames[2 * i + 1] == second)
            return i;
    return -1;
}

// Octave digits 0-2 play an octave down, 3 plain, 4 up, 5 and 6 up with one or two more
// octaves in the pitch; every other character reads as up.
void applyOldOctave(char digit, int note, step_t& step)
{
    step.pitch = static_cast<int8_t>(note);
    if (digit >= '0' && digit <= '2')
        step.flags = step_t::kDown;
    else if (digit == '3')
        step.flags = 0;
    else
        step.flags = step_t::kUp;
    if (digit == '5')
        step.pitch = static_cast<int8_t>(note + kNotesPerOctave);
    if (digit == '6')
        step.pitch = static_cast<int8_t>(note + 2 * kNotesPerOctave);
}

bool readOldStep(const char* line, step_t* slot, int& previousNote)
{
    if (std::strlen(line) < 3)
        return false;
    char switches[3]; // gate, slide, accent: only the lowest bit counts
    const char* p = line + 3;
    for (char& s : switches)
    {
        while (textscan::isSpace(static_cast<unsigned char>(*p)))
            ++p;
        if (*p == '\0')
            return false;
        s = *p++;
    }
    const int found = oldNoteIndex(line[0], line[1]);
    const int note = found >= 0 ? found : previousNote;
    previousNote = note;
    if (slot == nullptr)
        return true;
    applyOldOctave(line[2], note, *slot);
    slot->flags = static_cast<uint8_t>(slot->flags | flagBit(switches[0] & 1, step_t::kGate) |
                                       flagBit(switches[1] & 1, step_t::kSlide) |
                                       flagBit(switches[2] & 1, step_t::kAccent));
    return true;
}

// Lines past the 64th are parsed and dropped. False for a line that ends the load.
bool readStepLine(const char* line, Vst303Pattern& pattern, LoadState& state)
{
    step_t* slot = state.count < Vst303Pattern::kMaxSteps ? &pattern.steps[state.count] : nullptr;
    const bool ok = state.format == StepFormat::Current ? readCurrentStep(line, slot)
                                                        : readOldStep(line, slot, state.previousNote);
    if (ok && state.count < kCountCeiling)
        ++state.count;
    return ok;
}

void writeStepLine(FILE* out, const step_t& step)
{
    std::fprintf(out, "%d %d %d %d %d %d\n", step.pitch, step.has(step_t::kDown) ? 1 : 0,
                 step.has(step_t::kUp) ? 1 : 0, step.has(step_t::kAccent) ? 1 : 0,
                 step.has(step_t::kSlide) ? 1 : 0, step.has(step_t::kGate) ? 1 : 0);
}

void writePatternLines(FILE* out, const Vst303Pattern& pattern, const Vst303PatternMetaData* meta)
{
    std::fprintf(out, "; %s%u\n", kCurrentTag, pattern.header);
    if (meta != nullptr)
        meta->Write(out);
    const int count = pattern.getStepCount();
    for (int i = 0; i < count; ++i)
        writeStepLine(out, pattern.steps[i]);
}
} // namespace

int Vst303Pattern::Save(const char* path, FILE* stream, const Vst303PatternMetaData* meta) const
{
    if (path != nullptr)
    {
        WholeFileWriter file(path);
        if (file.stream() != nullptr)
            writePatternLines(file.stream(), *this, meta);
        return file.commit() ? 1 : 0;
    }
    if (stream == nullptr)
        return 0;
    writePatternLines(stream, *this, meta);
    return std::ferror(stream) == 0 ? 1 : 0;
}


int Vst303Pattern::Load(const char* path, FILE* stream, Vst303PatternMetaData* meta)
{
    ScopedFile file;
    FILE* in = stream;
    if (path != nullptr)
    {
        file = openFile(path, "r");
        in = file.get();
    }
    if (in == nullptr)
        return 0;
    if (meta != nullptr)
        *meta = Vst303PatternMetaData();

    // Read into a copy: a file without a single step line leaves the slot as it was.
    Vst303Pattern loaded = *this;
    LoadState state;
    char line[kMaxLineChars + 1];
    for (int c = skipSpace(in); c != EOF; c = skipSpace(in))
    {
        if (c == ';')
        {
            readLine(in, line);
            applyTag(line, kOlderTag, StepFormat::Old, loaded, state);
            applyTag(line, kCurrentTag, StepFormat::Current, loaded, state);
            if (meta != nullptr)
                meta->Parse(line);
        }
        else
        {
            std::ungetc(c, in);
            readLine(in, line);
            if (!readStepLine(line, loaded, state))
                break;
        }
        if (state.done())
            break;
    }
    if (state.count == 0)
        return 0;
    loaded.setLength(state.count);
    *this = loaded;
    return 1;
}
