// Windows has its own share-mode lock; this file is for flock() systems only.
#ifndef _WIN32

#include "platform/posix_instance_lock.h"

#include "base/exception.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the path still names the file behind the descriptor. A holder deletes the file
// while it still holds the lock, so a rival that opened the old file just before may get
// the lock on a file nobody can find any more; it must notice and start again, or two
// copies would each hold "the" lock.
bool PathNamesDescriptor(const std::string& path, int fd) {
    struct stat byPath {};
    struct stat byDescriptor {};
    return ::stat(path.c_str(), &byPath) == 0 && ::fstat(fd, &byDescriptor) == 0 &&
           SameFile(byPath, byDescriptor);
}

[[noreturn]] void ThrowCreateError(const std::string& path, int error) {
    throw Exception("Unable to create \"" + path + "\" file\r\nError: " + std::strerror(error));
}

// Opens the file under path (making it and its folders when missing) and locks it: the
// locked descriptor, or -1 when another process holds the lock. Throws when the file cannot
// be made or opened.
int TakeFile(const std::string& path) {
    std::error_code ignored; // a folder that cannot be made shows up as the open's error
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    // Each round loses only to a holder that released and deleted the file in between,
    // so a handful of rounds is plenty.
    for (int round = 0; round < 100; ++round) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            ThrowCreateError(path, errno);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) {
                return -1;
            }
            ThrowCreateError(path, error);
        }
        if (PathNamesDescriptor(path, fd)) {
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

class TPosixInstanceLock : public TInstanceLock {
  public:
    TPosixInstanceLock(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~TPosixInstanceLock() override { Release(); }

    // Deletes before closing: once the lock is gone another copy may create and lock a
    // new file under the same name, which must not be deleted by us.
    void Release() override {
        if (fd_ < 0) {
            return;
        }
        if (PathNamesDescriptor(path_, fd_)) {
            ::unlink(path_.c_str());
        }
        ::close(fd_);
        fd_ = -1;
    }

    bool Reassert() override {
        if (fd_ < 0) {
            return false;
        }
        if (PathNamesDescriptor(path_, fd_)) {
            return true;
        }
        int taken = -1;
        try {
            taken = TakeFile(path_);
        } catch (const Exception&) {
            return true; // a rival could not make the file either; tried again next time
        }
        // The old file, gone from its folder, guards nothing any more.
        ::close(fd_);
        fd_ = taken;
        return fd_ >= 0;
    }

  private:
    std::string path_;
    int fd_;
};

} // namespace

std::unique_ptr<TInstanceLock> AcquirePosixInstanceLock(const std::string& path) {
    const int fd = TakeFile(path);
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<TPosixInstanceLock>(path, fd);
}

std::unique_ptr<TInstanceLock> TSystemInstanceLocks::Acquire(const std::string& path) {
    return AcquirePosixInstanceLock(path);
}

} // namespace tw

#endif // _WIN32
