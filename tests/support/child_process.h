#pragma once

#include "platform/desktop.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace twtest {

// Folder of the running test binary, where the test programs and the built program live.
std::string OwnFolder();
// Our small X client (tests/x11_test_client.cpp).
std::string ClientPath();

// Polls the condition every 20 ms; false when it still does not hold after the time.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 5000);

// How a child process is started besides its arguments.
struct TChildOptions {
    std::vector<std::pair<std::string, std::string>> environment; // set in the child only
    std::string stdoutFile; // standard output goes here when given (unless it announces)
    std::string stderrFile; // standard error goes here when given
    // In a process group of its own, which is ended with it: for programs that start
    // helper processes of their own (browsers).
    bool ownProcessGroup = false;
    // Read-only files and folders hold for it even when the tests run as root: it starts
    // without the capabilities that let root write and search past file permissions.
    bool obeyFilePermissions = false;
};

// Another program, killed when the test is done with it.
class TClient {
  public:
    // Starts a program; with announce, waits for its "window <ids>" line on its output.
    TClient(const std::vector<std::string>& arguments, bool announce = true,
            const std::string& program = ClientPath(), const TChildOptions& options = {});
    ~TClient();
    TClient(const TClient&) = delete;
    TClient& operator=(const TClient&) = delete;

    pid_t Pid() const { return pid_; }
    tw::TWindowHandle Window() const { return ids_.at(0); }
    const std::vector<tw::TWindowHandle>& Children() const { return children_; }

    // Whether the program ended by itself within the time, with exit code 0.
    bool ExitsCleanlyWithin(int milliseconds);
    // Its process group when it has one of its own, else -1.
    pid_t Group() const { return group_; }
    // Its exit code when it ended within the time (128 + signal when killed by one); the
    // same answer again once it has ended.
    std::optional<int> ExitCodeWithin(int milliseconds);
    bool Running();
    void Kill();

  private:
    void ReadAnnouncement(int fd);

    pid_t pid_ = -1;
    pid_t group_ = -1;            // its own process group, while it has one
    std::optional<int> exitCode_; // once it has ended
    std::vector<tw::TWindowHandle> ids_;
    std::vector<tw::TWindowHandle> children_;
};

} // namespace twtest
