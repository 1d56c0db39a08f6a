#pragma once

#include "support/child_process.h"
#include "support/private_bus.h"
#include "support/temp_dir.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace twtest {

// Pages on 127.0.0.1 served by a thread of the test: "/q.html" titled "Page Q" and "/r.html"
// titled "Page R"; anything else is not found.
class TLocalWebServer {
  public:
    TLocalWebServer();
    ~TLocalWebServer();
    TLocalWebServer(const TLocalWebServer&) = delete;
    TLocalWebServer& operator=(const TLocalWebServer&) = delete;

    // "127.0.0.1:port"
    std::string Host() const;
    // "http://127.0.0.1:port/page"
    std::string Url(const std::string& page) const;

  private:
    void Serve();

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    // One per connection: a browser opens some ahead of its requests and may leave them idle.
    std::vector<std::thread> connections_;
};

// A desktop session of the test's own: a private session bus with the accessibility bus
// launcher on it (accessibility switched off, as on a desktop that never needed it), and a
// home folder for the programs started in it. While it lives, this process and every program
// started with Environment() use it, never the machine's own session.
class TDesktopSession {
  public:
    TDesktopSession();
    ~TDesktopSession();
    TDesktopSession(const TDesktopSession&) = delete;
    TDesktopSession& operator=(const TDesktopSession&) = delete;

    // The session's accessibility switch (org.a11y.Status IsEnabled).
    void SetAccessibility(bool enabled);
    bool Accessibility();
    // What a screen reader says when it starts or ends (org.a11y.Status ScreenReaderEnabled).
    void SetScreenReader(bool running);
    // The environment a program of this session starts with.
    TChildOptions Environment() const;
    const std::string& BusAddress() const { return address_; }
    const TempDir& Home() const { return home_; }

  private:
    TempDir home_;
    std::string address_;
    std::string savedAddress_;
    bool hadAddress_ = false;
    std::unique_ptr<TPrivateBus> bus_;
    std::unique_ptr<TClient> launcher_;
};

// A real browser from the distribution's packages, on the test's X display, in a fresh
// profile, kept away from every network but 127.0.0.1 (its proxy is a closed local port).
class TBrowser {
  public:
    enum TKind { Chromium, Firefox };

    TBrowser(TKind kind, const TDesktopSession& session, const std::string& firstPage);
    TBrowser(const TBrowser&) = delete;
    TBrowser& operator=(const TBrowser&) = delete;

    TKind Kind() const { return kind_; }
    pid_t Pid() const { return process_->Pid(); }
    bool Running() { return process_->Running(); }
    // Ends the browser and every process it started.
    void Kill() { process_->Kill(); }

    // Hands the browser a page the way a second start from a menu or a link does: in a new
    // tab in front, or with "private" in a new private window.
    void Open(const std::string& url, bool privateWindow = false);

  private:
    std::vector<std::string> Arguments(const std::string& url, bool privateWindow) const;

    TKind kind_;
    const TDesktopSession& session_;
    TempDir profile_;
    std::string program_;
    std::unique_ptr<TClient> process_;
};

} // namespace twtest
