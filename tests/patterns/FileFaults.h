#pragma once
// Real faults for the file writers' tests: a disk with no room left (a file-size limit of 0
// bytes), and the list of what a folder holds, to see that a failed write left nothing behind.
#include <filesystem>
#include <set>
#include <string>
#include <sys/resource.h>

// While it lives, every byte written to a file fails with EFBIG, as on a full disk. SIGXFSZ keeps
// its default action, which ends the process: the writers must hold it back themselves.
class NoRoomOnDisk
{
public:
    NoRoomOnDisk()
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit none = saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoRoomOnDisk()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
    }
    NoRoomOnDisk(const NoRoomOnDisk&) = delete;
    NoRoomOnDisk& operator=(const NoRoomOnDisk&) = delete;

private:
    rlimit saved{};
};

// Every entry under `folder`, by its path relative to it.
inline std::set<std::string> entriesUnder(const std::string& folder)
{
    std::set<std::string> entries;
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        entries.insert(it->path().lexically_relative(folder).string());
    return entries;
}
