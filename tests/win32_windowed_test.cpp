// The windowed Windows program with its Qt, under the system (or Wine), as a person meets it:
// the first start's settings wizard, the window docked at the right edge of the work area
// and the tray icon, the reminder at the limit and the listed program closed at the end of
// its countdown, double Alt, and the uninstaller's marker. The program runs from a copy of
// the build's program folder, in a folder whose name is not ASCII.
#include "base/text.h"
#include "items/monitored_list.h"
#include "platform/native_path.h"
#include "platform/win32/win32_text.h"
#include "storage/options.h"
#include "win32_support/program_data.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using twtest::TTestProcess;

namespace {

namespace fs = std::filesystem;

std::string WindowTitle(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return tw::Utf8Text(text, 256);
}

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return tw::Utf8Text(name, 256);
}

// The process's top-level window with this title (visible ones only, unless asked), or null.
HWND WindowOf(DWORD processId, const std::string& title, bool visibleOnly = true) {
    for (HWND window : twtest::WindowsOf(processId)) {
        // Qt adds the program's name to a window's own title: "Settings - Tallywick".
        const std::string text = WindowTitle(window);
        if ((!visibleOnly || IsWindowVisible(window)) &&
            (text == title || text == title + " - Tallywick")) {
            return window;
        }
    }
    return nullptr;
}

// What the process shows, for a failure's message: "title" [class] of each visible window.
std::string ShownWindows(DWORD processId) {
    std::string text;
    for (HWND window : twtest::WindowsOf(processId)) {
        if (IsWindowVisible(window)) {
            text += " \"" + WindowTitle(window) + "\" [" + ClassOf(window) + "]";
        }
    }
    return text.empty() ? " none" : text;
}

HWND WaitForWindow(DWORD processId, const std::string& title, int milliseconds) {
    HWND found = nullptr;
    twtest::WaitUntil([&] { return (found = WindowOf(processId, title)) != nullptr; },
                      milliseconds);
    return found;
}

// One key pressed and released, as the keyboard sends it to the window in front.
void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

class WindowedProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(twtest::RoamingFolder().empty());
        fs::remove_all(tw::NativePath(DataFolder()));
        root_ = twtest::ProcessTempFolder("tallywick-windowed");
        programFolder_ = root_ + "\\Zoë Ωμέγα Ж\\";
        // The program with its Qt and everything the build placed beside it.
        fs::create_directories(tw::NativePath(root_));
        fs::copy(tw::NativePath(twtest::OwnFolder() + "bin"), tw::NativePath(programFolder_),
                 fs::copy_options::recursive);
    }
    void TearDown() override {
        if (program_ && program_->Running()) {
            program_->Kill();
        }
        program_.reset();
        std::error_code ignored;
        fs::remove_all(tw::NativePath(root_), ignored);
        fs::remove_all(tw::NativePath(DataFolder()), ignored);
    }

    std::string DataFolder() const { return twtest::ProgramDataFolder(); }

    void Configure(const std::function<void(tw::TOptions&)>& change) {
        ASSERT_TRUE(twtest::ConfigureProgramData(programFolder_, change));
    }

    TTestProcess& Start() {
        const DWORD started = GetTickCount();
        program_ = std::make_unique<TTestProcess>("\"" + programFolder_ + "tallywick.exe\"");
        // The start-to-window time of the windowed program, for the record.
        if (WaitForProcessWindowOf(*program_)) {
            std::printf("first window after %lu ms\n", GetTickCount() - started);
        }
        return *program_;
    }
    static bool WaitForProcessWindowOf(const TTestProcess& process) {
        return twtest::WaitForProcessWindow(process.Id(), 30000) != nullptr;
    }

    // The uninstaller's marker ends the program in order.
    void EndByUninstall() {
        std::ofstream(tw::NativePath(programFolder_ + "uninstall.flag")) << "";
        EXPECT_EQ(program_->ExitCodeWithin(15000), 0) << "the uninstall marker did not end it";
    }

    // Where the main window stands: at the right edge of the work area, within it, on top.
    void ExpectDocked(HWND main) {
        RECT window{};
        ASSERT_TRUE(GetWindowRect(main, &window));
        const RECT area = WorkArea();
        EXPECT_EQ(window.right, area.right);
        EXPECT_GE(window.top, area.top);
        EXPECT_LE(window.bottom, area.bottom);
        EXPECT_GT(window.right - window.left, 100);
        EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST) << "not always on top";
    }

    std::string root_;
    std::string programFolder_;
    std::unique_ptr<TTestProcess> program_;
};

// Nothing stored yet: the settings wizard comes first; Enter takes it through its pages with
// what it proposes; then the main window shows, docked, and the tray holds the icon.
TEST_F(WindowedProgram, FirstStartWizardThenTheDockedWindowAndTheTrayIcon) {
    TTestProcess& program = Start();
    HWND wizard = WaitForWindow(program.Id(), "Settings", 30000);
    ASSERT_NE(wizard, nullptr) << "no settings wizard at the first start; shown:"
                               << ShownWindows(program.Id());
    for (int page = 0; page < 12 && IsWindow(wizard) && IsWindowVisible(wizard); ++page) {
        ASSERT_TRUE(twtest::MakeForeground(wizard));
        PressKey(VK_RETURN);
        twtest::WaitUntil([&] { return !IsWindow(wizard) || !IsWindowVisible(wizard); }, 1500);
    }
    ASSERT_FALSE(IsWindow(wizard) && IsWindowVisible(wizard)) << "the wizard did not finish";
    EXPECT_TRUE(fs::exists(tw::NativePath(DataFolder() + "settings.sqlite")));

    HWND main = WaitForWindow(program.Id(), "Tallywick", 15000);
    ASSERT_NE(main, nullptr) << "the main window did not show after the first start's wizard";
    ExpectDocked(main);
    // Qt's tray icon is shown through a hidden message window of its own; the tray's host
    // exists only where a tray does.
    EXPECT_NE(FindWindowW(L"Shell_TrayWnd", nullptr), nullptr) << "no system tray";
    EndByUninstall();
}

// Notepad listed and in front beyond the limit: the reminder comes, and with "Close
// Browser/App." Notepad is closed when its countdown ends.
TEST_F(WindowedProgram, TheReminderAtTheLimitThenNotepadClosedAtTheEndOfTheCountdown) {
    const std::string notepad = twtest::SystemFile("notepad.exe");
    Configure([&](tw::TOptions& options) {
        options.Edit().ScanPeriodSeconds = 1;
        options.Edit().TimeLimitSeconds = 2;
        options.Edit().ExpirationAction = tw::TExpirationAction::CloseListed;
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = notepad;
        item->Caption = "Notepad";
        item->ItemType = tw::TMonitoredItemType::mitApp;
        options.Edit().MonitoredList.Add("Notepad", std::move(item));
    });
    TTestProcess editor("notepad.exe");
    HWND editorWindow = twtest::WaitForProcessWindow(editor.Id());
    ASSERT_NE(editorWindow, nullptr);
    ASSERT_TRUE(twtest::MakeForeground(editorWindow));

    TTestProcess& program = Start();
    HWND reminder = WaitForWindow(program.Id(), "Reminder", 30000);
    ASSERT_NE(reminder, nullptr) << "no reminder at the limit; shown:"
                                 << ShownWindows(program.Id());
    EXPECT_EQ(editor.ExitCodeWithin(5000), -1) << "closed before the countdown ended";
    // The countdown is a minute of real time.
    EXPECT_EQ(editor.ExitCodeWithin(90000), 0) << "notepad was not closed after the countdown";
    EndByUninstall();
}

// Started with its settings, the program keeps to the tray; Alt pressed twice shows it.
TEST_F(WindowedProgram, DoubleAltShowsTheHiddenWindow) {
    Configure([](tw::TOptions& options) { options.Edit().ScanPeriodSeconds = 1; });
    TTestProcess& program = Start();
    // The hidden window that hears the hot key is there once the program runs.
    ASSERT_TRUE(twtest::WaitUntil(
        [&] { return FindWindowW(L"TallywickNoticeWindow", nullptr) != nullptr; }, 30000));
    HWND main = WindowOf(program.Id(), "Tallywick", false);
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(IsWindowVisible(main))
        << "with a tray, a configured start keeps the window hidden";

    twtest::TTestWindow front("TallywickTestFront", "In front");
    ASSERT_TRUE(twtest::MakeForeground(front.Handle()));
    if (UnderWine()) {
        // Wine matches a hot key by its key, and one of Alt alone has none: what Windows
        // sends for each press is sent by hand.
        HWND notices = FindWindowW(L"TallywickNoticeWindow", nullptr);
        const ATOM hotKey = GlobalFindAtomW(L"OTA_ALT_Hotkey");
        ASSERT_NE(hotKey, 0);
        for (int press = 0; press < 2; ++press) {
            PostMessageW(notices, WM_HOTKEY, hotKey, MAKELPARAM(MOD_ALT, 0));
        }
    } else {
        PressKey(VK_MENU);
        PressKey(VK_MENU);
    }
    // Qt may give the window a new native window as it shows it: found again by its title.
    main = WaitForWindow(program.Id(), "Tallywick", 10000);
    ASSERT_NE(main, nullptr) << "double Alt did not show the window; shown:"
                             << ShownWindows(program.Id());
    ExpectDocked(main);
    EXPECT_EQ(ClassOf(main).rfind("Qt", 0), 0u) << ClassOf(main);
    EndByUninstall();
}

} // namespace
