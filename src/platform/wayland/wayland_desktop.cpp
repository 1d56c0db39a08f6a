#include "platform/wayland/wayland_desktop.h"

#include "platform/linux/accessibility_switch.h"
#include "platform/linux/atspi_client.h"
#include "platform/linux/browser_address.h"
#include "platform/linux/browser_family.h"
#include "platform/linux/logind.h"
#include "platform/linux/notice_wait.h"
#include "platform/linux/session_notices.h"
#include "platform/posix_instance_lock.h"
#include "platform/process_executable.h"
#include "platform/wayland/compositor_windows.h"

#include <unistd.h>

namespace tw {

TWaylandDesktop::TWaylandDesktop(std::unique_ptr<TCompositorWindows> compositor)
    : compositor_(std::move(compositor)), session_(std::make_unique<TSessionNotices>()),
      atspi_(std::make_unique<TAtspiClient>()),
      addresses_(std::make_unique<TBrowserAddresses>(*atspi_)),
      accessibilitySwitch_(std::make_unique<TAccessibilitySwitch>(*atspi_)) {
    std::vector<int> sources = session_->Descriptors();
    compositorDescriptor_ = compositor_->Descriptor();
    if (compositorDescriptor_ >= 0) {
        sources.push_back(compositorDescriptor_);
    }
    noticeDescriptor_ = WaitOnAll(sources);
}

TWaylandDesktop::~TWaylandDesktop() {
    if (noticeDescriptor_ >= 0) {
        ::close(noticeDescriptor_);
    }
}

const char* TWaylandDesktop::Name() const {
    return compositor_->Name();
}

TWindowFacts TWaylandDesktop::WhatIsInFront() {
    const TCompositorWindow focused = compositor_->Focused();
    return focused.window == 0 ? TWindowFacts{} : Describe(focused, focused.window);
}

void TWaylandDesktop::DescribeTopLevelWindows(
    const std::function<bool(const TWindowFacts&)>& visit) {
    compositor_->EachWindow(
        [&](const TCompositorWindow& window) { return visit(Describe(window, 0)); });
}

TWindowFacts TWaylandDesktop::Describe(const TCompositorWindow& window, TWindowHandle foreground) {
    TWindowFacts facts;
    facts.window = window.window;
    // A process the compositor does not know (0) must not read as this program's own.
    facts.executablePath = ExecutablePathOfProcess(window.pid > 0 ? window.pid : -1);
    TBrowserWindow browser;
    browser.family = BrowserFamilyOf(facts.executablePath, window.appId);
    if (browser.family == TBrowserFamily::NotABrowser) {
        return facts;
    }
    browser.window = window.window;
    browser.pid = window.pid;
    // Asked only of browsers, at the moment of reading: a pass over every window may close
    // some and move the focus on its way.
    browser.foreground =
        (foreground != 0 ? foreground : compositor_->Focused().window) == window.window;
    browser.title = [title = window.title] { return title; };
    // A Wayland client does not know where its window stands, so the accessibility bus
    // cannot tell either: windows of one title are told apart by which one is active.
    browser.place = [] { return TScreenRect{}; };
    PutAddressInto(facts, browser.family, addresses_->Read(browser));
    return facts;
}

void TWaylandDesktop::PostCloseRequest(TWindowHandle window) {
    compositor_->Close(window);
}

void TWaylandDesktop::NeedAddresses(bool needed) {
    accessibilitySwitch_->Need(needed);
}

void TWaylandDesktop::ShutdownComputer(int mode, int timeoutSeconds) {
    LogindShutdown(mode, timeoutSeconds);
}

std::unique_ptr<TInstanceLock> TWaylandDesktop::AcquireInstanceLock(const std::string& path) {
    return AcquirePosixInstanceLock(path);
}

bool TWaylandDesktop::NextNotice(TDesktopNotice& notice) {
    if (compositorDescriptor_ >= 0) {
        compositor_->Dispatch();
    }
    if (!session_->Next(notice)) {
        return false;
    }
    // The same codes as the X11 desktop's, so that logs read alike.
    lastNoticeCode_ = notice == TDesktopNotice::Suspend  ? 4
                      : notice == TDesktopNotice::Resume ? 7
                                                         : 0;
    return true;
}

std::string TWaylandDesktop::LockDetectionProblem() {
    return session_->LockDetectionProblem();
}

std::string TWaylandDesktop::WindowsProblem() {
    return compositor_->Problem();
}

} // namespace tw
