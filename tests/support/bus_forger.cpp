#include "support/bus_forger.h"

#include <cstdint>
#include <stdexcept>
#include <unistd.h>

namespace twtest {

TBusForger::TBusForger(const std::string& address) {
    int started = 0;
    if (address.empty()) {
        started = sd_bus_open_user(&bus_);
    } else if ((started = sd_bus_new(&bus_)) >= 0) {
        sd_bus_set_address(bus_, address.c_str());
        sd_bus_set_bus_client(bus_, 1);
        started = sd_bus_start(bus_);
    }
    const char* unique = nullptr;
    if (started < 0 || sd_bus_get_unique_name(bus_, &unique) < 0) {
        sd_bus_flush_close_unref(bus_);
        throw std::runtime_error("the forger could not connect to the bus");
    }
    unique_ = unique;
}

TBusForger::~TBusForger() {
    sd_bus_flush_close_unref(bus_);
}

std::string TBusForger::OwnerOf(const char* name) const {
    sd_bus_message* reply = nullptr;
    const char* owner = nullptr;
    std::string result;
    if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetNameOwner", nullptr, &reply, "s",
                           name) >= 0 &&
        sd_bus_message_read(reply, "s", &owner) >= 0 && owner) {
        result = owner;
    }
    sd_bus_message_unref(reply);
    return result;
}

std::vector<std::string> TBusForger::OurConnections() const {
    sd_bus_message* reply = nullptr;
    std::vector<std::string> names;
    if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "ListNames", nullptr, &reply, "") < 0 ||
        sd_bus_message_enter_container(reply, 'a', "s") < 0) {
        sd_bus_message_unref(reply);
        throw std::runtime_error("the bus did not list its connections");
    }
    const char* name = nullptr;
    while (sd_bus_message_read(reply, "s", &name) > 0) {
        if (name[0] == ':' && unique_ != name) {
            names.push_back(name);
        }
    }
    sd_bus_message_unref(reply);
    std::vector<std::string> ours;
    for (const std::string& connection : names) {
        sd_bus_message* pidReply = nullptr;
        std::uint32_t pid = 0;
        if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "GetConnectionUnixProcessID", nullptr,
                               &pidReply, "s", connection.c_str()) >= 0 &&
            sd_bus_message_read(pidReply, "u", &pid) >= 0 &&
            pid == static_cast<std::uint32_t>(getpid())) {
            ours.push_back(connection);
        }
        sd_bus_message_unref(pidReply);
    }
    return ours;
}

void TBusForger::Send(sd_bus_message* message, const std::string& destination, int appended) {
    const bool sent = appended >= 0 &&
                      sd_bus_message_set_destination(message, destination.c_str()) >= 0 &&
                      sd_bus_send(bus_, message, nullptr) >= 0 && sd_bus_flush(bus_) >= 0;
    sd_bus_message_unref(message);
    if (!sent) {
        throw std::runtime_error("the forger could not send to " + destination);
    }
}

} // namespace twtest
