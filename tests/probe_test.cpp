#include "monitor/probe.h"

#include "discovery/program_lines.h"
#include "monitor/offered_programs.h"

#include "base/exception.h"
#include "platform/fake/fake_browsers.h"
#include "platform/fake/fake_desktop.h"
#include "support/collecting_log.h"

#include <gtest/gtest.h>

namespace {

using tw::TBrowserKind;
using tw::TFakeDesktop;
using tw::TFakeProcess;
using tw::TWindowHandle;
using ItemType = tw::TMonitoredItemType;

tw::TMonitoredList List(std::initializer_list<std::pair<const char*, ItemType>> names) {
    tw::TMonitoredList list;
    for (const auto& [name, type] : names) {
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = name;
        item->ItemType = type;
        const std::string caption = std::string("Caption of ") + name;
        item->Caption = caption;
        list.Add(caption, std::move(item));
    }
    return list;
}

class ProbeTest : public ::testing::Test {
  protected:
    void ProbeForeground(TWindowHandle window) {
        desk.SetForeground(window);
        probe.Execute(false, nullptr);
    }
    TFakeDesktop desk;
    twtest::TCollectingLog log;
    tw::TOnlineTimeApplication probe{desk, log};
    const std::vector<std::string>& errors = log.Lines();
};

// --- what the desktop says ---

TEST_F(ProbeTest, TheFactsOfTheWindowInFrontAreTakenAsTheDesktopGivesThem) {
    const struct {
        TBrowserKind kind;
        const char* address;
        const char* kindText;
    } cases[] = {
        {TBrowserKind::Desktop, "", "Desktop Application"},
        {TBrowserKind::InternetExplorer, "www.example.com/a", "MS Internet Explorer"},
        {TBrowserKind::Firefox, "https://i.example/", "Mozila FireFox"},
        {TBrowserKind::Chrome, "mail.example.com/inbox", "Google Chrome"},
        {TBrowserKind::Opera, "https://o.example/", "Opera"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kindText);
        const TWindowHandle window =
            desk.AddWindow(TFakeProcess::Path("C:\\App\\a.exe"), c.kind, c.address);
        ProbeForeground(window);
        EXPECT_EQ(probe.Window, window);
        EXPECT_EQ(probe.ExeName, "C:\\App\\a.exe");
        EXPECT_EQ(probe.BrowserKind, c.kind);
        EXPECT_EQ(probe.BrowserName(), c.kindText);
        EXPECT_EQ(probe.Url, c.address);
        EXPECT_EQ(probe.AddressProblem, tw::TAddressProblem::NoProblem);
        EXPECT_EQ(probe.Activity().BrowserName, c.kindText);
    }
    const TWindowHandle unread = tw::AddChromeWindow(desk, "C:\\c.exe", "");
    desk.SetAddressProblem(unread, tw::TAddressProblem::NotAnswering);
    ProbeForeground(unread);
    EXPECT_EQ(probe.Url, "");
    EXPECT_EQ(probe.AddressProblem, tw::TAddressProblem::NotAnswering);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProbeTest, AFailedAddressReadIsReportedAndKeepsWhatWasFound) {
    const TWindowHandle window =
        desk.AddWindow(TFakeProcess::Path("C:\\Browsers\\moz.exe"), TBrowserKind::Firefox);
    desk.FailAddressRead(window, "Catastrophic failure");
    ProbeForeground(window);
    EXPECT_EQ(errors, std::vector<std::string>{"ErrorClassName: Exception; "
                                               "TOnlineTimeApplication.Execute: "
                                               "Catastrophic failure"});
    EXPECT_EQ(probe.Url, "");
    EXPECT_EQ(probe.BrowserKind, TBrowserKind::Firefox);
    EXPECT_EQ(probe.ExeName, "C:\\Browsers\\moz.exe");
    EXPECT_TRUE(probe.Visited);
}

// --- executable paths ---

TEST_F(ProbeTest, ExecutablePathForms) {
    desk.SetDosDevice('C', "\\Device\\HarddiskVolume1");
    desk.SetDosDevice('D', "\\Device\\HarddiskVolume10");
    const struct {
        TFakeProcess process;
        const char* exeName;
    } cases[] = {
        {TFakeProcess::Path("C:\\Apps\\edit.exe"), "C:\\Apps\\edit.exe"},
        {TFakeProcess::Unopenable("Access is denied."), "Error: Access is denied."},
        {TFakeProcess::DevicePath("\\Device\\HarddiskVolume1\\Apps\\x.exe"), "C:\\Apps\\x.exe"},
        {TFakeProcess::DevicePath("\\Device\\HarddiskVolume10\\Apps\\x.exe"), "D:\\Apps\\x.exe"},
        {TFakeProcess::DevicePath("\\Device\\HarddiskVolume7\\Apps\\x.exe"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exeName);
        TWindowHandle window =
            desk.AddWindow(c.process, TBrowserKind::Chrome, "still.read.example");
        ProbeForeground(window);
        EXPECT_EQ(probe.ExeName, c.exeName);
        EXPECT_EQ(probe.Url, "still.read.example"); // detection runs whatever the path
    }
}

// --- foreground and refresh ---

TEST_F(ProbeTest, OnlyTheForegroundWindowIsExaminedAndEachRunStartsAfresh) {
    TWindowHandle chrome = tw::AddChromeWindow(desk, "C:\\c.exe", "a.example");
    TWindowHandle editor = tw::AddEditorWindow(desk, "C:\\e.exe");
    ProbeForeground(chrome);
    EXPECT_TRUE(probe.Visited);
    ProbeForeground(editor);
    EXPECT_EQ(probe.Window, editor);
    EXPECT_EQ(probe.ExeName, "C:\\e.exe");
    EXPECT_EQ(probe.BrowserKind, TBrowserKind::Desktop);
    EXPECT_EQ(probe.Url, "");

    ProbeForeground(chrome);
    ProbeForeground(0);
    EXPECT_EQ(probe.Window, 0u);
    EXPECT_EQ(probe.ExeName, "");
    EXPECT_EQ(probe.Url, "");
    EXPECT_EQ(probe.BrowserKind, TBrowserKind::Desktop);
    EXPECT_FALSE(probe.Visited);
    EXPECT_TRUE(desk.CloseRequests().empty());
    EXPECT_TRUE(errors.empty());
}

// --- close-all pass ---

TEST_F(ProbeTest, CloseAllAsksExactlyTheListedWindowsToClose) {
    const auto list = List({{"video.example.com", ItemType::mitWeb},
                            {"news.example.org", ItemType::mitWeb},
                            {"C:\\Tools\\game.exe", ItemType::mitApp}});
    TWindowHandle mozilla = desk.AddWindow(TFakeProcess::Path("C:\\m.exe"), TBrowserKind::Firefox,
                                           "https://video.example.com/watch");
    TWindowHandle chrome = tw::AddChromeWindow(desk, "C:\\c.exe", "news.example.org/today");
    TWindowHandle editor = tw::AddEditorWindow(desk, "C:\\Apps\\edit.exe");
    TWindowHandle game = tw::AddEditorWindow(desk, "C:\\Tools\\game.exe");
    tw::AddChromeWindow(desk, "C:\\c.exe", "other.example.net");
    desk.SetForeground(editor);

    probe.Execute(true, &list);
    EXPECT_EQ(desk.CloseRequests(), (std::vector<TWindowHandle>{mozilla, chrome, game}));
    EXPECT_FALSE(probe.CloseAll);
    EXPECT_EQ(probe.CloseList, nullptr);
    EXPECT_FALSE(probe.Visited);

    desk.ClearRecords();
    desk.SetForeground(mozilla);
    probe.Execute(false, &list);
    EXPECT_TRUE(desk.CloseRequests().empty()); // a single look closes nothing
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProbeTest, CloseAllGoesOnPastAFailedAddressReadAndAVanishedWindow) {
    const auto list =
        List({{"C:\\Browsers\\moz.exe", ItemType::mitApp}, {"news.example.org", ItemType::mitWeb}});
    TWindowHandle broken =
        desk.AddWindow(TFakeProcess::Path("C:\\Browsers\\moz.exe"), TBrowserKind::Firefox);
    desk.FailAddressRead(broken, "Unspecified error");
    TWindowHandle vanishing = tw::AddChromeWindow(desk, "C:\\c.exe", "news.example.org/a");
    TWindowHandle chrome = tw::AddChromeWindow(desk, "C:\\c.exe", "news.example.org/b");
    desk.SetVisitHook([&](TWindowHandle w) {
        if (w == vanishing) {
            desk.RemoveWindow(vanishing);
        }
    });
    probe.Execute(true, &list);
    EXPECT_EQ(desk.CloseRequests(), (std::vector<TWindowHandle>{broken, chrome}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("TOnlineTimeApplication.Execute: Unspecified error"),
              std::string::npos);
}

TEST_F(ProbeTest, CloseAllWithoutAListIsReportedNotThrown) {
    tw::AddEditorWindow(desk, "C:\\e.exe");
    probe.Execute(true, nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(
        errors[0].rfind("ErrorClassName: EAssertionFailed; TOnlineTimeApplication.Execute: ", 0),
        0u);
    EXPECT_NE(errors[0].find("OnlineTimeApplicationObjects"), std::string::npos);
    EXPECT_FALSE(probe.CloseAll);
    EXPECT_EQ(probe.ExeName, "C:\\e.exe"); // what was filled before the failure stays
}

// --- IsListed ---

TEST_F(ProbeTest, IsListedDescribesTheMatchAndClearsTheCaptionFirst) {
    const auto list =
        List({{"C:\\Apps\\edit.exe", ItemType::mitApp}, {"example.com", ItemType::mitWeb}});
    const struct {
        const char* exe;
        const char* url;
        int index;
        ItemType kind;
        const char* caption;
    } cases[] = {
        {"C:\\Apps\\edit.exe", "https://www.example.com/", 1, ItemType::mitWeb,
         "Caption of example.com"},
        {"C:\\Apps\\edit.exe", "", 0, ItemType::mitApp, "Caption of C:\\Apps\\edit.exe"},
        {"Error: Access is denied.", "https://other.example.org/", -1, ItemType::mitApp, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exe + std::string(" ") + c.url);
        probe.ExeName = c.exe;
        probe.Url = c.url;
        int index = 99;
        ItemType kind = ItemType::mitAll;
        std::string caption = "left over";
        EXPECT_EQ(tw::IsListed(probe, &list, index, kind, caption), c.index != -1);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(caption, c.caption);
    }
    int index = 0;
    ItemType kind = ItemType::mitAll;
    std::string caption = "left over";
    EXPECT_THROW(tw::IsListed(probe, nullptr, index, kind, caption), tw::EAssertionFailed);
    EXPECT_EQ(caption, "");
}

// The probe's list of running programs is the add wizard's: a program without a window (a
// shell, a sleep) is not offered, however it runs.
TEST_F(ProbeTest, RunningProgramsOfferedAreThoseOwningAWindow) {
    desk.AddWindow(TFakeProcess::Path("/usr/bin/editor"));
    desk.AddWindow(TFakeProcess::Path("/usr/bin/editor"));
    desk.AddWindow(TFakeProcess::Unopenable("access denied"));
    const auto running = [](std::vector<std::string>& lines) {
        lines = {tw::ProgramLine("/usr/bin/editor", "editor"),
                 tw::ProgramLine("/bin/sleep", "sleep"), tw::ProgramLine("/bin/bash", "bash")};
    };
    const std::vector<std::string> owners = tw::WindowOwningPrograms(desk);
    std::vector<std::string> lines = {"left over"};
    tw::OfferedRunningPrograms(running, &owners, lines);
    EXPECT_EQ(lines, std::vector<std::string>{tw::ProgramLine("/usr/bin/editor", "editor")});
    tw::OfferedRunningPrograms(running, nullptr, lines);
    EXPECT_EQ(lines.size(), 3u);
}

} // namespace
