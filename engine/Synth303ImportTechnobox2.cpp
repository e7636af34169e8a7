// technoBox2 pattern banks (".tb"): little-endian chunks after the magic "9COT"; the "0303"
// chunk holds patterns 0..11 and the "1303" chunk patterns 12..23, as raw pattern records.
#include <cstring>

#include "engine/Synth303.h"
#include "patterns/ScopedFile.h"

namespace
{
constexpr unsigned char kMagic[4] = {'9', 'C', 'O', 'T'};
constexpr unsigned char kFirstBankId[4] = {'0', '3', '0', '3'};
constexpr unsigned char kSecondBankId[4] = {'1', '3', '0', '3'};
constexpr long long kChunkHeaderBytes = 8;
constexpr int kRecordsPerChunk = 12;
constexpr int kRecordBytes = 136;  // header word, 64 steps, 4 bytes we do not read
constexpr int kPatternBytes = 4 + 2 * Vst303Pattern::kMaxSteps;
constexpr int kChunkDataBytes = kRecordsPerChunk * kRecordBytes;
constexpr int kSecondBankFirstPattern = kRecordsPerChunk;

struct Technobox2Bank
{
    unsigned char data[kChunkDataBytes] = {};
    int records = 0; // records the chunk held whole
};

uint32_t readLE32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

long long fileLength(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    const long length = std::ftell(file);
    std::rewind(file);
    return length > 0 ? length : 0;
}

bool readAt(FILE* file, long long position, unsigned char* buffer, size_t bytes)
{
    return std::fseek(file, static_cast<long>(position), SEEK_SET) == 0 &&
           std::fread(buffer, 1, bytes, file) == bytes;
}

// Copies what the chunk holds (at most 12 records, at most what the file still has).
void readBankChunk(FILE* file, long long dataStart, long long available, uint32_t size, Technobox2Bank& bank)
{
    long long bytes = size;
    if (bytes > kChunkDataBytes)
        bytes = kChunkDataBytes;
    if (bytes > available)
        bytes = available;
    std::memset(bank.data, 0, sizeof bank.data);
    bank.records = 0;
    if (!readAt(file, dataStart, bank.data, static_cast<size_t>(bytes)))
        return;
    while (bank.records < kRecordsPerChunk && bank.records * kRecordBytes + kPatternBytes <= bytes)
        ++bank.records;
}

void storeRecord(const unsigned char* record, Vst303Pattern& pattern)
{
    const uint32_t header = readLE32(record);
    pattern.header = header;
    pattern.setLength(static_cast<int>(header & Vst303Pattern::kLengthMask)); // the bank holds 1..64
    for (int s = 0; s < Vst303Pattern::kMaxSteps; ++s)
    {
        pattern.steps[s].pitch = static_cast<int8_t>(record[4 + 2 * s]);
        pattern.steps[s].flags = record[5 + 2 * s];
    }
}

void storeBank(const Technobox2Bank& bank, Vst303Pattern* first)
{
    for (int r = 0; r < bank.records; ++r)
        storeRecord(bank.data + r * kRecordBytes, first[r]);
}
} // namespace

int Synth303::importTechnobox2Patterns(const char* path)
{
    ScopedFile file = openFile(path, "rb");
    if (!file)
        return 0;
    const long long length = fileLength(file.get());
    unsigned char magic[sizeof kMagic];
    if (length < 5 || !readAt(file.get(), 0, magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
        return 0;

    Technobox2Bank first;
    Technobox2Bank second;
    bool haveFirst = false;
    bool haveSecond = false;
    long long position = sizeof kMagic;
    while (length - position >= kChunkHeaderBytes)
    {
        unsigned char head[kChunkHeaderBytes];
        if (!readAt(file.get(), position, head, sizeof head))
            break;
        const uint32_t size = readLE32(head + 4);
        const long long dataStart = position + kChunkHeaderBytes;
        if (std::memcmp(head, kFirstBankId, 4) == 0)
        {
            readBankChunk(file.get(), dataStart, length - dataStart, size, first);
            haveFirst = true;
        }
        else if (std::memcmp(head, kSecondBankId, 4) == 0)
        {
            readBankChunk(file.get(), dataStart, length - dataStart, size, second);
            haveSecond = true;
        }
        position = dataStart + size;
    }

    if (haveFirst)
        storeBank(first, &patterns[0]);
    if (haveSecond)
        storeBank(second, &patterns[kSecondBankFirstPattern]);
    return 0;
}
