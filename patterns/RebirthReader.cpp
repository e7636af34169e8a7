// ReBirth songs (".rbs"): IFF-style chunks with big-endian sizes, padded to even length.
#include "patterns/RebirthReader.h"

#include <climits>
#include <cstring>

#include "patterns/ScopedFile.h"

namespace
{
constexpr long long kChunkHeaderBytes = 8;
constexpr long long kCatTypeBytes = 4;
constexpr int kMaxCatDepth = 16; // songs nest one level; deeper nesting is skipped

uint32_t readBE32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           static_cast<uint32_t>(p[3]);
}

bool isId(const unsigned char* head, const char* id) { return std::memcmp(head, id, 4) == 0; }

// A unit is taken while there is room and its data lies inside the parent; a longer chunk
// gives its first 1097 bytes, a shorter one leaves the rest of the record zero.
void readUnit(FILE* file, long long dataStart, long long size, long long end, RbsWalk& walk)
{
    if (walk.count >= walk.capacity || walk.out == nullptr || dataStart + size > end)
        return;
    rbs303_t unit;
    const size_t bytes = static_cast<size_t>(size < rbs303_t::kBytes ? size : rbs303_t::kBytes);
    if (std::fseek(file, static_cast<long>(dataStart), SEEK_SET) != 0 || std::fread(unit.bytes, 1, bytes, file) != bytes)
        return;
    walk.out[walk.count++] = unit;
}

void readCat(FILE* file, long long dataStart, long long size, long long end, RbsWalk& walk)
{
    if (walk.depth >= kMaxCatDepth || size < kCatTypeBytes)
        return;
    const long long catEnd = dataStart + size < end ? dataStart + size : end; // never past the parent
    if (std::fseek(file, static_cast<long>(dataStart + kCatTypeBytes), SEEK_SET) != 0)
        return;
    ++walk.depth;
    readchunk(file, static_cast<int>(catEnd), walk);
    --walk.depth;
}
} // namespace

int readchunk(FILE* file, int end, RbsWalk& walk)
{
    long position = std::ftell(file);
    while (position >= 0 && position + kChunkHeaderBytes <= end)
    {
        unsigned char head[kChunkHeaderBytes];
        if (std::fseek(file, position, SEEK_SET) != 0 || std::fread(head, 1, sizeof head, file) != sizeof head)
            break;
        const long long size = readBE32(head + 4);
        const long long dataStart = position + kChunkHeaderBytes;
        if (isId(head, "303 "))
            readUnit(file, dataStart, size, end, walk);
        else if (isId(head, "CAT "))
            readCat(file, dataStart, size, end, walk);
        const long long next = dataStart + size + (size & 1);
        if (next >= end)
            break;
        position = static_cast<long>(next);
    }
    return 1;
}

int GetFileLengthRBS(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    const long length = std::ftell(file);
    std::rewind(file);
    if (length <= 0)
        return 0;
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

int import_rbs(const char* path, rbs303_t* out, int capacity)
{
    ScopedFile file = openFile(path, "rb");
    if (!file)
        return 0;
    RbsWalk walk;
    walk.out = out;
    walk.capacity = capacity;
    readchunk(file.get(), GetFileLengthRBS(file.get()), walk);
    return walk.count;
}
