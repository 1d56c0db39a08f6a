#pragma once

#include "platform/desktop.h"
#include "platform/fake/fake_process.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tw {

// A scripted desktop for tests: the test sets per window what the desktop says about it (its
// process, browser kind, address and why there is none), and what the program asks of the
// system (close requests, shutdowns) is recorded instead of done.
class TFakeDesktop : public TDesktop {
  public:
    struct TShutdownCall {
        TShutdownKind kind;
        int timeoutSeconds;
        bool operator==(const TShutdownCall&) const = default;
    };

    // --- scripting ---
    // A new top-level window, after the existing ones in the system's order.
    TWindowHandle AddWindow(TFakeProcess process, TBrowserKind browser = TBrowserKind::Desktop,
                            const std::string& address = {});
    void SetAddress(TWindowHandle window, const std::string& address);
    // A browser window's title; empty (as a new window has it) for none.
    void SetTitle(TWindowHandle window, const std::string& title);
    // Why the window's address cannot be read (its address stays empty).
    void SetAddressProblem(TWindowHandle window, TAddressProblem problem);
    // Reading the window's address fails with this text, after its other facts are read.
    void FailAddressRead(TWindowHandle window, const std::string& systemText);
    // 0 for none.
    void SetForeground(TWindowHandle window) { foreground_ = window; }
    // The device name behind a drive letter C..Z; an empty name removes the letter.
    void SetDosDevice(char letter, const std::string& deviceName);
    // Destroys a window; later questions about it are answered as the system answers them
    // for a stale handle.
    void RemoveWindow(TWindowHandle window);
    bool Exists(TWindowHandle window) const { return windows_.count(window) != 0; }
    // Runs when the description of every window is about to describe one; the window may
    // be removed by it and is still described (as gone), as a real enumeration can do.
    void SetVisitHook(std::function<void(TWindowHandle)> hook) { visitHook_ = std::move(hook); }
    // A non-empty text makes every later shutdown fail with it.
    void RefuseShutdown(const std::string& systemText) { shutdownRefusal_ = systemText; }
    void PushNotice(TNotice notice) { notices_.push_back(std::move(notice)); }
    // What WindowsProblem answers from now on.
    void SetWindowsProblem(const std::string& text) { windowsProblem_ = text; }

    // --- what the program asked for ---
    const std::vector<TWindowHandle>& CloseRequests() const { return records_.closeRequests; }
    // Every shutdown asked for, refused ones included.
    const std::vector<TShutdownCall>& ShutdownCalls() const { return records_.shutdownCalls; }
    // What the program said last about needing browser addresses.
    bool AddressesNeeded() const { return records_.addressesNeeded; }
    // How many times the program said it needs them.
    int AddressesNeededTold() const { return records_.addressesNeededTold; }
    void ClearRecords();

    // --- TDesktop ---
    const char* Name() const override { return "fake"; }
    TWindowFacts WhatIsInFront() override;
    void DescribeTopLevelWindows(const std::function<bool(const TWindowFacts&)>& visit) override;
    void PostCloseRequest(TWindowHandle window) override;
    void NeedAddresses(bool needed) override {
        records_.addressesNeeded = needed;
        records_.addressesNeededTold += needed ? 1 : 0;
    }
    void ShutdownComputer(TShutdownKind kind, int timeoutSeconds) override;
    bool NextNotice(TNotice& notice) override;
    std::string WindowsProblem() override { return windowsProblem_; }

    // What a stale handle's process answers.
    static constexpr const char* StaleHandleError = "The parameter is incorrect.";

  private:
    struct TWindow {
        TFakeProcess process;
        TBrowserKind browser = TBrowserKind::Desktop;
        std::string address;
        std::string title;
        TAddressProblem addressProblem = TAddressProblem::NoProblem;
        std::string readFailure;
    };

    TWindow& At(TWindowHandle window);
    TWindowFacts Describe(TWindowHandle window) const;
    std::string ExecutablePath(const TFakeProcess& process) const;

    std::map<TWindowHandle, TWindow> windows_;
    std::vector<TWindowHandle> topLevel_;
    TWindowHandle nextHandle_ = 0x10010;
    TWindowHandle foreground_ = 0;
    std::map<char, std::string> dosDevices_;
    std::function<void(TWindowHandle)> visitHook_;
    std::string shutdownRefusal_;
    // What the program asked of the desktop, for the test to check.
    struct TRecords {
        std::vector<TWindowHandle> closeRequests;
        std::vector<TShutdownCall> shutdownCalls;
        bool addressesNeeded = false;
        int addressesNeededTold = 0;
    } records_;
    std::deque<TNotice> notices_;
    std::string windowsProblem_;
};

} // namespace tw
