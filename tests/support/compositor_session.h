#pragma once

#include "support/child_process.h"
#include "support/private_bus.h"
#include "support/temp_dir.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace twtest {

// What GNOME Shell asks of the display manager on the system bus before it offers its screen
// lock: the name, its version and a session to register.
class TDisplayManagerStandIn {
  public:
    explicit TDisplayManagerStandIn(const std::string& systemBusAddress);
    ~TDisplayManagerStandIn();
    TDisplayManagerStandIn(const TDisplayManagerStandIn&) = delete;
    TDisplayManagerStandIn& operator=(const TDisplayManagerStandIn&) = delete;

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A Wayland compositor started headless for a test, in a session of the test's own: its own
// runtime folder, home and data folders and buses. While it lives, this process and every
// program started with Environment() use them, never the machine's own session.
class TCompositorSession {
  public:
    enum TKind { KWin, GnomeShell };
    struct TOptions {
        // gsettings lines "SCHEMA KEY VALUE" set before the compositor starts.
        std::vector<std::string> settings;
        // Our GNOME Shell extension is put into the session's data folder.
        bool installExtension = true;
    };

    TCompositorSession(TKind kind, const TOptions& options);
    explicit TCompositorSession(TKind kind) : TCompositorSession(kind, TOptions()) {}
    ~TCompositorSession();
    TCompositorSession(const TCompositorSession&) = delete;
    TCompositorSession& operator=(const TCompositorSession&) = delete;

    TChildOptions Environment() const;
    // Seconds from starting the compositor until it answered on the bus and was ready.
    double StartSeconds() const { return startSeconds_; }
    pid_t CompositorPid() const { return compositor_->Pid(); }
    // A real Qt Wayland window with the title, in front once this returns.
    std::unique_ptr<TClient> StartClient(const std::string& title);
    // Calls a method without arguments on the session bus; throws with the bus's reason.
    void Call(const char* service, const char* path, const char* interface, const char* method);
    // Ends the compositor as a crash would, and starts it again in the same session.
    void RestartCompositor();
    // Locks the screen as the screen saver's own Lock() does.
    void Lock();

  private:
    void Export(const char* name, const std::string& value);
    void StartKWin();
    void StartGnomeShell();

    TKind kind_;
    TempDir home_;
    std::string display_;
    // Started after the environment is set: the services they start take it over.
    std::unique_ptr<TPrivateBus> session_;
    std::unique_ptr<TPrivateBus> system_;
    std::unique_ptr<TDisplayManagerStandIn> displayManager_;
    std::unique_ptr<TClient> compositor_;
    std::vector<std::pair<std::string, std::string>> environment_;
    std::vector<std::pair<std::string, std::string>> saved_; // this process's own, to put back
    std::vector<std::string> unset_;
    double startSeconds_ = 0;
};

} // namespace twtest
