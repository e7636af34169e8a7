#pragma once

#include <csignal>
#include <cstddef>
#include <cstdio>
#include <string>

// Writes a file whole or not at all. The bytes go to a hidden temporary file in the target's
// folder, which is flushed to the disk and only then renamed over the target, so a full disk, a
// crash or a kill never leaves a cut-off file in place of a good one. Every file the program
// writes goes through here.
// While a writer lives, its thread holds back SIGXFSZ: a write past the process's file-size limit
// then fails with EFBIG instead of ending the process, which in a plug-in is the whole host.
class WholeFileWriter
{
public:
    // Makes the temporary file; stream() is null (and error set) when that is impossible.
    explicit WholeFileWriter(const char* target);
    // Without a successful commit() the temporary file is removed and the target stays as it was.
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    FILE* stream() const { return out; }

    // Puts the written bytes in place of the target. False when anything failed on the way; then
    // `error` and errno hold the reason (an errno value) and nothing on the disk has changed.
    bool commit();

    // Gives up: the temporary file goes, `error` and errno become `reason`; returns false.
    bool abandon(int reason);

    int error = 0;

private:
    void holdFileSizeSignal();
    void releaseFileSizeSignal();

    sigset_t signalsBefore{};
    bool signalWasPending = false;
    std::string target;
    std::string temporary;
    FILE* out = nullptr;
};

// The whole of `size` bytes as the file `target`; false with errno set when it failed.
bool writeWholeFile(const char* target, const void* data, size_t size);
