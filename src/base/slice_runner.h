#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tw {

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
    TThreadSliceRunner() = default;
    ~TThreadSliceRunner() override;
    TThreadSliceRunner(const TThreadSliceRunner&) = delete;
    TThreadSliceRunner& operator=(const TThreadSliceRunner&) = delete;

    void Run(std::function<void()> slice) override;
    bool Idle() override;
    void Stop() override;

  private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> slice_; // handed over, not yet ended
    bool stopping_ = false;
    std::thread thread_; // started with the first slice
};

// Whether the calling thread is a TThreadSliceRunner's own.
bool OnSliceThread();
// Whether a slice runs on a runner's thread now.
bool SliceRunning();
// Waits at most `most` for the slices running on runners' threads to end; false at once when
// none runs nor ended in the last tenth of a second.
bool WaitForRunningSlices(std::chrono::milliseconds most);

} // namespace tw
