#pragma once

#include <cstdio>
#include <memory>

// A FILE handle that closes itself, so that no return path of a reader or writer leaks it.
struct FileCloser
{
    void operator()(FILE* file) const
    {
        if (file != nullptr)
            std::fclose(file);
    }
};

using ScopedFile = std::unique_ptr<FILE, FileCloser>;

inline ScopedFile openFile(const char* path, const char* mode)
{
    return ScopedFile(path != nullptr ? std::fopen(path, mode) : nullptr);
}

// Closes a file that was written and tells whether every byte reached it: a full disk shows up
// only in the error flag or in fclose.
inline bool closeAfterWriting(ScopedFile& file)
{
    FILE* raw = file.release();
    if (raw == nullptr)
        return false;
    const bool written = std::ferror(raw) == 0;
    const bool closed = std::fclose(raw) == 0;
    return written && closed;
}
