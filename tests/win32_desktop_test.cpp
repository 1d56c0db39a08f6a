// The Windows backend against real windows under the system (or Wine): Wine's notepad,
// and windows this test creates with the class names browsers use.
#include "base/text.h"
#include "monitor/probe.h"
#include "platform/native_path.h"
#include "platform/win32/process_image_path.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"
#include "support/collecting_log.h"
#include "win32_support/test_accessible.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

using twtest::MakeForeground;
using twtest::TTestProcess;
using twtest::TTestWindow;

namespace {

std::string SystemFolderFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

std::string OwnPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

tw::TMonitoredList
ListOf(std::initializer_list<std::pair<std::string, tw::TMonitoredItemType>> names) {
    tw::TMonitoredList list;
    for (const auto& [name, type] : names) {
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = name;
        item->ItemType = type;
        const std::string caption = "Caption of " + name;
        item->Caption = caption;
        list.Add(caption, std::move(item));
    }
    return list;
}

class Win32DesktopTest : public ::testing::Test {
  protected:
    // Probes the window after bringing it to the front.
    void ProbeInFront(HWND window) {
        ASSERT_TRUE(MakeForeground(window));
        probe.Execute(false, nullptr);
        EXPECT_EQ(probe.Window, reinterpret_cast<UINT_PTR>(window));
    }

    tw::TWin32Desktop desktop;
    twtest::TCollectingLog log;
    tw::TOnlineTimeApplication probe{desktop, log};
    const std::vector<std::string>& errors = log.Lines();
};

TEST_F(Win32DesktopTest, NotepadInFrontIsADesktopApplicationWithItsDriveLetterPath) {
    TTestProcess notepad("notepad.exe");
    HWND window = twtest::WaitForProcessWindow(notepad.Id());
    ASSERT_NE(window, nullptr);
    bool hasEdit = false;
    desktop.EnumDescendants(reinterpret_cast<UINT_PTR>(window), [&](tw::TWindowHandle child) {
        hasEdit = hasEdit || desktop.ClassName(child) == "Edit";
        return true;
    });
    EXPECT_TRUE(hasEdit) << "notepad's text area is an Edit, which must not make it a browser";

    ProbeInFront(window);
    const std::string expected = SystemFolderFile("notepad.exe");
    EXPECT_TRUE(tw::SameText(probe.ExeName, expected)) << probe.ExeName << " vs " << expected;
    EXPECT_EQ(probe.ExeName.substr(1, 2), ":\\");
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Desktop);
    EXPECT_EQ(probe.Url, "");
    EXPECT_TRUE(errors.empty());
}

TEST_F(Win32DesktopTest, BrowserClassesGiveKindAndAddress) {
    {
        TTestWindow frame("Chrome_WidgetWin_1", "Example - Chrome");
        TTestWindow panel("Chrome_RenderWidgetHostHWND", "", frame.Handle());
        TTestWindow omnibox("Chrome_AutocompleteEditView", "example.org/page?q=1", frame.Handle());
        ProbeInFront(frame.Handle());
        EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Chrome);
        EXPECT_EQ(probe.Url, "example.org/page?q=1");
        EXPECT_TRUE(tw::SameText(probe.ExeName, OwnPath())) << probe.ExeName;
    }
    {
        // The address is the text of the first Edit after the band, also without scheme.
        TTestWindow frame("IEFrame", "Example - Internet Explorer");
        TTestWindow band("Address Band Root", "", frame.Handle());
        TTestWindow edit("Edit", "www.example.com/start", band.Handle());
        TTestWindow laterEdit("Edit", "search words", frame.Handle());
        ProbeInFront(frame.Handle());
        EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::InternetExplorer);
        EXPECT_EQ(probe.Url, "www.example.com/start");
    }
    {
        // An Edit before any address band is an ordinary text field.
        TTestWindow frame("PlainFrame", "Editor");
        TTestWindow edit("Edit", "http://not.an.address/", frame.Handle());
        ProbeInFront(frame.Handle());
        EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Desktop);
        EXPECT_EQ(probe.Url, "");
    }
}

TEST_F(Win32DesktopTest, DescendantClassesDecideKindAndAddressInOrder) {
    struct TCase {
        const char* name;
        std::vector<std::pair<const char*, const char*>> children; // class, text
        tw::TBrowserKind kind;
        const char* url;
    };
    const TCase cases[] = {
        {"plain editor", {{"Edit", "notes"}}, tw::TBrowserKind::Desktop, ""},
        {"address display control",
         {{"AddressDisplay Control", ""}, {"Edit", "http://x.example/"}},
         tw::TBrowserKind::InternetExplorer,
         "http://x.example/"},
        {"edit before the band is ignored",
         {{"Edit", "draft"}, {"Address Band Root", ""}, {"Edit", "example.com"}},
         tw::TBrowserKind::InternetExplorer,
         "example.com"},
        {"an empty first edit still stops",
         {{"Address Band Root", ""}, {"Edit", ""}, {"Edit", "late.example.com"}},
         tw::TBrowserKind::InternetExplorer,
         ""},
        {"first browser class met wins",
         {{"Chrome_AutocompleteEditView", "a.example"}, {"MozillaWindowClass", ""}},
         tw::TBrowserKind::Chrome,
         "a.example"},
        {"mozilla stops even without an address",
         {{"MozillaWindowClass", ""}, {"Chrome_AutocompleteEditView", "b.example"}},
         tw::TBrowserKind::Firefox,
         ""},
        {"mozilla after a band",
         {{"Address Band Root", ""}, {"MozillaWindowClass", ""}},
         tw::TBrowserKind::Firefox,
         ""},
        {"opera",
         {{"OperaWindowClass", ""}, {"Chrome_AutocompleteEditView", "c.example"}},
         tw::TBrowserKind::Opera,
         ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTestWindow frame("PlainFrame", c.name);
        std::vector<std::unique_ptr<TTestWindow>> children;
        for (const auto& [className, text] : c.children) {
            children.push_back(std::make_unique<TTestWindow>(className, text, frame.Handle()));
        }
        ProbeInFront(frame.Handle());
        EXPECT_EQ(probe.BrowserKind, c.kind);
        EXPECT_EQ(probe.Url, c.url);
        EXPECT_TRUE(tw::SameText(probe.ExeName, OwnPath())) << probe.ExeName;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(Win32DesktopTest, MozillaAddressComesFromTheAccessibilityTreeWithinFourLevels) {
    struct TCase {
        int depth;
        bool enumerationOnly;
        const char* expected;
    };
    for (const TCase& each :
         {TCase{3, false, "https://example.org/moz"}, TCase{4, false, "https://example.org/moz"},
          TCase{5, false, ""}, TCase{4, true, "https://example.org/moz"}}) {
        SCOPED_TRACE(testing::Message()
                     << "depth " << each.depth << " enumeration only " << each.enumerationOnly);
        TTestWindow frame("MozillaUIWindowClass", "Example - Mozilla");
        TTestWindow content("MozillaWindowClass", "", frame.Handle());
        twtest::TTestAccessible* tree =
            twtest::TreeWithAddressAt(each.depth, L"https://example.org/moz", each.enumerationOnly);
        content.SetAccessible(tree);
        ProbeInFront(frame.Handle());
        EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Firefox);
        EXPECT_EQ(probe.Url, each.expected);
        content.Destroy();
        tree->Release();
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(Win32DesktopTest, MozillaAddressFieldWithoutFullAddressGivesNone) {
    TTestWindow frame("MozillaUIWindowClass", "New tab");
    TTestWindow content("MozillaWindowClass", "", frame.Handle());
    twtest::TTestAccessible* tree = twtest::TreeWithAddressAt(2, L"about:blank");
    content.SetAccessible(tree);
    ProbeInFront(frame.Handle());
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Firefox);
    EXPECT_EQ(probe.Url, "");
    content.Destroy();
    tree->Release();
}

TEST_F(Win32DesktopTest, ABrokenTreeIsReportedAndTheWindowKeepsWhatWasFound) {
    TTestWindow frame("MozillaUIWindowClass", "Broken");
    TTestWindow content("MozillaWindowClass", "", frame.Handle());
    twtest::TTestAccessible* tree = twtest::TreeWithAddressAt(2, L"https://never.example/", true);
    tree->enumerationFails = true;
    content.SetAccessible(tree);
    ProbeInFront(frame.Handle());
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Firefox);
    EXPECT_EQ(probe.Url, "");
    EXPECT_TRUE(tw::SameText(probe.ExeName, OwnPath())) << probe.ExeName;
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("ErrorClassName: ", 0), 0u) << errors[0];
    EXPECT_NE(errors[0].find("; TOnlineTimeApplication.Execute: "), std::string::npos);
    content.Destroy();
    tree->Release();
}

TEST_F(Win32DesktopTest, WindowsWithoutAnObjectOfTheirOwnGetTheSystemsStandardOne) {
    TTestWindow frame("PlainFrame", "Form");
    EXPECT_NE(desktop.AccessibleObject(frame.Id()), nullptr);
}

TEST_F(Win32DesktopTest, CloseAllClosesExactlyTheListedWindows) {
    // Two copies of one program and a third program, each with a window of its own.
    const std::string helper = twtest::OwnFolder() + TALLYWICK_HELPER_NAME;
    const std::string listedCopy = twtest::OwnFolder() + "listed_helper.exe";
    ASSERT_TRUE(CopyFileA(helper.c_str(), listedCopy.c_str(), FALSE));
    {
        TTestProcess first("\"" + listedCopy + "\" window first");
        TTestProcess second("\"" + listedCopy + "\" window second");
        TTestProcess other("\"" + helper + "\" window other");
        for (TTestProcess* each : {&first, &second, &other}) {
            ASSERT_EQ(each->ReadLine(), "window");
        }
        tw::TMonitoredList list = ListOf({{listedCopy, tw::TMonitoredItemType::mitApp}});
        probe.Execute(true, &list);
        EXPECT_EQ(first.ExitCodeWithin(10000), 0);
        EXPECT_EQ(second.ExitCodeWithin(10000), 0);
        EXPECT_EQ(other.ExitCodeWithin(500), -1) << "an unlisted window was closed";
        EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(desktop.NoticeWindow())));
        EXPECT_FALSE(probe.CloseAll);
        EXPECT_EQ(probe.CloseList, nullptr);
    }
    DeleteFileA(listedCopy.c_str());
}

TEST_F(Win32DesktopTest, VanishedWindowsAndProcessesGiveTheirErrorsWithoutStoppingAnything) {
    auto gone = std::make_unique<TTestWindow>("PlainFrame", "Short-lived");
    const tw::TWindowHandle id = gone->Id();
    gone.reset();
    const std::string invalid = tw::SystemErrorText(ERROR_INVALID_PARAMETER);
    EXPECT_EQ(desktop.ExecutablePath(id), "Error: " + invalid);
    EXPECT_EQ(desktop.ClassName(id), "");
    EXPECT_EQ(desktop.WindowText(id), "");
    EXPECT_EQ(desktop.AccessibleObject(id), nullptr);
    desktop.EnumDescendants(id, [](tw::TWindowHandle) { return true; });

    // A process that does not exist cannot be opened.
    const std::string noProcess = tw::ProcessImagePath(0x7FFFFFF0);
    EXPECT_EQ(noProcess.rfind("Error: ", 0), 0u) << noProcess;
    EXPECT_GT(noProcess.size(), 8u);
}

// A process that lets others only ask its name, as one run as administrator does, started
// from a folder whose name no code page holds.
class TGuardedProcess {
  public:
    explicit TGuardedProcess(const std::string& program) {
        // Everyone may ask the name, wait for the end and end it; nothing more.
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
                L"D:(A;;0x101001;;;WD)", SDDL_REVISION_1, &descriptor, nullptr)) {
            throw std::runtime_error("no security descriptor");
        }
        SECURITY_ATTRIBUTES guarded{sizeof guarded, descriptor, FALSE};
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line =
            L"\"" + tw::WideText(program) + L"\" lock \"" + tw::WideText(program) + L".lock\"";
        const BOOL started = CreateProcessW(nullptr, line.data(), &guarded, nullptr, FALSE, 0,
                                            nullptr, nullptr, &startup, &info_);
        LocalFree(descriptor);
        if (!started) {
            throw std::runtime_error("cannot start " + program);
        }
    }
    ~TGuardedProcess() {
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 10000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    TGuardedProcess(const TGuardedProcess&) = delete;
    TGuardedProcess& operator=(const TGuardedProcess&) = delete;
    DWORD Id() const { return info_.dwProcessId; }

  private:
    PROCESS_INFORMATION info_{};
};

TEST(Win32ProcessImageTest, AProcessThatGrantsOnlyItsNameIsNamedWithTheLettersOfItsFolder) {
    const std::string root =
        twtest::OwnFolder() + "image-" + std::to_string(GetCurrentProcessId()) + "\\";
    const std::string folder = root + twtest::NonAsciiFolderName + "\\";
    const std::string program = folder + "Ζωή helper.exe";
    std::filesystem::create_directories(tw::NativePath(folder));
    std::filesystem::copy_file(twtest::OwnFolder() + TALLYWICK_HELPER_NAME,
                               tw::NativePath(program));
    {
        TGuardedProcess guarded(program);
        // What the system refuses for a program run as administrator.
        HANDLE full = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, guarded.Id());
        EXPECT_EQ(full, nullptr) << "the process lets anyone query it in full";
        if (full) {
            CloseHandle(full);
        }
        EXPECT_EQ(tw::ProcessImagePath(guarded.Id()), program);
    }
    std::error_code ignored;
    std::filesystem::remove_all(tw::NativePath(root), ignored);
}

TEST_F(Win32DesktopTest, WindowsClosingDuringTheEnumerationAreSkipped) {
    std::vector<std::unique_ptr<TTestWindow>> windows;
    for (int i = 0; i < 5; ++i) {
        windows.push_back(
            std::make_unique<TTestWindow>("PlainFrame", "Closing " + std::to_string(i)));
    }
    int visited = 0;
    desktop.EnumTopLevelWindows([&](tw::TWindowHandle window) {
        ++visited;
        windows.clear(); // every window of ours goes at the first visit
        desktop.ClassName(window);
        desktop.ExecutablePath(window);
        return true;
    });
    EXPECT_GT(visited, 0);

    // The close-all pass over a desktop whose windows come and go completes.
    tw::TMonitoredList list = ListOf({{OwnPath(), tw::TMonitoredItemType::mitApp}});
    TTestWindow survivor("PlainFrame", "Survivor");
    probe.Execute(true, &list);
    twtest::PumpMessages(50);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Win32DesktopTest, ExceptionsInTheCallbacksComeOutOfTheEnumeration) {
    TTestWindow frame("PlainFrame", "Frame");
    TTestWindow child("Edit", "x", frame.Handle());
    EXPECT_THROW(desktop.EnumTopLevelWindows(
                     [](tw::TWindowHandle) -> bool { throw std::runtime_error("stop"); }),
                 std::runtime_error);
    EXPECT_THROW(desktop.EnumDescendants(
                     frame.Id(), [](tw::TWindowHandle) -> bool { throw tw::Exception("x"); }),
                 tw::Exception);
    int seen = 0;
    desktop.EnumDescendants(frame.Id(), [&](tw::TWindowHandle) { return ++seen < 1; });
    EXPECT_EQ(seen, 1);
}

TEST_F(Win32DesktopTest, WindowTextIsCutAt1023Characters) {
    TTestWindow frame("PlainFrame", "Frame");
    TTestWindow edit("Edit", "", frame.Handle());
    SendMessageA(edit.Handle(), EM_LIMITTEXT, 5000, 0);
    const std::string longText(2000, 'a');
    SetWindowTextA(edit.Handle(), longText.c_str());
    EXPECT_EQ(desktop.WindowText(edit.Id()), std::string(1023, 'a'));
}

} // namespace
