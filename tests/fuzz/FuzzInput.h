#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

// The readers take paths, so every fuzz input goes through a scratch file. Each process makes
// its own files in $TMPDIR (scripts/fuzz.sh points it at a folder it removes afterwards).
inline std::string makeScratchFile(const char* name)
{
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/oxn3-fuzz-" + name + "-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0)
        std::abort();
    close(fd);
    return path;
}

// Writes the input to the process's input file and returns its path.
inline const char* writeFuzzInput(const uint8_t* data, size_t size)
{
    static const std::string path = makeScratchFile("input");
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path.c_str();
}

// The readers trace to standard output; thousands of runs a second would drown the log.
inline void silenceStandardOutput()
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
}

// A broken invariant is a finding like a crash.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A FILE left open keeps its descriptor, so the lowest free descriptor would creep upwards.
// (The leak checker cannot see it: the C library still lists every open FILE.)
inline void requireNoFileLeft()
{
    static int baseline = -1;
    const int fd = open("/dev/null", O_RDONLY);
    close(fd);
    if (baseline < 0)
        baseline = fd;
    require(fd == baseline);
}
