#pragma once

// What the tests check alike on every Wayland compositor.
#include "platform/linux/session_notices.h"
#include "platform/wayland/compositor_windows.h"
#include "support/compositor_session.h"

#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace twtest {

// Waits for the process's window to come in front, and hands it over.
inline ::testing::AssertionResult InFront(tw::TCompositorWindows& windows, pid_t pid,
                                          tw::TCompositorWindow& front) {
    if (WaitUntil([&] {
            front = windows.Focused();
            return front.pid == pid;
        })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "in front: pid " << front.pid << " \"" << front.title << "\"; " << windows.Problem();
}

inline std::set<int> WindowPids(tw::TCompositorWindows& windows) {
    std::set<int> pids;
    windows.EachWindow([&](const tw::TCompositorWindow& window) {
        pids.insert(window.pid);
        return true;
    });
    return pids;
}

// Closes a window as scans at the limit do: each scan looks at the windows and asks again while
// the window is there. A client asked to close the moment its window is up may miss it under
// load (a Qt client now and then does), which the next scan mends.
inline ::testing::AssertionResult ClosedAsScansAsk(tw::TCompositorWindows& windows,
                                                   tw::TWindowHandle window, TClient& client,
                                                   int seconds = 20) {
    std::optional<int> exitCode;
    for (int scan = 0; scan < seconds && !exitCode; ++scan) {
        windows.EachWindow([](const tw::TCompositorWindow&) { return true; });
        windows.Close(window);
        exitCode = client.ExitCodeWithin(1000);
    }
    if (exitCode == 0) {
        return ::testing::AssertionSuccess();
    }
    if (exitCode) {
        return ::testing::AssertionFailure() << "the client ended with " << *exitCode;
    }
    return ::testing::AssertionFailure() << "the window was not closed in " << seconds << " s";
}

// Locks the screen: the lock is announced, and no window is in front while it holds.
inline void ExpectLockShowsNoWindow(TCompositorSession& session, tw::TCompositorWindows& windows) {
    tw::TSessionNotices notices;
    session.Lock();
    tw::TDesktopNotice notice{};
    EXPECT_TRUE(WaitUntil([&] { return notices.Next(notice); }) &&
                notice == tw::TDesktopNotice::SessionLock)
        << "the lock was not announced";
    EXPECT_TRUE(WaitUntil([&] { return windows.Focused().window == 0; }))
        << "a locked screen still shows a window in front";
}

} // namespace twtest
