#include "base/slice_runner.h"

#include <utility>

namespace tw {
namespace {

// The slices in flight on all runners' threads, for the program's other threads that meet
// what a slice holds (a database's lock) and wait for it rather than fail.
struct TRunningSlices {
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
    std::chrono::steady_clock::time_point lastEnd; // of the latest slice to end
};

// A slice that ended between another thread meeting its lock and asking about it still
// counts: that thread looks again rather than fail.
constexpr std::chrono::milliseconds LatelyEnded(100);

TRunningSlices& Running() {
    static TRunningSlices running;
    return running;
}

thread_local bool onSliceThread = false;

// Counts the slice as running from before it starts to after everything it opened is closed.
class TRunningSlice {
  public:
    TRunningSlice() {
        std::lock_guard<std::mutex> lock(Running().mutex);
        ++Running().count;
    }
    ~TRunningSlice() {
        {
            std::lock_guard<std::mutex> lock(Running().mutex);
            --Running().count;
            Running().lastEnd = std::chrono::steady_clock::now();
        }
        Running().ended.notify_all();
    }
    TRunningSlice(const TRunningSlice&) = delete;
    TRunningSlice& operator=(const TRunningSlice&) = delete;
};

} // namespace

bool OnSliceThread() {
    return onSliceThread;
}

bool SliceRunning() {
    std::lock_guard<std::mutex> lock(Running().mutex);
    return Running().count > 0;
}

bool WaitForRunningSlices(std::chrono::milliseconds most) {
    std::unique_lock<std::mutex> lock(Running().mutex);
    if (Running().count == 0) {
        return Running().lastEnd != std::chrono::steady_clock::time_point() &&
               std::chrono::steady_clock::now() - Running().lastEnd < LatelyEnded;
    }
    Running().ended.wait_for(lock, most, [] { return Running().count == 0; });
    return true;
}

void TInlineSliceRunner::Run(std::function<void()> slice) {
    if (!stopped_) {
        slice();
    }
}

TThreadSliceRunner::~TThreadSliceRunner() {
    Stop();
}

void TThreadSliceRunner::Run(std::function<void()> slice) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ || slice_) {
        return;
    }
    slice_ = std::move(slice);
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Work(); });
    }
    wake_.notify_one();
}

bool TThreadSliceRunner::Idle() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !slice_;
}

void TThreadSliceRunner::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TThreadSliceRunner::Work() {
    onSliceThread = true;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || slice_; });
        if (!slice_) {
            return; // stopping, with nothing in flight
        }
        lock.unlock();
        // A slice is its own transaction: the one in flight ends even when stopping.
        try {
            const TRunningSlice running;
            slice_();
        } catch (...) {
            // The slices report their own failures; the thread must outlive one that slips.
        }
        lock.lock();
        slice_ = nullptr;
        if (stopping_) {
            return;
        }
    }
}

} // namespace tw
