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

