#include "patterns/WholeFileWriter.h"

#include "patterns/WriterTemporaries.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int kNameAttempts = 100;
// Large enough for any file the program writes, so the bytes reach the disk in the one flush of
// commit() and a failure there still carries its reason in errno.
constexpr size_t kBufferBytes = 1 << 16;

// A symbolic link is followed, so the file it points to is replaced and the link stays.
std::string resolvedTarget(const char* target)
{
    struct stat link;
    if (lstat(target, &link) == 0 && S_ISLNK(link.st_mode))
    {
        char real[PATH_MAX];
        if (realpath(target, real) != nullptr)
            return real;
    }
    return target;
}

// The folder part of `path` with its trailing separator, empty for a bare name.
std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

sigset_t fileSizeSignal()
{
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, SIGXFSZ);
    return only;
}

void syncFolder(const std::string& folder)
{
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
    {
        fsync(fd);
        close(fd);
    }
}
} // namespace

void WholeFileWriter::holdFileSizeSignal()
{
    const sigset_t only = fileSizeSignal();
    pthread_sigmask(SIG_BLOCK, &only, &signalsBefore);
    sigset_t pending;
    signalWasPending = sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1;
}

// A write past the limit left SIGXFSZ pending on this thread: it is taken back before the mask
// returns to what it was, so the failed write is only said, never fatal.
void WholeFileWriter::releaseFileSizeSignal()
{
    const sigset_t only = fileSizeSignal();
    sigset_t pending;
    if (!signalWasPending && sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1)
    {
        const timespec now{0, 0};
        sigtimedwait(&only, nullptr, &now);
    }
    if (sigismember(&signalsBefore, SIGXFSZ) != 1)
        pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
}

WholeFileWriter::WholeFileWriter(const char* path)
{
    holdFileSizeSignal();
    if (path == nullptr || path[0] == '\0')
    {
        abandon(ENOENT);
        return;
    }
    target = resolvedTarget(path);
    struct stat existing;
    const bool exists = stat(target.c_str(), &existing) == 0;
    // Only a plain file is replaced: a folder, a device or a pipe in its place stays as it is.
    if (exists && !S_ISREG(existing.st_mode))
    {
        abandon(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
        return;
    }
    const std::string folder = folderOf(target);
    oxn3::removeDeadWritersTemporaries(folder);
    int fd = -1;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt)
    {
        temporary = oxn3::writerTemporaryName(folder);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
    {
        temporary.clear();
        abandon(errno);
        return;
    }
    if (exists)
        fchmod(fd, existing.st_mode & 07777); // a replaced file keeps who may read it
    out = fdopen(fd, "w");
    if (out == nullptr)
    {
        const int reason = errno;
        close(fd);
        abandon(reason);
        return;
    }
    std::setvbuf(out, nullptr, _IOFBF, kBufferBytes);
    errno = 0;
}

WholeFileWriter::~WholeFileWriter()
{
    const int saved = errno;
    if (out != nullptr)
        std::fclose(out);
    if (!temporary.empty())
        unlink(temporary.c_str());
    releaseFileSizeSignal();
    errno = saved;
}

bool WholeFileWriter::abandon(int reason)
{
    error = reason != 0 ? reason : EIO;
    if (out != nullptr)
        std::fclose(out);
    out = nullptr;
    if (!temporary.empty())
        unlink(temporary.c_str());
    temporary.clear();
    errno = error;
    return false;
}

bool WholeFileWriter::commit()
{
    if (out == nullptr)
        return abandon(error);
    if (std::fflush(out) != 0 || std::ferror(out) != 0)
        return abandon(errno);
    // Some file systems cannot sync a file; the bytes are still written.
    if (fsync(fileno(out)) != 0 && errno != EINVAL && errno != ENOTSUP)
        return abandon(errno);
    FILE* closing = out;
    out = nullptr;
    if (std::fclose(closing) != 0)
        return abandon(errno);
    if (std::rename(temporary.c_str(), target.c_str()) != 0)
        return abandon(errno);
    temporary.clear();
    syncFolder(folderOf(target));
    return true;
}

bool writeWholeFile(const char* target, const void* data, size_t size)
{
    WholeFileWriter file(target);
    if (file.stream() != nullptr && size > 0)
        std::fwrite(data, 1, size, file.stream());
    return file.commit();
}
