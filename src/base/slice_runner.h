#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tw {

// Whose turn the program's files are: which threads run the program's slices, and whether one
// runs now. A connection of the program that meets what a slice holds (a database's lock)
// waits for the slice rather than fail, and a slice's own connection waits for the program's
// short transactions. The data folder owns it; a runner with a thread of its own reports its
// thread and its slices here.
class TSliceTurns {
  public:
    TSliceTurns() = default;
    TSliceTurns(const TSliceTurns&) = delete;
    TSliceTurns& operator=(const TSliceTurns&) = delete;

    // Whether the calling thread runs slices.
    bool OnSliceThread() const;
    // Whether a slice runs now.
    bool Running() const;
    // Waits at most `most` for the running slices to end; false at once when none runs nor
    // ended in the last tenth of a second.
    bool WaitForRunning(std::chrono::milliseconds most) const;

  private:
    friend class TSliceThread;
    friend class TRunningSlice;

    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
    std::vector<std::thread::id> threads_;          // of the runners, while they run
    int count_ = 0;                                 // slices in flight
    std::chrono::steady_clock::time_point lastEnd_; // of the latest slice to end
};

// Runs one slice of long work at a time for the thread that hands them over: on a thread of
// its own in the program, so that a slice that meets a disk stall never holds the window;
// at once on the caller's thread where a test drives the work through its timers and needs
// the same order on every run. What a slice leaves is the caller's to read once Idle says
// it has ended.
class TSliceRunner {
  public:
    virtual ~TSliceRunner() = default;

    // Starts the slice; only when Idle.
    virtual void Run(std::function<void()> slice) = 0;
    // Whether the last slice handed over has ended, with everything it wrote visible.
    virtual bool Idle() = 0;
    // Waits for the slice in flight to end and runs no more.
    virtual void Stop() = 0;
};

class TInlineSliceRunner final : public TSliceRunner {
  public:
    void Run(std::function<void()> slice) override;
    bool Idle() override { return true; }
    void Stop() override { stopped_ = true; }

  private:
    bool stopped_ = false;
};

class TThreadSliceRunner final : public TSliceRunner {
  public:
    // Reports its thread and its slices to the turns, which must outlive the runner.
    explicit TThreadSliceRunner(TSliceTurns& turns) : turns_(turns) {}
    ~TThreadSliceRunner() override;
    TThreadSliceRunner(const TThreadSliceRunner&) = delete;
    TThreadSliceRunner& operator=(const TThreadSliceRunner&) = delete;

    void Run(std::function<void()> slice) override;
    bool Idle() override;
    void Stop() override;

  private:
    void Work();

    TSliceTurns& turns_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> slice_; // handed over, not yet ended
    bool stopping_ = false;
    std::thread thread_; // started with the first slice
};

} // namespace tw
