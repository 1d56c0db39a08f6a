// The program's desktop on a real KWin and a real GNOME Shell, headless on the CPU, chosen
// from the session's environment as at a start, with the engine counting a real Qt Wayland
// client in front and closing it at the limit, and counting nothing behind the lock.
#ifdef __linux__

#include "support/compositor_session.h"
#include "wayland_engine_checks.h"

namespace {

using twtest::TCompositorSession;

void ExpectCountedClosedAndNotCountedWhileLocked(TCompositorSession::TKind kind, const char* name) {
    TCompositorSession session(kind);
    const std::unique_ptr<tw::TDesktop> desktop = tw::CreateDesktop();
    ASSERT_STREQ(desktop->Name(), name);
    EXPECT_EQ(desktop->WindowsProblem(), "");

    auto counted = session.StartClient("Counted");
    ASSERT_EQ(twtest::FrontOnceItIs(*desktop, twtest::WaylandClientProgram()).executablePath,
              twtest::WaylandClientProgram())
        << desktop->WindowsProblem();
    twtest::TListedClientEngine engine(*desktop);
    engine.ExpectCounted();
    EXPECT_TRUE(engine.ClosedAtTheLimit());

    // A new day's allowance for the next window, so that only the lock can stop its count.
    engine.Options().Edit().TimeLimitSeconds = 3600;
    auto behindTheLock = session.StartClient("Behind the lock");
    ASSERT_EQ(twtest::FrontOnceItIs(*desktop, twtest::WaylandClientProgram()).executablePath,
              twtest::WaylandClientProgram());
    engine.ExpectCounted();
    const int rows = engine.Rows();
    const int total = engine.Total();
    session.Lock();
    EXPECT_TRUE(twtest::WaitUntil([&] { return engine.PassNotices(); }))
        << "the lock was not announced through the desktop";
    EXPECT_TRUE(twtest::WaitUntil([&] { return desktop->WhatIsInFront().window == 0; }))
        << "a locked screen still shows a window in front";
    for (int i = 0; i < 3; ++i) {
        engine.Scan();
    }
    EXPECT_EQ(engine.Total(), total);
    EXPECT_EQ(engine.Rows(), rows);
}

TEST(WaylandKWinDesktop, CountsTheClientClosesItAtTheLimitAndCountsNothingWhileLocked) {
    ExpectCountedClosedAndNotCountedWhileLocked(TCompositorSession::KWin, "wayland-kwin");
}

TEST(WaylandGnomeShellDesktop, CountsTheClientClosesItAtTheLimitAndCountsNothingWhileLocked) {
    ExpectCountedClosedAndNotCountedWhileLocked(TCompositorSession::GnomeShell, "wayland-gnome");
}

} // namespace

#endif // __linux__
