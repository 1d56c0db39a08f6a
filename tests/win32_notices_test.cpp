#include "platform/win32/shutdown.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/window_styles.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <wtsapi32.h>

#include <optional>

namespace {

using tw::TDesktopNotice;

class Win32NoticesTest : public ::testing::Test {
  protected:
    HWND Window() const { return reinterpret_cast<HWND>(desktop.NoticeWindow()); }
    // What the backend reports after the window got the message.
    std::optional<TDesktopNotice> After(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        SendMessageA(Window(), message, wParam, lParam);
        tw::TNotice notice;
        if (!desktop.NextNotice(notice)) {
            return std::nullopt;
        }
        tw::TNotice extra;
        EXPECT_FALSE(desktop.NextNotice(extra)) << "one message, one notice";
        return notice.what;
    }

    tw::TWin32Desktop desktop;
};

TEST_F(Win32NoticesTest, PowerSessionHotKeyAndWorkAreaMessagesBecomeNotices) {
    ASSERT_TRUE(IsWindow(Window()));
    for (WPARAM code : {4, 5}) {
        EXPECT_EQ(After(WM_POWERBROADCAST, code), TDesktopNotice::Suspend) << code;
    }
    for (WPARAM code : {1, 6, 7, 8}) {
        EXPECT_EQ(After(WM_POWERBROADCAST, code), TDesktopNotice::Resume) << code;
    }
    for (WPARAM code : {0, 2, 3, 9, 10, 18}) {
        EXPECT_EQ(After(WM_POWERBROADCAST, code), std::nullopt) << code;
    }
    for (WPARAM code : {2, 4, 6, 7}) {
        EXPECT_EQ(After(WM_WTSSESSION_CHANGE, code), TDesktopNotice::SessionLock) << code;
    }
    for (WPARAM code : {1, 3, 5, 8}) {
        EXPECT_EQ(After(WM_WTSSESSION_CHANGE, code), TDesktopNotice::SessionUnlock) << code;
    }
    for (WPARAM code : {0, 9, 10}) {
        EXPECT_EQ(After(WM_WTSSESSION_CHANGE, code), std::nullopt) << code;
    }
    const ATOM hotKey = GlobalFindAtomA("OTA_ALT_Hotkey");
    ASSERT_NE(hotKey, 0);
    EXPECT_EQ(After(WM_HOTKEY, hotKey), TDesktopNotice::HotKey);
    EXPECT_EQ(After(WM_HOTKEY, hotKey + 1), std::nullopt);
    EXPECT_EQ(After(WM_SETTINGCHANGE, SPI_SETWORKAREA), TDesktopNotice::WorkAreaChange);
    EXPECT_EQ(After(WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER), std::nullopt);
}

TEST_F(Win32NoticesTest, PostedMessagesAreDeliveredByTheBackendItselfInOrder) {
    PostMessageA(Window(), WM_POWERBROADCAST, 5, 0); // PBT_APMSTANDBY
    PostMessageA(Window(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    PostMessageA(Window(), WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    tw::TNotice sleep, first, second, none;
    ASSERT_TRUE(desktop.NextNotice(sleep));
    EXPECT_EQ(sleep.what, TDesktopNotice::Suspend);
    EXPECT_EQ(sleep.detail, "Code: 5"); // for the log's "Application suspended. Code: 5"
    ASSERT_TRUE(desktop.NextNotice(first));
    EXPECT_EQ(first.detail, "");
    ASSERT_TRUE(desktop.NextNotice(second));
    EXPECT_EQ(first.what, TDesktopNotice::SessionLock);
    EXPECT_EQ(second.what, TDesktopNotice::SessionUnlock);
    EXPECT_FALSE(desktop.NextNotice(none));
}

// Whoever runs the thread's messages (a window toolkit's loop) wakes the program through the
// call it gave, once the notice is queued, and not before.
TEST_F(Win32NoticesTest, AnyLoopThatDispatchesTheThreadsMessagesWakesTheProgram) {
    int wakes = 0;
    ASSERT_TRUE(desktop.WakeOnNotices([&] { ++wakes; }));
    PostMessageA(Window(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    EXPECT_EQ(wakes, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    EXPECT_EQ(wakes, 1);
    tw::TNotice notice;
    ASSERT_TRUE(desktop.NextNotice(notice));
    EXPECT_EQ(notice.what, TDesktopNotice::SessionLock);
}

TEST_F(Win32NoticesTest, ABroadcastWorkAreaChangeReachesTheHiddenWindow) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, SMTO_ABORTIFHUNG,
                        2000, &ignored);
    tw::TNotice notice;
    ASSERT_TRUE(twtest::WaitUntil([&] { return desktop.NextNotice(notice); }, 5000));
    EXPECT_EQ(notice.what, TDesktopNotice::WorkAreaChange);
}

TEST(Win32WindowStylesTest, TheTaskbarButtonGoesAndOtherStylesStay) {
    HWND window =
        CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOPMOST, "STATIC", "Main", WS_OVERLAPPEDWINDOW, 0,
                        0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    tw::RemoveTaskbarButton(static_cast<tw::TWindowHandle>(reinterpret_cast<UINT_PTR>(window)));
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_FALSE(style & WS_EX_APPWINDOW);
    EXPECT_TRUE(style & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_EX_TOPMOST);
    DestroyWindow(window);
}

TEST(Win32ShutdownTest, ARefusedPrivilegeRaisesTheSystemsText) {
    try {
        tw::EnableShutdownPrivilege("SeNoSuchPrivilege");
        FAIL() << "no error";
    } catch (const tw::EOSError& e) {
        EXPECT_EQ(e.Code, static_cast<unsigned long>(ERROR_NO_SUCH_PRIVILEGE));
        EXPECT_EQ(std::string(e.what()), tw::SystemErrorText(ERROR_NO_SUCH_PRIVILEGE));
        EXPECT_FALSE(std::string(e.what()).empty());
    }
    // The real one is held by an ordinary desktop user.
    EXPECT_NO_THROW(tw::EnableShutdownPrivilege());
}

TEST(Win32ErrorTextTest, SystemTextsComeWithoutTrailingLineBreakOrFullStop) {
    const std::string text = tw::SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.');
    EXPECT_NE(text.back(), '\n');
    EXPECT_FALSE(tw::SystemErrorText(0xDEAD1234u).empty())
        << "an unknown code still says something";
}

} // namespace
