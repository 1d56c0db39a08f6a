#pragma once

#include "support/child_process.h"
#include "support/temp_dir.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace twtest {

// A headless sway of the test's own, on the CPU, run as the unprivileged user made for the
// tests (sway refuses root) with its own runtime folder. While it lives, this process's
// SWAYSOCK, WAYLAND_DISPLAY and XDG_SESSION_TYPE name it, as a sway session's programs see
// them. A sway that cannot start throws: the test fails, it is never skipped.
class TSwaySession {
  public:
    // The user the compositor and its clients run as; scripts/setup-debian.sh test makes it.
    static constexpr const char* User = "tallywick-test";

    TSwaySession();
    ~TSwaySession();
    TSwaySession(const TSwaySession&) = delete;
    TSwaySession& operator=(const TSwaySession&) = delete;

    const std::string& IpcSocket() const { return ipcSocket_; }
    // What a browser needs to show its windows here rather than on an X display.
    std::vector<std::pair<std::string, std::string>> BrowserDisplay() const;
    // Milliseconds from the start until the IPC answered.
    long StartMilliseconds() const { return startMs_; }

    // Starts a Wayland program of the session as its user, its standard error in the
    // session's folder; the process keeps the pid it was started with.
    std::unique_ptr<TClient> Start(const std::string& program,
                                   const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment = {});
    // What sway said, for a failure's message.
    std::string Log() const;

  private:
    std::vector<std::string> AsUser(const std::vector<std::string>& environment) const;

    TempDir runtime_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::string ipcSocket_;
    std::string waylandDisplay_;
    long startMs_ = 0;
    std::unique_ptr<TClient> sway_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

} // namespace twtest
