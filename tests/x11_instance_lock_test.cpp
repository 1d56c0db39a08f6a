// The flock() instance lock the X11 backend hands out. It needs no X server, so these run
// with the ordinary tests.
#ifdef __linux__

#include <gtest/gtest.h>

#include "base/exception.h"
#include "platform/posix_instance_lock.h"
#include "support/temp_dir.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using tw::AcquirePosixInstanceLock;

// Runs the body in a child process and returns its exit code.
template <typename Body> pid_t Spawn(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    return pid;
}

int ExitCode(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

TEST(PosixInstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    twtest::TempDir dir;
    const std::string path = dir.File("nested/folder/Tallywick.lock");
    auto lock = AcquirePosixInstanceLock(path);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(std::filesystem::exists(path));
    // Another process, as a second copy of the program would be.
    EXPECT_EQ(ExitCode(Spawn([&] { return AcquirePosixInstanceLock(path) ? 1 : 0; })), 0);
    lock->Release();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(ExitCode(Spawn([&] { return AcquirePosixInstanceLock(path) ? 0 : 1; })), 0);
}

TEST(PosixInstanceLock, TwoProcessesRacingGetExactlyOneLock) {
    twtest::TempDir dir;
    const std::string path = dir.File("Tallywick.lock");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    // Both start at once when the pipe closes; the winner holds on until told to stop.
    auto contender = [&] {
        close(ready[1]);
        char c;
        [[maybe_unused]] ssize_t ignored = read(ready[0], &c, 1);
        auto lock = AcquirePosixInstanceLock(path);
        if (lock) {
            usleep(300000);
        }
        return lock ? 10 : 20;
    };
    const pid_t a = Spawn(contender);
    const pid_t b = Spawn(contender);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(ExitCode(a) + ExitCode(b), 30);
}

TEST(PosixInstanceLock, ReleaseAndReacquireNeverLetsTwoHoldItAtOnce) {
    // A holder deletes the file as it lets go, so a rival may have opened the old file
    // just before; it must not end up holding a lock nobody else can see.
    twtest::TempDir dir;
    const std::string path = dir.File("Tallywick.lock");
    auto* shared = static_cast<std::atomic<int>*>(mmap(nullptr, 2 * sizeof(std::atomic<int>),
                                                       PROT_READ | PROT_WRITE,
                                                       MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(shared, MAP_FAILED);
    std::atomic<int>& holders = shared[0];
    std::atomic<int>& overlaps = shared[1];
    holders = 0;
    overlaps = 0;
    std::vector<pid_t> children;
    for (int i = 0; i < 4; ++i) {
        children.push_back(Spawn([&] {
            for (int round = 0; round < 3000; ++round) {
                auto lock = AcquirePosixInstanceLock(path);
                if (!lock) {
                    continue;
                }
                if (holders.fetch_add(1) != 0) {
                    overlaps.fetch_add(1);
                }
                sched_yield();
                holders.fetch_sub(1);
                lock->Release();
            }
            return 0;
        }));
    }
    for (const pid_t child : children) {
        EXPECT_EQ(ExitCode(child), 0);
    }
    EXPECT_EQ(overlaps.load(), 0);
    munmap(shared, 2 * sizeof(std::atomic<int>));
}

TEST(PosixInstanceLock, CrashedHolderLeavesAStaleFileThatIsReused) {
    twtest::TempDir dir;
    const std::string path = dir.File("Tallywick.lock");
    int held[2];
    ASSERT_EQ(pipe(held), 0);
    const pid_t holder = Spawn([&] {
        auto lock = AcquirePosixInstanceLock(path);
        [[maybe_unused]] ssize_t ignored = write(held[1], lock ? "y" : "n", 1);
        pause();
        return 0;
    });
    char answer = 0;
    ASSERT_EQ(read(held[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    EXPECT_EQ(AcquirePosixInstanceLock(path), nullptr);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    ASSERT_TRUE(std::filesystem::exists(path)); // nobody cleaned up after the crash
    EXPECT_NE(AcquirePosixInstanceLock(path), nullptr);
    close(held[0]);
    close(held[1]);
}

// People delete the lock file, or the whole data folder to start afresh: the holder makes
// it again before a second copy can start, or, where one already has, learns that it lost.
TEST(PosixInstanceLock, ADeletedLockFileIsTakenAgainOrLostToTheCopyThatTookIt) {
    struct TCase {
        const char* what;
        bool wholeFolder;
        bool rivalTookIt;
    };
    for (const TCase& c :
         {TCase{"file deleted", false, false}, TCase{"folder deleted", true, false},
          TCase{"file deleted, then taken", false, true}}) {
        SCOPED_TRACE(c.what);
        twtest::TempDir dir;
        const std::string path = dir.File("data/Tallywick.lock");
        auto lock = AcquirePosixInstanceLock(path);
        ASSERT_NE(lock, nullptr);
        EXPECT_TRUE(lock->Reassert());
        std::filesystem::remove_all(c.wholeFolder ? dir.File("data") : path);
        std::unique_ptr<tw::TInstanceLock> rival;
        if (c.rivalTookIt) {
            rival = AcquirePosixInstanceLock(path);
            ASSERT_NE(rival, nullptr);
        }
        EXPECT_EQ(lock->Reassert(), !c.rivalTookIt);
        // Exactly one holder: a copy started now is refused.
        EXPECT_EQ(ExitCode(Spawn([&] { return AcquirePosixInstanceLock(path) ? 1 : 0; })), 0);
        lock->Release();
        EXPECT_EQ(std::filesystem::exists(path), c.rivalTookIt) << "only one's own file goes";
    }
}

TEST(PosixInstanceLock, FileThatCannotBeCreatedIsReportedWithTheSystemText) {
    twtest::TempDir dir;
    const std::string blocker = dir.File("plain-file");
    {
        std::FILE* f = std::fopen(blocker.c_str(), "w");
        std::fclose(f);
    }
    const std::string path = blocker + "/Tallywick.lock";
    try {
        AcquirePosixInstanceLock(path);
        FAIL() << "no exception";
    } catch (const tw::Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Unable to create \"" + path + "\" file\r\nError: Not a directory");
    }
}

} // namespace

#endif // __linux__
