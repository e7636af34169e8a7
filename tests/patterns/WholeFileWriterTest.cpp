#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <pthread.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "patterns/FileFaults.h"
#include "patterns/ScratchFolder.h"
#include "patterns/Vst303Pattern.h"
#include "patterns/WholeFileWriter.h"

namespace
{
const std::string kOld = "; OXN3 Meta tag: 1\n0 0 0 0 0 1\n";

bool writeText(const std::string& target, const std::string& text)
{
    return writeWholeFile(target.c_str(), text.data(), text.size());
}

// A pattern whose file has `length` step lines, each unlike the others.
Vst303Pattern patternOf(int length)
{
    Vst303Pattern p;
    p.setLength(length);
    for (int i = 0; i < 64; ++i)
        p.steps[i] = {static_cast<int8_t>(i % 25 - 12), static_cast<uint8_t>(step_t::kGate | (i % 3 ? step_t::kSlide : 0))};
    return p;
}
} // namespace

// Each fault on the way to the disk: the writer says why, the old file keeps its bytes and the
// folder holds nothing new.
TEST(WholeFileWriter, AFailedWriteLeavesTheOldFileAndNothingElse)
{
    ScratchFolder folder;
    folder.write("plain.txt", std::string("x"));
    std::filesystem::create_directory(folder.path("folder.pat"));
    mkfifo(folder.path("pipe.pat").c_str(), 0600);
    std::filesystem::create_directory(folder.path("locked"));
    folder.write("locked/a.pat", kOld);
    std::filesystem::permissions(folder.path("locked"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool canLock = geteuid() != 0; // the owner of every file writes anywhere
    // {case, target, errno}
    const std::tuple<const char*, std::string, int> cases[] = {
        {"no room on the disk", folder.write("a.pat", kOld), EFBIG},
        {"a path through a file", folder.path("plain.txt/a.pat"), ENOTDIR},
        {"a target that is a folder", folder.path("folder.pat"), EISDIR},
        {"a pipe in the file's place", folder.path("pipe.pat"), EINVAL},
        {"a read-only folder", folder.path("locked/a.pat"), canLock ? EACCES : 0},
    };
    for (const auto& [name, target, error] : cases)
    {
        if (error == 0)
            continue;
        const auto before = entriesUnder(folder.path(""));
        bool written = true;
        int seen = 0;
        {
            std::unique_ptr<NoRoomOnDisk> full(error == EFBIG ? new NoRoomOnDisk : nullptr);
            written = writeText(target, std::string(5000, 'n'));
            seen = errno;
        }
        sigset_t mask;
        pthread_sigmask(SIG_BLOCK, nullptr, &mask);
        EXPECT_EQ(sigismember(&mask, SIGXFSZ), 0) << name; // the thread's mask is as it was
        EXPECT_FALSE(written) << name;
        EXPECT_EQ(seen, error) << name;
        EXPECT_EQ(entriesUnder(folder.path("")), before) << name;
        if (std::filesystem::is_regular_file(target))
        {
            EXPECT_EQ(ScratchFolder::read(target), kOld) << name;
        }
    }
    std::filesystem::permissions(folder.path("locked"), std::filesystem::perms::owner_all);
}

TEST(WholeFileWriter, AReplacedFileKeepsItsPermissionsAndLinksStayLinks)
{
    ScratchFolder folder;
    const std::string real = folder.write("real.map", kOld);
    chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, folder.path("link.map"));
    ASSERT_TRUE(writeText(folder.path("link.map"), "new\n"));
    struct stat info;
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path("link.map")));
    EXPECT_EQ(ScratchFolder::read(real), "new\n");
    EXPECT_EQ(entriesUnder(folder.path("")), (std::set<std::string>{"link.map", "real.map"}));
}

// A child process saves two patterns in turn over one file and is killed at a random moment,
// a few hundred times: the file is always one of the two, whole.
TEST(WholeFileWriter, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile)
{
    // A kill loses nothing the kernel holds, so a RAM disk tests the same and spares the time of
    // waiting for a disk in every run.
    ScratchFolder folder(std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0
                             ? "/dev/shm" : std::filesystem::temp_directory_path().string());
    const Vst303Pattern patterns[2] = {patternOf(16), patternOf(64)};
    std::string texts[2];
    for (int i = 0; i < 2; ++i)
    {
        const std::string path = folder.path("text" + std::to_string(i));
        ASSERT_EQ(patterns[i].Save(path.c_str(), nullptr, nullptr), 1);
        texts[i] = ScratchFolder::read(path);
        std::filesystem::remove(path);
    }
    const std::string target = folder.path("acid1.pat");
    std::mt19937 random(24);
    int killedMidSave = 0;
    constexpr int kRuns = 300;
    for (int run = 0; run < kRuns; ++run)
    {
        folder.write("acid1.pat", texts[0]);
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            close(started[0]);
            const char ready = 1;
            if (write(started[1], &ready, 1) != 1)
                _exit(1);
            // Bounded, so a child whose parent died does not write on for ever.
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            for (int i = 1; std::chrono::steady_clock::now() < end; ++i)
                patterns[i % 2].Save(target.c_str(), nullptr, nullptr);
            _exit(0);
        }
        close(started[1]);
        char ready = 0;
        ASSERT_EQ(read(started[0], &ready, 1), 1);
        close(started[0]);
        usleep(static_cast<useconds_t>(random() % 2000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = ScratchFolder::read(target);
        ASSERT_TRUE(now == texts[0] || now == texts[1]) << "run " << run << ":\n" << now;
        // A temporary file left by the kill shows that the save was under way.
        for (const std::string& entry : entriesUnder(folder.path("")))
            if (entry != "acid1.pat")
                std::filesystem::remove(folder.path(entry)), ++killedMidSave;
    }
    std::printf("%d of %d kills landed during a save\n", killedMidSave, kRuns);
    EXPECT_GT(killedMidSave, kRuns / 10);
}

// A writer killed mid-save leaves its temporary file; the next save in that folder removes it,
// but only once its process is gone. Files of another machine or of another form stay.
TEST(WholeFileWriter, ASaveRemovesTheTemporariesOfKilledWritersOnly)
{
    ScratchFolder folder;
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        WholeFileWriter stuck(folder.path("acid1.pat").c_str());
        const char ready = 1;
        if (write(started[1], &ready, 1) != 1)
            _exit(1);
        sleep(10); // until killed; bounded in case the parent is gone
        _exit(0);
    }
    char ready = 0;
    ASSERT_EQ(read(started[0], &ready, 1), 1);
    close(started[0]);
    close(started[1]);
    const auto entries = entriesUnder(folder.path(""));
    ASSERT_EQ(entries.size(), 1u);
    const std::string leftover = *entries.begin();
    // The same writer's name as seen from another machine: its process id means nothing here.
    std::string elsewhere = leftover;
    const size_t tag = elsewhere.find('-', 6) + 1;
    elsewhere.replace(tag, 8, elsewhere.compare(tag, 8, "00000000") == 0 ? "00000001" : "00000000");
    folder.write(elsewhere, std::string("x"));
    folder.write(".oxn3-notes.tmp", std::string("x"));

    EXPECT_TRUE(writeText(folder.path("b.pat"), kOld));
    EXPECT_TRUE(std::filesystem::exists(folder.path(leftover))) << "its writer still runs";
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(writeText(folder.path("c.pat"), kOld));
    const std::set<std::string> stay{".oxn3-notes.tmp", elsewhere, "b.pat", "c.pat"};
    EXPECT_EQ(entriesUnder(folder.path("")), stay);
}
