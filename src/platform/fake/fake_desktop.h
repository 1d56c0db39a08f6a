#pragma once

#include "platform/desktop.h"
#include "platform/fake/fake_instance_lock.h"
#include "platform/fake/fake_process.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tw {

// A scripted desktop for tests: windows, their processes, descendants, texts and
// accessibility trees are set up by the test, and what the program asks of the system
// (close requests, shutdowns) is recorded instead of done.
class TFakeDesktop : public TDesktop {
  public:
    struct TShutdownCall {
        int mode;
        int timeoutSeconds;
        bool operator==(const TShutdownCall&) const = default;
    };

    // Desktops sharing a lock registry see each other's instance locks.
    explicit TFakeDesktop(std::shared_ptr<TFakeLockRegistry> locks = nullptr);

    // --- scripting ---
    // A new top-level window, after the existing ones in the system's order.
    TWindowHandle AddWindow(const std::string& className, TFakeProcess process,
                            const std::string& text = {});
    // A new child of a window, after its existing children.
    TWindowHandle AddChild(TWindowHandle parent, const std::string& className,
                           const std::string& text = {});
    void SetText(TWindowHandle window, const std::string& text);
    void SetAccessible(TWindowHandle window, std::shared_ptr<TAccessible> object);
    // Why the window's address cannot be read (its text and accessible stay empty).
    void SetAddressProblem(TWindowHandle window, TAddressProblem problem);
    // 0 for none.
    void SetForeground(TWindowHandle window) { foreground_ = window; }
    // The device name behind a drive letter C..Z; an empty name removes the letter.
    void SetDosDevice(char letter, const std::string& deviceName);
    // Destroys a window and its descendants; later questions about them are answered as
    // the system answers them for a stale handle.
    void RemoveWindow(TWindowHandle window);
    bool Exists(TWindowHandle window) const { return windows_.count(window) != 0; }
    // Runs when an enumeration is about to hand a window to its callback; the window may
    // be removed by it and is still handed over, as a real enumeration can do.
    void SetVisitHook(std::function<void(TWindowHandle)> hook) { visitHook_ = std::move(hook); }
    // A non-empty text makes every later shutdown fail with it.
    void RefuseShutdown(const std::string& systemText) { shutdownRefusal_ = systemText; }
    void PushNotice(TDesktopNotice notice, int code = 0) { notices_.emplace_back(notice, code); }
    TFakeLockRegistry& Locks() { return *locks_; }

    // --- what the program asked for ---
    const std::vector<TWindowHandle>& CloseRequests() const { return closeRequests_; }
    // Every shutdown asked for, refused ones included.
    const std::vector<TShutdownCall>& ShutdownCalls() const { return shutdownCalls_; }
    void ClearRecords();

    // --- TDesktop ---
    const char* Name() const override { return "fake"; }
    TWindowHandle ForegroundWindow() override { return foreground_; }
    void EnumTopLevelWindows(const std::function<bool(TWindowHandle)>& visit) override;
    void EnumDescendants(TWindowHandle window,
                         const std::function<bool(TWindowHandle)>& visit) override;
    std::string ClassName(TWindowHandle window) override;
    std::string WindowText(TWindowHandle window) override;
    std::string ExecutablePath(TWindowHandle window) override;
    std::shared_ptr<TAccessible> AccessibleObject(TWindowHandle window) override;
    TAddressProblem AddressProblem(TWindowHandle window) override;
    void PostCloseRequest(TWindowHandle window) override;
    void ShutdownComputer(int mode, int timeoutSeconds) override;
    std::unique_ptr<TInstanceLock> AcquireInstanceLock(const std::string& path) override;
    bool NextNotice(TDesktopNotice& notice) override;
    int LastNoticeCode() const override { return lastNoticeCode_; }

    // What a stale handle's process answers.
    static constexpr const char* StaleHandleError = "The parameter is incorrect.";

  private:
    struct TWindow {
        TWindowHandle parent = 0;
        std::string className;
        std::string text;
        TFakeProcess process;
        std::shared_ptr<TAccessible> accessible;
        TAddressProblem addressProblem = TAddressProblem::NoProblem;
        std::vector<TWindowHandle> children;
    };

    TWindow& At(TWindowHandle window);
    const TWindow* Find(TWindowHandle window) const;
    TWindowHandle NewWindow(TWindowHandle parent, const std::string& className,
                            const std::string& text, TFakeProcess process);
    void CollectDescendants(TWindowHandle window, std::vector<TWindowHandle>& into) const;
    // Hands the snapshot to visit in order, running the hook before each.
    void Visit(const std::vector<TWindowHandle>& windows,
               const std::function<bool(TWindowHandle)>& visit);

    std::map<TWindowHandle, TWindow> windows_;
    std::vector<TWindowHandle> topLevel_;
    TWindowHandle nextHandle_ = 0x10010;
    TWindowHandle foreground_ = 0;
    std::map<char, std::string> dosDevices_;
    std::function<void(TWindowHandle)> visitHook_;
    std::vector<TWindowHandle> closeRequests_;
    std::vector<TShutdownCall> shutdownCalls_;
    std::string shutdownRefusal_;
    std::deque<std::pair<TDesktopNotice, int>> notices_;
    int lastNoticeCode_ = 0;
    std::shared_ptr<TFakeLockRegistry> locks_;
};

} // namespace tw
