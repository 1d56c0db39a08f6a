#include "platform/wayland/wayland_desktop.h"

#include "platform/linux/browser_address.h"
#include "platform/linux/browser_family.h"
#include "platform/process_executable.h"
#include "platform/wayland/compositor_windows.h"

namespace tw {

TWaylandDesktop::TWaylandDesktop(std::unique_ptr<TCompositorWindows> compositor)
    : compositor_(std::move(compositor)) {
    compositorDescriptor_ = compositor_->Descriptor();
    WaitAlsoOn({compositorDescriptor_});
}

TWaylandDesktop::~TWaylandDesktop() = default;

const char* TWaylandDesktop::Name() const {
    return compositor_->Name();
}

TWindowFacts TWaylandDesktop::WhatIsInFront() {
    const TCompositorWindow focused = compositor_->Focused();
    for (TNotice notice; compositor_->NextNotice(notice);) {
        Announce(notice);
    }
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
    facts.title = window.title;
    browser.title = [title = window.title] { return title; };
    // A Wayland client does not know where its window stands, so the accessibility bus
    // cannot tell either: windows of one title are told apart by which one is active.
    browser.place = [] { return TScreenRect{}; };
    ReadAddress(facts, browser);
    return facts;
}

void TWaylandDesktop::PostCloseRequest(TWindowHandle window) {
    compositor_->Close(window);
}

bool TWaylandDesktop::NextOwnNotice(TNotice& notice) {
    if (compositorDescriptor_ >= 0) {
        compositor_->Dispatch();
    }
    return compositor_->NextNotice(notice);
}

std::string TWaylandDesktop::WindowsProblem() {
    return compositor_->Problem();
}

} // namespace tw
