#pragma once

#include <functional>
#include <memory>

namespace tw {

// The end of the user's session as the system announces it, brought to the thread that
// runs the program's loop. On Linux: SIGTERM, and SIGHUP and SIGINT from a terminal. On
// Windows: the end-session messages to the program's windows (the query is always answered
// yes) and the console's control events (Ctrl+C, Ctrl+Break, its window closed, log-off,
// shut-down).
//
// `end` runs once, on the thread that made the watch, from that thread's loop (on Windows
// possibly from inside a system call that handles sent messages). It must leave nothing
// undone that has to survive: on Windows the system may end the process as soon as it
// returns. One watch per process.
class TSessionEndWatch {
  public:
    explicit TSessionEndWatch(std::function<void()> end);
    ~TSessionEndWatch();
    TSessionEndWatch(const TSessionEndWatch&) = delete;
    TSessionEndWatch& operator=(const TSessionEndWatch&) = delete;

    // Linux: a descriptor that becomes readable once the end was announced; the loop then
    // calls Deliver. -1 on Windows, where the thread's window messages bring it.
    int Descriptor() const;
    // Runs `end` when the end was announced and it has not run yet.
    void Deliver();

    struct TState;

  private:
    std::unique_ptr<TState> state_;
};

} // namespace tw
