// The Fast scan against the system's own browsers on a real X server: the executable it
// lists for each must be the one the X11 backend reports for the browser's window while it
// runs, or a listed browser would never be counted.
#ifdef __linux__

#include "discovery/linux/desktop_entry.h"
#include "discovery/linux/desktop_programs.h"
#include "discovery/linux/session_folders.h"
#include "platform/x11/x11_desktop.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

// Xlib after the test framework: its macros (None, Status) clash with names there.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <unistd.h>

namespace {

using tw::TWindowHandle;

// Prefers for a fresh Firefox profile that keep it off the network: every connection goes
// to a closed port on this machine, and nothing is fetched or reported at start.
const char* const FirefoxOffline = R"(user_pref("network.proxy.type", 1);
user_pref("network.proxy.http", "127.0.0.1");
user_pref("network.proxy.http_port", 9);
user_pref("network.proxy.ssl", "127.0.0.1");
user_pref("network.proxy.ssl_port", 9);
user_pref("network.proxy.socks", "127.0.0.1");
user_pref("network.proxy.socks_port", 9);
user_pref("network.proxy.socks_remote_dns", true);
user_pref("network.proxy.no_proxies_on", "");
user_pref("network.trr.mode", 5);
user_pref("network.dns.disablePrefetch", true);
user_pref("network.prefetch-next", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("app.update.enabled", false);
user_pref("app.normandy.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.search.update", false);
user_pref("browser.safebrowsing.update.enabled", false);
user_pref("browser.safebrowsing.downloads.remote.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.healthreport.uploadEnabled", false);
user_pref("toolkit.telemetry.enabled", false);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.newtabpage.enabled", false);
user_pref("services.settings.server", "http://127.0.0.1:9/");
)";

struct TBrowser {
    const char* entry;   // its menu entry
    const char* command; // what a person types to start it
};

// The process a window belongs to by its _NET_WM_PID; 0 when it names none.
pid_t WindowProcess(Display* display, TWindowHandle window) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False,
                           XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
        data && items == 1 && format == 32) {
        pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data) {
        XFree(data);
    }
    return pid;
}

// The line of the Fast scan for a menu entry, found by the caption the entry gives.
std::string ListedPath(const std::vector<std::string>& lines, const std::string& caption) {
    for (const std::string& line : lines) {
        const auto equals = line.find('=');
        if (line.substr(equals + 1) == caption) {
            return line.substr(0, equals);
        }
    }
    return {};
}

// A browser started with a profile and home of its own in a temporary folder, ended with
// its helper processes.
std::unique_ptr<twtest::TClient> StartBrowser(const TBrowser& browser,
                                              const twtest::TempDir& home) {
    twtest::TChildOptions options;
    options.ownProcessGroup = true;
    options.stdoutFile = home.File("stdout.txt");
    options.stderrFile = home.File("stderr.txt");
    options.environment = {{"HOME", home.Path().string()},
                           {"XDG_CONFIG_HOME", home.File("config")},
                           {"XDG_CACHE_HOME", home.File("cache")},
                           {"MOZ_CRASHREPORTER_DISABLE", "1"}};
    std::vector<std::string> arguments;
    if (std::string(browser.entry) == "chromium.desktop") {
        arguments = {"--no-sandbox",
                     "--user-data-dir=" + home.File("profile"),
                     "--no-first-run",
                     "--disable-background-networking",
                     "--disable-component-update",
                     "--disable-sync",
                     "--password-store=basic",
                     "--proxy-server=127.0.0.1:9",
                     "about:blank"};
    } else {
        std::filesystem::create_directories(home.File("profile"));
        twtest::WriteAll(home.File("profile/user.js"), FirefoxOffline);
        arguments = {"--no-remote", "--profile", home.File("profile"), "about:blank"};
    }
    return std::make_unique<twtest::TClient>(arguments, false, browser.command, options);
}

TEST(X11BrowserDiscovery, FastScanListsTheExecutableTheBackendReportsForEachBrowserWindow) {
    const tw::TSessionFolders session = tw::SessionFoldersFromEnvironment();
    std::vector<std::string> lines;
    tw::DesktopEntryPrograms(session, lines);
    tw::TX11Desktop desktop;
    const std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr),
                                                                 XCloseDisplay);
    ASSERT_NE(connection, nullptr);
    Display* display = connection.get();

    // Chromium's command is a shell wrapper that execs the real binary; Firefox's a link.
    for (const TBrowser& browser : {TBrowser{"chromium.desktop", "/usr/bin/chromium"},
                                    TBrowser{"firefox-esr.desktop", "/usr/bin/firefox-esr"}}) {
        SCOPED_TRACE(browser.entry);
        const auto entry = tw::ParseDesktopEntry(
            twtest::ReadAll(std::string("/usr/share/applications/") + browser.entry),
            session.Locale);
        ASSERT_TRUE(entry) << "the browser is not installed (scripts/setup-debian.sh)";
        const std::string listed = ListedPath(lines, entry->Name);
        ASSERT_FALSE(listed.empty()) << "no line for " << entry->Name;

        twtest::TempDir home;
        const auto running = StartBrowser(browser, home);
        // Its first window, from any of its processes.
        TWindowHandle window = 0;
        const bool shown = twtest::WaitUntil(
            [&] {
                desktop.EnumTopLevelWindows([&](TWindowHandle each) {
                    const pid_t pid = WindowProcess(display, each);
                    if (pid > 0 && getpgid(pid) == running->Group()) {
                        window = each;
                    }
                    return window == 0;
                });
                return window != 0;
            },
            90000);
        ASSERT_TRUE(shown) << "no window; its errors:\n"
                           << twtest::ReadAll(home.File("stderr.txt"));
        EXPECT_EQ(desktop.ExecutablePath(window), listed);
    }
}

} // namespace

#endif
