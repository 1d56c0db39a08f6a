#pragma once

#include <utility>

namespace tw {

// Runs its function when the scope ends, however it ends: for the flags, timers and
// redraws that an action must put back also when it fails. The function must not throw.
template <class F> class TScopeExit {
  public:
    explicit TScopeExit(F onExit) : onExit_(std::move(onExit)) {}
    ~TScopeExit() { onExit_(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

  private:
    F onExit_;
};

} // namespace tw
