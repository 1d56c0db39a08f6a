#include "base/slice_runner.h"

#include <utility>

#include <algorithm>

namespace tw {
namespace {

// A slice that ended between another thread meeting its lock and asking about it still
// counts: that thread looks again rather than fail.
constexpr std::chrono::milliseconds LatelyEnded(100);

} // namespace

// Marks the calling thread as the runner's while the runner works on it.
class TSliceThread {
  public:
    explicit TSliceThread(TSliceTurns& turns) : turns_(turns) {
        std::lock_guard<std::mutex> lock(turns_.mutex_);
        turns_.threads_.push_back(std::this_thread::get_id());
    }
    ~TSliceThread() {
        std::lock_guard<std::mutex> lock(turns_.mutex_);
        auto& threads = turns_.threads_;
        threads.erase(std::find(threads.begin(), threads.end(), std::this_thread::get_id()));
    }
    TSliceThread(const TSliceThread&) = delete;
    TSliceThread& operator=(const TSliceThread&) = delete;

  private:
    TSliceTurns& turns_;
};

// Counts the slice as running from before it starts to after everything it opened is closed.
class TRunningSlice {
  public:
    explicit TRunningSlice(TSliceTurns& turns) : turns_(turns) {
        std::lock_guard<std::mutex> lock(turns_.mutex_);
        ++turns_.count_;
    }
    ~TRunningSlice() {
        {
            std::lock_guard<std::mutex> lock(turns_.mutex_);
            --turns_.count_;
            turns_.lastEnd_ = std::chrono::steady_clock::now();
        }
        turns_.ended_.notify_all();
    }
    TRunningSlice(const TRunningSlice&) = delete;
    TRunningSlice& operator=(const TRunningSlice&) = delete;

  private:
    TSliceTurns& turns_;
};

bool TSliceTurns::OnSliceThread() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(threads_.begin(), threads_.end(), std::this_thread::get_id()) !=
           threads_.end();
}

bool TSliceTurns::Running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_ > 0;
}

bool TSliceTurns::WaitForRunning(std::chrono::milliseconds most) const {
    std::unique_lock<std::mutex> lock(mutex_);
    if (count_ == 0) {
        return lastEnd_ != std::chrono::steady_clock::time_point() &&
               std::chrono::steady_clock::now() - lastEnd_ < LatelyEnded;
    }
    ended_.wait_for(lock, most, [this] { return count_ == 0; });
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
    const TSliceThread thread(turns_);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || slice_; });
        if (!slice_) {
            return; // stopping, with nothing in flight
        }
        lock.unlock();
        // A slice is its own transaction: the one in flight ends even when stopping.
        try {
            const TRunningSlice running(turns_);
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
