// Real browsers, as the distribution packages them, on the test's X server under a window
// manager, in a desktop session of the test's own: its session bus, its accessibility bus,
// pages served on 127.0.0.1. Run by scripts/with-x-server.sh --window-manager openbox.
// Starting a browser takes seconds, so the cases share one Chromium and one Firefox and run
// in the order written; the last one closes both.
#ifdef __linux__

#include "monitor/probe.h"
#include "monitor/scan_engine.h"
#include "platform/linux/atspi_client.h"
#include "platform/linux/browser_address.h"
#include "platform/x11/x11_desktop.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "support/browser_session.h"
#include "support/file_text.h"
#include "support/program_settings.h"
#include "support/test_data_folder.h"
#include "support/test_scan_host.h"
#include "support/x11_screen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>

namespace {

namespace fs = std::filesystem;
using tw::TAddressProblem;
using tw::TBrowserKind;
using twtest::TBrowser;
using twtest::TClient;
using twtest::TXWindow;
using twtest::WaitUntil;

// A browser's first window can take a while on a machine shared with other builds.
constexpr int BrowserStartMs = 60000;
constexpr int PageLoadMs = 20000;

class X11BrowserAddress : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        session_ = new twtest::TDesktopSession;
        server_ = new twtest::TLocalWebServer;
    }
    static void TearDownTestSuite() {
        browsers_.clear();
        delete server_;
        delete session_;
    }

    void SetUp() override {
        ASSERT_STREQ(std::getenv("TALLYWICK_X11_WM"), "openbox")
            << "run these through scripts/with-x-server.sh --window-manager openbox";
        ASSERT_TRUE(screen_.Open());
    }

    // The browser the cases share, started on page q with accessibility on.
    static TBrowser& Shared(TBrowser::TKind kind) {
        auto& browser = browsers_[kind];
        if (!browser) {
            session_->SetAccessibility(true);
            browser = std::make_unique<TBrowser>(kind, *session_, server_->Url("q.html"));
        }
        return *browser;
    }

    // The browser's windows, waiting until it has at least this many.
    std::vector<TXWindow> WindowsOf(TBrowser& browser, std::size_t count = 1) {
        std::vector<TXWindow> windows;
        WaitUntil(
            [&] {
                windows = screen_.ClientsOf(browser.Pid());
                return windows.size() >= count;
            },
            BrowserStartMs);
        return windows;
    }

    // Puts the window in front and runs the probe on it until the condition holds for what it
    // finds there (or gives up after a page load's time); the probe keeps its last answer.
    bool ProbeUntil(TXWindow window, const std::function<bool()>& condition,
                    int milliseconds = PageLoadMs) {
        screen_.Activate(window);
        return WaitUntil(
            [&] {
                probe_.Execute(false, nullptr);
                return probe_.Window == window && condition();
            },
            milliseconds);
    }
    bool ProbeReads(TXWindow window, const std::string& address, int milliseconds = PageLoadMs) {
        return ProbeUntil(
            window, [&] { return probe_.Url == address; }, milliseconds);
    }

    // What the page's address looks like in each browser's place for it.
    std::string Shown(TBrowser::TKind kind, const std::string& page) const {
        return kind == TBrowser::Chromium ? server_->Host() + "/" + page : server_->Url(page);
    }

    static twtest::TDesktopSession* session_;
    static twtest::TLocalWebServer* server_;
    static std::map<TBrowser::TKind, std::unique_ptr<TBrowser>> browsers_;
    twtest::TScreen screen_;
    std::unique_ptr<tw::TX11Desktop> desktop_ = std::make_unique<tw::TX11Desktop>();
    tw::TErrorLog log_;
    tw::TOnlineTimeApplication probe_{*desktop_, log_};
};

twtest::TDesktopSession* X11BrowserAddress::session_ = nullptr;
twtest::TLocalWebServer* X11BrowserAddress::server_ = nullptr;
std::map<TBrowser::TKind, std::unique_ptr<TBrowser>> X11BrowserAddress::browsers_;

// Accessibility off: the browser is recognised but unreadable, and the diagnostic command
// says why. The program, with a website listed, switches it on at its start and says in a
// notice that the browser started before can't be counted; the probe then gives that reason.
// When the program ends, the switch is off again.
TEST_F(X11BrowserAddress, AccessibilityOffIsReportedAndTheProgramSwitchesItOnAndSaysSo) {
    session_->SetAccessibility(false);
    TBrowser early(TBrowser::Chromium, *session_, server_->Url("q.html"));
    const auto windows = WindowsOf(early);
    ASSERT_FALSE(windows.empty());
    // The first look may find the accessibility bus still starting its registry: not in time.
    EXPECT_TRUE(ProbeUntil(windows.front(), [&] {
        return probe_.AddressProblem == TAddressProblem::AccessibilityOff;
    }));
    EXPECT_EQ(probe_.BrowserKind, TBrowserKind::Chrome);
    EXPECT_EQ(probe_.Url, "");

    twtest::TempDir output;
    twtest::TChildOptions command = session_->Environment();
    command.stdoutFile = output.File("probe.json");
    command.stderrFile = output.File("probe.txt"); // that nothing is listed yet
    TClient diagnostic({}, false, std::string(TALLYWICK_BIN_DIR) + "/tallywick-probe", command);
    ASSERT_TRUE(diagnostic.ExitsCleanlyWithin(10000));
    const std::string report = twtest::ReadAll(command.stdoutFile);
    EXPECT_NE(report.find(std::string("\"addressProblem\":\"") +
                          tw::AddressProblemText(TAddressProblem::AccessibilityOff)),
              std::string::npos)
        << report;

    const fs::path data = session_->Home().Path() / "data" / "Tallywick.V3";
    ASSERT_TRUE(twtest::ConfigureDataFolder(data, TALLYWICK_BIN_DIR, [&](tw::TOptions& options) {
        options.Edit().ScanPeriodSeconds = 1;
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = "127.0.0.1";
        item->Caption = "Local pages";
        item->ItemType = tw::TMonitoredItemType::mitWeb;
        options.Edit().MonitoredList.Add("Local pages", std::move(item));
    }));
    twtest::TChildOptions programOptions = session_->Environment();
    programOptions.stderrFile = output.File("errors.txt");
    TClient program({}, false, std::string(TALLYWICK_BIN_DIR) + "/tallywick", programOptions);
    EXPECT_TRUE(WaitUntil([&] { return session_->Accessibility(); }, 10000));
    screen_.Activate(windows.front());
    std::vector<TXWindow> notices;
    ASSERT_TRUE(WaitUntil(
        [&] {
            notices = screen_.WindowsOf(program.Pid(), "Please Note");
            return !notices.empty();
        },
        15000))
        << twtest::ReadAll(programOptions.stderrFile);
    screen_.Close(notices.front());
    EXPECT_TRUE(
        ProbeUntil(windows.front(), [&] { return probe_.BrowserKind == TBrowserKind::Chrome; }));
    EXPECT_EQ(probe_.AddressProblem, TAddressProblem::StartedBeforeAccessibility) << probe_.Url;
    kill(program.Pid(), SIGTERM);
    EXPECT_TRUE(program.ExitsCleanlyWithin(5000)) << twtest::ReadAll(programOptions.stderrFile);
    // Put back as the program found it: the session keeps the switch beyond every program.
    EXPECT_FALSE(session_->Accessibility());
}

// Each browser's page in front, the page of a second tab once switched to, and a private
// window's page.
TEST_F(X11BrowserAddress, TheProbeReadsThePageInFrontOfEachBrowser) {
    for (const TBrowser::TKind kind : {TBrowser::Chromium, TBrowser::Firefox}) {
        SCOPED_TRACE(kind == TBrowser::Chromium ? "Chromium" : "Firefox");
        TBrowser& browser = Shared(kind);
        const auto windows = WindowsOf(browser);
        ASSERT_EQ(windows.size(), 1u);
        const TXWindow window = windows.front();
        EXPECT_TRUE(ProbeReads(window, Shown(kind, "q.html"), BrowserStartMs)) << probe_.Url;
        EXPECT_EQ(probe_.BrowserKind,
                  kind == TBrowser::Chromium ? TBrowserKind::Chrome : TBrowserKind::Firefox);
        EXPECT_EQ(probe_.AddressProblem, TAddressProblem::NoProblem);

        browser.Open(server_->Url("r.html"));
        EXPECT_TRUE(ProbeReads(window, Shown(kind, "r.html"))) << probe_.Url;
        screen_.PressKey("Page_Up", true); // back to the first tab
        EXPECT_TRUE(ProbeReads(window, Shown(kind, "q.html"), 5000)) << probe_.Url;
        screen_.PressKey("Page_Down", true);
        EXPECT_TRUE(ProbeReads(window, Shown(kind, "r.html"), 5000)) << probe_.Url;

        browser.Open(server_->Url("q.html"), true);
        const auto withPrivate = WindowsOf(browser, 2);
        ASSERT_EQ(withPrivate.size(), 2u);
        const TXWindow privateWindow = withPrivate[0] == window ? withPrivate[1] : withPrivate[0];
        EXPECT_TRUE(ProbeReads(privateWindow, Shown(kind, "q.html"))) << probe_.Url;
        screen_.Close(privateWindow);
        EXPECT_TRUE(WaitUntil([&] { return WindowsOf(browser).size() == 1; }));
    }
}

// While the person types into Firefox's address bar, the page's own address counts.
TEST_F(X11BrowserAddress, TextTypedIntoFirefoxsAddressBarIsNotTheAddress) {
    TBrowser& firefox = Shared(TBrowser::Firefox);
    const TXWindow window = WindowsOf(firefox).front();
    ASSERT_TRUE(ProbeUntil(
        window, [&] { return probe_.Url.starts_with(server_->Url("")); }, BrowserStartMs));
    const std::string page = probe_.Url;

    // The address bar (a combo box) must hold the typed text before the probe looks again.
    tw::TAtspiClient client;
    auto deadline = [] { return std::chrono::steady_clock::now() + std::chrono::seconds(2); };
    std::vector<tw::TAtspiRef> applications;
    ASSERT_EQ(client.Applications(applications, deadline()), tw::TAtspiStatus::Ok);
    tw::TAtspiRef frame;
    for (const auto& application : applications) {
        long pid = -1;
        std::vector<tw::TAtspiRef> frames;
        if (client.ProcessOf(application.bus, pid, deadline()) == tw::TAtspiStatus::Ok &&
            pid == firefox.Pid() &&
            client.Children(application, frames, deadline()) == tw::TAtspiStatus::Ok &&
            !frames.empty()) {
            frame = frames.front();
        }
    }
    ASSERT_FALSE(frame.Empty());
    auto addressBarHolds = [&](const std::string& wanted) {
        constexpr std::uint32_t RoleComboBox = 11;
        std::vector<tw::TAtspiRef> boxes;
        std::string text;
        return client.DescendantsWithRole(frame, RoleComboBox, 1, boxes, deadline()) ==
                   tw::TAtspiStatus::Ok &&
               !boxes.empty() &&
               client.Text(boxes.front(), text, deadline()) == tw::TAtspiStatus::Ok &&
               text == wanted;
    };
    // Keys pressed while the window manager is still handing over the keyboard go nowhere:
    // a person would select the bar and type again.
    bool typed = false;
    for (int attempt = 0; attempt < 3 && !typed; ++attempt) {
        screen_.PressKey("l", true); // selects the whole bar, so typing replaces it
        screen_.Type("typed");
        typed = WaitUntil([&] { return addressBarHolds("typed"); }, 3000);
    }
    ASSERT_TRUE(typed);
    // Read from the bar, the typed text would give no address at all (it is no full address).
    EXPECT_TRUE(ProbeUntil(
        window, [&] { return !probe_.Url.empty(); }, 5000));
    EXPECT_EQ(probe_.Url, page);
    screen_.PressKey("Escape");
    screen_.PressKey("Escape");
}

// A browser that stops answering holds no cycle longer than the time a cycle may wait, and
// costs no address: its window keeps its title, so the page read before still counts.
TEST_F(X11BrowserAddress, AHungBrowserKeepsItsPageWithinACyclesWait) {
    TBrowser& chromium = Shared(TBrowser::Chromium);
    const TXWindow window = WindowsOf(chromium).front();
    ASSERT_TRUE(ProbeReads(window, Shown(TBrowser::Chromium, "r.html"), BrowserStartMs));
    kill(chromium.Pid(), SIGSTOP);
    const auto start = std::chrono::steady_clock::now();
    probe_.Execute(false, nullptr);
    const auto waited = std::chrono::steady_clock::now() - start;
    kill(chromium.Pid(), SIGCONT);
    EXPECT_EQ(probe_.Url, Shown(TBrowser::Chromium, "r.html"));
    EXPECT_EQ(probe_.AddressProblem, TAddressProblem::NoProblem);
    // Far below the default time-out of a bus call (25 s): the budget of one read.
    EXPECT_LT(waited, std::chrono::seconds(1));
    // The next scan comes later than the pause in which a browser that hung is left alone,
    // and reads it again (a machine busy with the browser's catching up may take another).
    std::this_thread::sleep_for(tw::TBrowserAddresses::SilencePause);
    EXPECT_TRUE(ProbeReads(window, Shown(TBrowser::Chromium, "r.html"), 2000)) << probe_.Url;
}

// The scan engine on the real desktop counts a listed site in each browser; at the limit
// under "Close Browser/App." it asks every window showing it to close, tabs and all.
TEST_F(X11BrowserAddress, TheEngineCountsAListedSiteAndClosesItsWindowsAtTheLimit) {
    twtest::TestDataFolder folder(tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour);
    tw::TOptions options(folder.Data());
    options.Edit().TimeLimitSeconds = 3600;
    options.Edit().ExpirationAction = tw::TExpirationAction::CloseListed; // "Close Browser/App."
    auto item = std::make_unique<tw::TMonitoredItem>();
    item->Name = server_->Host();
    item->Caption = "Local pages";
    item->ItemType = tw::TMonitoredItemType::mitWeb;
    options.Edit().MonitoredList.Add("Local pages", std::move(item));
    options.MonitoredItemsSave();

    // The reminder's close-everything, as the person meets it at the limit.
    twtest::TTestScanHost host;
    host.answer = [](bool, bool) {
        return tw::TReminderChoice{false, tw::TExpirationAction::CloseListed};
    };
    tw::TScanEngine engine(*desktop_, options, host, host, true);

    // A cycle whose read the browser answered too late counts nothing: on a busy machine
    // a later cycle does, as for the person.
    auto scanUntil = [&](const std::function<bool()>& done) {
        return WaitUntil([&] {
            folder.Clock().Advance(3);
            engine.ScanTimer();
            return done();
        });
    };
    auto rowsOf = [&](const char* appType) {
        return std::stoi(
            folder.Scalar("actmondb.sqlite", std::string("SELECT COUNT(*) FROM applications WHERE "
                                                         "app_type = '") +
                                                 appType + "' AND browser_url = '" +
                                                 server_->Host() + "' AND origin = 2"));
    };
    std::map<TBrowser::TKind, TXWindow> windows;
    for (const TBrowser::TKind kind : {TBrowser::Chromium, TBrowser::Firefox}) {
        const char* appType = kind == TBrowser::Chromium ? "Google Chrome" : "Mozila FireFox";
        windows[kind] = WindowsOf(Shared(kind)).front();
        ASSERT_TRUE(ProbeReads(windows[kind], Shown(kind, "r.html"), BrowserStartMs));
        EXPECT_TRUE(scanUntil([&] { return rowsOf(appType) > 0; })) << appType;
    }
    const int rows =
        std::stoi(folder.Scalar("actmondb.sqlite", "SELECT COUNT(*) FROM applications"));
    EXPECT_EQ(engine.Logger().Total, 3 * rows);

    options.Edit().TimeLimitSeconds = engine.Logger().Total;
    ASSERT_TRUE(scanUntil([&] { return host.shown.size() == 1; }));
    for (const TBrowser::TKind kind : {TBrowser::Chromium, TBrowser::Firefox}) {
        SCOPED_TRACE(kind == TBrowser::Chromium ? "Chromium" : "Firefox");
        TBrowser& browser = Shared(kind);
        // Asked by the reminder's pass over all windows, else by every later cycle with it in
        // front; its last window closed, the browser ends.
        EXPECT_TRUE(WaitUntil(
            [&] {
                if (browser.Running()) {
                    screen_.Activate(windows[kind]);
                    folder.Clock().Advance(3);
                    engine.ScanTimer();
                }
                return !browser.Running();
            },
            30000));
    }
}

} // namespace

#endif // __linux__
