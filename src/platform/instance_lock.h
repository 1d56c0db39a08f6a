#pragma once

#include <memory>
#include <string>

namespace tw {

// An exclusive lock on the instance lock file, held while the object lives.
class TInstanceLock {
  public:
    virtual ~TInstanceLock() = default;
    // Closes the lock and deletes the lock file.
    virtual void Release() = 0;
    // Asked regularly while the program runs: people delete the lock file, or the whole data
    // folder to start afresh, and a second copy could then start beside this one. A file gone
    // (or another in its place that nobody holds) is made and taken again; true while this
    // copy holds the lock under its path, and also when the file cannot be made now (nobody
    // else can take it then either). False when another copy has taken it meanwhile: this
    // copy must end, and its Release then leaves the other's file alone.
    virtual bool Reassert() = 0;
};

// Where the program takes its lock: the system's files, or a test's scripted registry
// (platform/fake/fake_instance_lock.h), in which two programs behave like two processes.
class TInstanceLocks {
  public:
    virtual ~TInstanceLocks() = default;
    // Takes the exclusive lock on the file, creating it when missing. Null when another
    // process holds it. Throws tw::Exception "Unable to create \"path\" file\r\nError: text"
    // when the file cannot be created.
    virtual std::unique_ptr<TInstanceLock> Acquire(const std::string& path) = 0;
};

// The system's own lock files.
class TSystemInstanceLocks final : public TInstanceLocks {
  public:
    std::unique_ptr<TInstanceLock> Acquire(const std::string& path) override;
};

} // namespace tw
