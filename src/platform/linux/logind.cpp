#include "platform/linux/logind.h"

#include "base/exception.h"
#include "platform/linux/bus_connection.h"
#include "platform/linux/session_notices.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
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
    if (const char* fromEnvironment = std::getenv("XDG_SESSION_ID"); fromEnvironment) {
        id = fromEnvironment;
    }
    if (id.empty()) {
        char* found = nullptr;
        if (sd_pid_get_session(0, &found) >= 0 && found) {
            id = found;
        }
        std::free(found);
    }
    if (id.empty()) {
        return {};
    }
    char* path = nullptr;
    if (sd_bus_path_encode("/org/freedesktop/login1/session", id.c_str(), &path) < 0) {
        return {};
    }
    std::string result = path;
    std::free(path);
    return result;
}

// The wall clock in microseconds, as the manager takes the moment of a scheduled shutdown.
std::uint64_t RealtimeMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

int OnSleep(sd_bus_message* message, void* queue, sd_bus_error*) {
    int start = 0;
    if (sd_bus_message_read(message, "b", &start) >= 0) {
        static_cast<TSessionNoticeQueue*>(queue)->Push(start ? TDesktopNotice::Suspend
                                                             : TDesktopNotice::Resume);
    }
    return 0;
}

// PropertiesChanged of the session: the desktop's locker sets LockedHint while the screen
// is locked. (The session's Lock and Unlock signals only ask a locker to act.)
int OnSessionProperties(sd_bus_message* message, void* queue, sd_bus_error*) {
    const char* interface = nullptr;
    if (sd_bus_message_read(message, "s", &interface) < 0 ||
        sd_bus_message_enter_container(message, 'a', "{sv}") < 0) {
        return 0;
    }
    while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
        const char* name = nullptr;
        if (sd_bus_message_read(message, "s", &name) < 0) {
            return 0;
        }
        int locked = 0;
        if (std::string(name) == "LockedHint" &&
            sd_bus_message_read(message, "v", "b", &locked) >= 0) {
            static_cast<TSessionNoticeQueue*>(queue)->SetLocked(TSessionNoticeQueue::lsLogind,
                                                                locked != 0);
        } else if (sd_bus_message_skip(message, "v") < 0) {
            return 0;
        }
        sd_bus_message_exit_container(message);
    }
    return 0;
}

} // namespace

void LogindShutdown(TShutdownKind kind, int timeoutSeconds) {
    TBusConnection bus(TBusConnection::TBus::System);
    if (!bus.IsOpen()) {
        throw Exception("Unable to reach the system bus: " + bus.OpenFailure());
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const std::uint64_t when =
        RealtimeMicroseconds() + static_cast<std::uint64_t>(timeoutSeconds) * 1000000u;
    // Never waits for a password prompt that nobody may be there to answer: sd-bus does not
    // allow interactive authorisation unless asked to.
    const int called = sd_bus_call_method(
        bus.Get(), LogindName, ManagerPath, ManagerInterface, "ScheduleShutdown", &error, &reply,
        "st", kind == TShutdownKind::Restart ? "reboot" : "poweroff", when);
    const std::string failure = called < 0 ? BusErrorText(error, called) : std::string();
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    if (called < 0) {
        throw Exception(failure);
    }
}

std::string WatchLogind(TBusConnection& systemBus, TSessionNoticeQueue& queue) {
    if (!systemBus.WatchFrom(LogindName,
                             std::string("path='") + ManagerPath + "',interface='" +
                                 ManagerInterface + "',member='PrepareForSleep'",
                             OnSleep, &queue)) {
        return "logind: " + systemBus.Problem();
    }
    const std::string session = OwnSessionPath();
    if (session.empty()) {
        return "logind: this program runs outside any session";
    }
    if (!systemBus.WatchFrom(LogindName,
                             "path='" + session +
                                 "',interface='org.freedesktop.DBus.Properties',"
                                 "member='PropertiesChanged',arg0='" +
                                 SessionInterface + "'",
                             OnSessionProperties, &queue)) {
        return "logind: " + systemBus.Problem();
    }
    return {};
}

} // namespace tw
