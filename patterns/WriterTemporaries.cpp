#include "patterns/WriterTemporaries.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Hashed, so any host name gives a tag of one fixed form. A folder shared with another machine
// holds temporaries whose process ids mean nothing here: those are never taken for dead.
std::string machineTag()
{
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    uint32_t hash = 2166136261u;
    for (const char* c = host; *c != '\0'; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    char tag[9];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(hash));
    return tag;
}

const std::string& thisMachine()
{
    static const std::string tag = machineTag();
    return tag;
}

// The process id in a temporary's name when the name is one of this machine's, else 0.
long writerOf(const char* name)
{
    long pid = 0;
    char tag[9] = {};
    int end = 0;
    const int read = std::sscanf(name, ".oxn3-%ld-%8[0-9a-f]-%*u-%*u.tmp%n", &pid, tag, &end);
    if (read != 2 || end == 0 || name[end] != '\0')
        return 0;
    return pid > 0 && pid <= INT_MAX && thisMachine() == tag ? pid : 0;
}

// Only a process that is certainly gone counts: one of another user answers EPERM and stays.
bool isGone(long pid)
{
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}
} // namespace

namespace oxn3
{
std::string writerTemporaryName(const std::string& folder)
{
    static std::atomic<unsigned> counter{0};
    const auto now = static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
    return folder + ".oxn3-" + std::to_string(getpid()) + "-" + thisMachine() + "-" +
           std::to_string(counter++) + "-" + std::to_string(now % 1000000007UL) + ".tmp";
}

void removeDeadWritersTemporaries(const std::string& folder)
{
    const int saved = errno;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
    {
        errno = saved;
        return;
    }
    while (const dirent* entry = readdir(dir))
    {
        const long pid = writerOf(entry->d_name);
        struct stat info;
        if (pid != 0 && isGone(pid) && fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode))
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
    errno = saved;
}
} // namespace oxn3
