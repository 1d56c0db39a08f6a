#include "support/sway_session.h"

#include "support/file_text.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace twtest {

namespace {

namespace fs = std::filesystem;

// sway answers in a fraction of a second; a machine busy with builds may take seconds.
constexpr int StartTimeoutMs = 30000;

std::string Find(const fs::path& folder, const std::string& prefix) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && !name.ends_with(".lock")) {
            return entry.path().string();
        }
    }
    return {};
}

} // namespace

TSwaySession::TSwaySession() {
    const passwd* user = ::getpwnam(User);
    if (user == nullptr) {
        throw std::runtime_error(std::string("no user \"") + User +
                                 "\" to run sway as: run scripts/setup-debian.sh test as root");
    }
    uid_ = user->pw_uid;
    gid_ = user->pw_gid;
    fs::permissions(runtime_.Path(), fs::perms::owner_all);
    WriteAll(runtime_.File("config"), "xwayland enable\noutput HEADLESS-1 resolution 1280x800\n");
    for (const fs::path& path : {runtime_.Path(), fs::path(runtime_.File("config"))}) {
        if (::chown(path.c_str(), uid_, gid_) != 0) {
            throw std::runtime_error("cannot hand " + path.string() + " to " + User);
        }
    }

    const auto started = std::chrono::steady_clock::now();
    TChildOptions options;
    options.stderrFile = runtime_.File("sway.log");
    options.ownProcessGroup = true;
    std::vector<std::string> arguments =
        AsUser({"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman"});
    for (const std::string& argument :
         {std::string("sway"), std::string("-c"), runtime_.File("config")}) {
        arguments.push_back(argument);
    }
    sway_ = std::make_unique<TClient>(arguments, false, "/usr/bin/setpriv", options);
    const bool answered = WaitUntil(
        [&] {
            ipcSocket_ = Find(runtime_.Path(), "sway-ipc.");
            waylandDisplay_ = Find(runtime_.Path(), "wayland-");
            return (!ipcSocket_.empty() && !waylandDisplay_.empty()) || !sway_->Running();
        },
        StartTimeoutMs);
    if (!answered || !sway_->Running()) {
        throw std::runtime_error("sway did not start:\n" + Log());
    }
    startMs_ = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - started)
                                     .count());

    const std::pair<const char*, std::string> session[] = {{"SWAYSOCK", ipcSocket_},
                                                           {"WAYLAND_DISPLAY", waylandDisplay_},
                                                           {"XDG_SESSION_TYPE", "wayland"},
                                                           {"XDG_CURRENT_DESKTOP", "sway"}};
    for (const auto& [name, value] : session) {
        const char* before = std::getenv(name);
        saved_.emplace_back(name, before ? before : "");
        ::setenv(name, value.c_str(), 1);
    }
}

TSwaySession::~TSwaySession() {
    for (const auto& [name, value] : saved_) {
        if (value.empty()) {
            ::unsetenv(name.c_str());
        } else {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    sway_.reset();
}

std::vector<std::string> TSwaySession::AsUser(const std::vector<std::string>& environment) const {
    // A clean environment: nothing of the test's own session (its X display, its buses)
    // reaches the compositor or its clients unless named here.
    std::vector<std::string> arguments{"--reuid=" + std::to_string(uid_),
                                       "--regid=" + std::to_string(gid_),
                                       "--clear-groups",
                                       "--",
                                       "/usr/bin/env",
                                       "-i",
                                       "PATH=/usr/bin:/bin",
                                       "HOME=" + runtime_.Path().string(),
                                       "XDG_RUNTIME_DIR=" + runtime_.Path().string()};
    arguments.insert(arguments.end(), environment.begin(), environment.end());
    return arguments;
}

std::unique_ptr<TClient> TSwaySession::Start(const std::string& program,
                                             const std::vector<std::string>& arguments,
                                             const std::vector<std::string>& environment) {
    std::vector<std::string> all = AsUser(environment);
    all.push_back("WAYLAND_DISPLAY=" + waylandDisplay_);
    all.push_back(program);
    all.insert(all.end(), arguments.begin(), arguments.end());
    TChildOptions options;
    options.stdoutFile = runtime_.File(fs::path(program).filename().string() + ".out");
    options.stderrFile = runtime_.File(fs::path(program).filename().string() + ".log");
    return std::make_unique<TClient>(all, false, "/usr/bin/setpriv", options);
}

std::vector<std::pair<std::string, std::string>> TSwaySession::BrowserDisplay() const {
    return {{"WAYLAND_DISPLAY", waylandDisplay_},
            {"MOZ_ENABLE_WAYLAND", "1"},
            {"GDK_BACKEND", "wayland"},
            {"DISPLAY", ""}};
}

std::string TSwaySession::Log() const {
    return ReadAll(runtime_.File("sway.log"));
}

} // namespace twtest
