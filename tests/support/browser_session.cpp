#include "support/browser_session.h"

#include "support/file_text.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace twtest {

namespace {

std::string Page(const std::string& path) {
    if (path == "/q.html" || path == "/r.html") {
        const char letter = static_cast<char>(std::toupper(path[1]));
        return std::string("<!DOCTYPE html><html><head><title>Page ") + letter +
               "</title></head><body><h1>Page " + letter +
               "</h1><input type=\"search\" aria-label=\"field\"></body></html>";
    }
    return {};
}

void Answer(int connection) {
    std::string request;
    char buffer[4096];
    pollfd waiting{connection, POLLIN, 0};
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536 &&
           poll(&waiting, 1, 2000) > 0) {
        const ssize_t got = read(connection, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        request.append(buffer, static_cast<std::size_t>(got));
    }
    std::string path;
    if (request.starts_with("GET ")) {
        path = request.substr(4, request.find(' ', 4) - 4);
    }
    const std::string body = Page(path);
    const std::string status = body.empty() ? "404 Not Found" : "200 OK";
    const std::string answer = "HTTP/1.1 " + status +
                               "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    for (std::size_t sent = 0; sent < answer.size();) {
        const ssize_t wrote = write(connection, answer.data() + sent, answer.size() - sent);
        if (wrote <= 0) {
            break;
        }
        sent += static_cast<std::size_t>(wrote);
    }
}

// Reads (set < 0) or sets a switch of the launcher on the session bus (IsEnabled,
// ScreenReaderEnabled); false when the launcher is not there (yet). It is never started by the
// asking: the test starts it.
bool CallLauncher(const std::string& address, int set, int* value,
                  const char* property = "IsEnabled") {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) {
        return false;
    }
    sd_bus_set_address(bus, address.c_str());
    sd_bus_set_bus_client(bus, 1);
    bool answered = false;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int r = sd_bus_start(bus);
    if (r >= 0) {
        r = sd_bus_message_new_method_call(bus, &call, "org.a11y.Bus", "/org/a11y/bus",
                                           "org.freedesktop.DBus.Properties",
                                           set < 0 ? "Get" : "Set");
    }
    if (r >= 0) {
        r = sd_bus_message_set_auto_start(call, 0);
    }
    if (r >= 0) {
        r = set < 0 ? sd_bus_message_append(call, "ss", "org.a11y.Status", property)
                    : sd_bus_message_append(call, "ssv", "org.a11y.Status", property, "b", set);
    }
    if (r >= 0) {
        r = sd_bus_call(bus, call, 5000000, &error, &reply);
    }
    if (r >= 0 && set < 0) {
        r = sd_bus_message_read(reply, "v", "b", value);
    }
    answered = r >= 0;
    sd_bus_error_free(&error);
    sd_bus_message_unref(call);
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return answered;
}

// Preferences of a fresh Firefox profile that keep it to the pages it is given: no welcome or
// privacy pages from the web, no updates, no telemetry, everything not local through a proxy
// on a closed local port.
constexpr const char* FirefoxPreferences = R"(
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("startup.homepage_welcome_url", "");
user_pref("startup.homepage_welcome_url.additional", "");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.firstRunURL", "");
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.safebrowsing.update.enabled", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("network.dns.disablePrefetch", true);
user_pref("network.prefetch-next", false);
user_pref("network.predictor.enabled", false);
user_pref("network.trr.mode", 5);
user_pref("network.proxy.type", 1);
user_pref("network.proxy.http", "127.0.0.1");
user_pref("network.proxy.http_port", 9);
user_pref("network.proxy.ssl", "127.0.0.1");
user_pref("network.proxy.ssl_port", 9);
)";

} // namespace

TLocalWebServer::TLocalWebServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 16) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("the local web server could not listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

TLocalWebServer::~TLocalWebServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::string TLocalWebServer::Host() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string TLocalWebServer::Url(const std::string& page) const {
    return "http://" + Host() + "/" + page;
}

void TLocalWebServer::Serve() {
    while (!stop_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0) {
            continue;
        }
        const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            connections_.emplace_back([connection] {
                Answer(connection);
                close(connection);
            });
        }
    }
    for (std::thread& connection : connections_) {
        connection.join();
    }
}

TDesktopSession::TDesktopSession() {
    std::filesystem::create_directories(home_.Path() / "run");
    chmod(home_.File("run").c_str(), 0700);
    bus_ = std::make_unique<TPrivateBus>();
    address_ = bus_->Address();
    if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        hadAddress_ = true;
        savedAddress_ = old;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);

    TChildOptions launcher = Environment();
    launcher.stderrFile = home_.File("launcher.log");
    launcher_ = std::make_unique<TClient>(std::vector<std::string>{"--launch-immediately"}, false,
                                          "/usr/libexec/at-spi-bus-launcher", launcher);
    int enabled = 0;
    if (!WaitUntil([&] { return CallLauncher(address_, -1, &enabled); }, 10000)) {
        throw std::runtime_error("the accessibility bus launcher did not start: " +
                                 ReadAll(launcher.stderrFile));
    }
    SetAccessibility(false);
}

TDesktopSession::~TDesktopSession() {
    launcher_.reset(); // with the accessibility bus it started
    bus_.reset();
    if (hadAddress_) {
        setenv("DBUS_SESSION_BUS_ADDRESS", savedAddress_.c_str(), 1);
    } else {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
}

void TDesktopSession::SetAccessibility(bool enabled) {
    if (!CallLauncher(address_, enabled ? 1 : 0, nullptr)) {
        throw std::runtime_error("the accessibility switch could not be set");
    }
}

void TDesktopSession::SetScreenReader(bool running) {
    if (!CallLauncher(address_, running ? 1 : 0, nullptr, "ScreenReaderEnabled")) {
        throw std::runtime_error("the screen reader switch could not be set");
    }
}

bool TDesktopSession::Accessibility() {
    int enabled = 0;
    return CallLauncher(address_, -1, &enabled) && enabled != 0;
}

TChildOptions TDesktopSession::Environment() const {
    TChildOptions options;
    const std::string home = home_.Path().string();
    options.environment = {{"DBUS_SESSION_BUS_ADDRESS", address_},
                           {"HOME", home},
                           {"XDG_RUNTIME_DIR", home + "/run"},
                           {"XDG_CONFIG_HOME", home + "/config"},
                           {"XDG_CACHE_HOME", home + "/cache"},
                           {"XDG_DATA_HOME", home + "/data"},
                           // Desktop settings stay in memory, never in the user's database.
                           {"GSETTINGS_BACKEND", "memory"}};
    options.ownProcessGroup = true;
    return options;
}

TBrowser::TBrowser(TKind kind, const TDesktopSession& session, const std::string& firstPage)
    : kind_(kind), session_(session),
      program_(kind == Chromium ? "/usr/bin/chromium" : "/usr/bin/firefox-esr") {
    if (access(program_.c_str(), X_OK) != 0) {
        throw std::runtime_error(program_ +
                                 " is not installed (scripts/setup-debian.sh installs it)");
    }
    if (kind == Firefox) {
        WriteAll(profile_.File("user.js"), FirefoxPreferences);
    }
    TChildOptions options = session_.Environment();
    options.stderrFile = profile_.File("browser.log");
    process_ = std::make_unique<TClient>(Arguments(firstPage, false), false, program_, options);
}

std::vector<std::string> TBrowser::Arguments(const std::string& url, bool privateWindow) const {
    std::vector<std::string> arguments;
    if (kind_ == Chromium) {
        arguments = {"--no-first-run",
                     "--no-default-browser-check",
                     "--disable-background-networking",
                     "--disable-component-update",
                     "--disable-sync",
                     "--disable-gpu",
                     "--password-store=basic",
                     "--proxy-server=127.0.0.1:9",
                     "--user-data-dir=" + profile_.Path().string()};
        if (geteuid() == 0) {
            arguments.push_back("--no-sandbox"); // the sandbox refuses to run as root
        }
        if (privateWindow) {
            arguments.push_back("--incognito");
        }
    } else {
        arguments = {"--profile", profile_.Path().string()};
        if (privateWindow) {
            arguments.push_back("--private-window");
        }
    }
    arguments.push_back(url);
    return arguments;
}

void TBrowser::Open(const std::string& url, bool privateWindow) {
    TChildOptions options = session_.Environment();
    options.stderrFile = profile_.File("open.log");
    TClient second(Arguments(url, privateWindow), false, program_, options);
    // It hands the page to the running browser and ends.
    if (!second.ExitsCleanlyWithin(20000)) {
        throw std::runtime_error("the browser did not take the page " + url + ": " +
                                 ReadAll(options.stderrFile));
    }
}

} // namespace twtest
