#include "patterns/MidiTrack.h"

#include <cerrno>

#include "patterns/WholeFileWriter.h"

namespace
{
constexpr long kTrackLengthOffset = 18; // after "MThd", its header and "MTrk"
constexpr unsigned kDataMask = 0x7F;     // MIDI data bytes carry 7 bits
constexpr unsigned kGroupBits = 7;
constexpr unsigned kMoreFollows = 0x80;

void put32(uint32_t value, FILE* out)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        std::fputc(static_cast<int>((value >> shift) & 0xFF), out);
}

void put16(uint32_t value, FILE* out)
{
    std::fputc(static_cast<int>((value >> 8) & 0xFF), out);
    std::fputc(static_cast<int>(value & 0xFF), out);
}

void writeFileHeader(FILE* out, uint32_t division)
{
    constexpr uint32_t kHeaderLength = 6;
    constexpr uint32_t kFormat = 0;
    constexpr uint32_t kTracks = 1;
    std::fputs("MThd", out);
    put32(kHeaderLength, out);
    put16(kFormat, out);
    put16(kTracks, out);
    put16(division & 0xFF, out);
    std::fputs("MTrk", out);
    put32(0, out); // filled in once the events are out
}

void writeEvent(FILE* out, const MidiTrackEvent& event)
{
    fputvar_m(event.delta, out);
    std::fputc(static_cast<int>(((event.type << 4) | event.channel) & 0xFF), out);
    std::fputc(static_cast<int>(event.note & kDataMask), out);
    std::fputc(static_cast<int>(event.velocity & kDataMask), out);
}

void writeEndOfTrack(FILE* out, uint32_t delta)
{
    fputvar_m(delta, out);
    const unsigned char endOfTrack[] = {0xFF, 0x2F, 0x00};
    std::fwrite(endOfTrack, 1, sizeof endOfTrack, out);
}

bool patchTrackLength(FILE* out)
{
    const long end = std::ftell(out);
    if (end < kTrackLengthOffset + 4)
        return false;
    if (std::fseek(out, kTrackLengthOffset, SEEK_SET) != 0)
        return false;
    put32(static_cast<uint32_t>(end - (kTrackLengthOffset + 4)), out);
    return std::fseek(out, 0, SEEK_END) == 0;
}
} // namespace

void fputvar_m(unsigned value, FILE* out)
{
    unsigned char groups[5];
    int n = 0;
    do
    {
        groups[n++] = static_cast<unsigned char>(value & kDataMask);
        value >>= kGroupBits;
    } while (value != 0);
    while (n > 1)
        std::fputc(groups[--n] | kMoreFollows, out);
    std::fputc(groups[0], out);
}

MidiTrack::MidiTrack() : events(new MidiTrackEvent[kCapacity]) {}

MidiTrack::~MidiTrack() = default;

bool MidiTrack::addEvent(uint32_t delta, uint32_t type, uint32_t note, uint32_t velocity)
{
    if (count >= kCapacity)
        return false;
    MidiTrackEvent& event = events[count++];
    event.delta = delta;
    event.type = type;
    event.channel = 0;
    event.note = note;
    event.velocity = velocity;
    return true;
}

int MidiTrack::writeTrack(const char* path) const
{
    WholeFileWriter file(path);
    FILE* out = file.stream();
    if (out == nullptr)
        return 0;
    writeFileHeader(out, division);
    for (uint32_t i = 0; i < count; ++i)
        writeEvent(out, events[i]);
    writeEndOfTrack(out, endOfTrackDelta);
    if (!patchTrackLength(out))
    {
        file.abandon(std::ferror(out) != 0 ? errno : EIO);
        return 0;
    }
    return file.commit() ? 1 : 0;
}
