#include "platform/x11/logind.h"

#include "base/exception.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <systemd/sd-bus.h>
#include <systemd/sd-login.h>

namespace tw {

namespace {

constexpr const char* LogindName = "org.freedesktop.login1";
constexpr const char* ManagerPath = "/org/freedesktop/login1";
constexpr const char* ManagerInterface = "org.freedesktop.login1.Manager";
constexpr const char* SessionInterface = "org.freedesktop.login1.Session";

// The object path of the session this process runs in; empty outside any session.
std::string OwnSessionPath() {
    std::string id;
    if (const char* fromEnvironment = std::getenv("XDG_SESSION_ID"); fromEnvironment)
        id = fromEnvironment;
    if (id.empty()) {
        char* found = nullptr;
        if (sd_pid_get_session(0, &found) >= 0 && found)
            id = found;
        std::free(found);
    }
    if (id.empty())
        return {};
    char* path = nullptr;
    if (sd_bus_path_encode("/org/freedesktop/login1/session", id.c_str(), &path) < 0)
        return {};
    std::string result = path;
    std::free(path);
    return result;
}

} // namespace

void LogindShutdown(int mode) {
    sd_bus* bus = nullptr;
    const int opened = sd_bus_open_system(&bus);
    if (opened < 0)
        throw Exception(std::string("Unable to reach the system bus: ") + std::strerror(-opened));
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    // The time-out is not used: the shutdown this replaces was forced at once, with the
    // time-out only governing a second, redundant request. "false": never wait for a
    // password prompt that nobody may be there to answer.
    const int called =
        sd_bus_call_method(bus, LogindName, ManagerPath, ManagerInterface,
                           mode == 0 ? "Reboot" : "PowerOff", &error, &reply, "b", 0);
    std::string failure;
    if (called < 0)
        failure = error.message ? error.message : error.name ? error.name : std::strerror(-called);
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    if (called < 0)
        throw Exception(failure);
}

TLogindNotices::TLogindNotices() {
    if (sd_bus_open_system(&bus_) < 0) {
        bus_ = nullptr;
        return;
    }
    // Floating slots: they live as long as the connection.
    if (sd_bus_match_signal(bus_, nullptr, LogindName, ManagerPath, ManagerInterface,
                            "PrepareForSleep", &TLogindNotices::OnSleep, this) < 0) {
        Close();
        return;
    }
    const std::string session = OwnSessionPath();
    if (!session.empty()) {
        sd_bus_match_signal(bus_, nullptr, LogindName, session.c_str(), SessionInterface, "Lock",
                            &TLogindNotices::OnLock, this);
        sd_bus_match_signal(bus_, nullptr, LogindName, session.c_str(), SessionInterface, "Unlock",
                            &TLogindNotices::OnUnlock, this);
    }
}

TLogindNotices::~TLogindNotices() {
    Close();
}

void TLogindNotices::Close() {
    if (bus_)
        sd_bus_flush_close_unref(bus_);
    bus_ = nullptr;
}

int TLogindNotices::Descriptor() const {
    return bus_ ? sd_bus_get_fd(bus_) : -1;
}

bool TLogindNotices::Next(TDesktopNotice& notice) {
    while (waiting_.empty() && bus_) {
        const int processed = sd_bus_process(bus_, nullptr);
        if (processed < 0)
            Close(); // the bus went away: no more notices, as without a bus
        else if (processed == 0)
            break;
    }
    if (waiting_.empty())
        return false;
    notice = waiting_.front();
    waiting_.pop_front();
    return true;
}

int TLogindNotices::OnSleep(sd_bus_message* message, void* self, sd_bus_error*) {
    int start = 0;
    if (sd_bus_message_read(message, "b", &start) >= 0)
        static_cast<TLogindNotices*>(self)->waiting_.push_back(start ? TDesktopNotice::Suspend
                                                                     : TDesktopNotice::Resume);
    return 0;
}

int TLogindNotices::OnLock(sd_bus_message*, void* self, sd_bus_error*) {
    static_cast<TLogindNotices*>(self)->waiting_.push_back(TDesktopNotice::SessionLock);
    return 0;
}

int TLogindNotices::OnUnlock(sd_bus_message*, void* self, sd_bus_error*) {
    static_cast<TLogindNotices*>(self)->waiting_.push_back(TDesktopNotice::SessionUnlock);
    return 0;
}

} // namespace tw
