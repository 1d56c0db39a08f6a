#include "platform/linux/bus_connection.h"

#include <cstring>

namespace tw {

TBusConnection::TBusConnection(TBus bus) {
    const int opened = bus == TBus::System ? sd_bus_open_system(&bus_) : sd_bus_open_user(&bus_);
    if (opened < 0) {
        bus_ = nullptr;
        problem_ = std::string(bus == TBus::System ? "no system bus (" : "no session bus (") +
                   std::strerror(-opened) + ")";
        reason_ = std::strerror(-opened);
    }
}

TBusConnection::~TBusConnection() {
    if (bus_) {
        sd_bus_flush_close_unref(bus_);
    }
}

void TBusConnection::Close(const std::string& problem) {
    if (bus_) {
        sd_bus_flush_close_unref(bus_);
    }
    bus_ = nullptr;
    problem_ = problem;
}

int TBusConnection::Descriptor() const {
    return bus_ ? sd_bus_get_fd(bus_) : -1;
}

void TBusConnection::ProcessWaiting() {
    while (bus_) {
        const int processed = sd_bus_process(bus_, nullptr);
        if (processed < 0) {
            Close(std::string("the bus went away: ") + std::strerror(-processed));
        } else if (processed == 0) {
            break;
        }
    }
}

bool TBusConnection::Watch(const std::string& rule, sd_bus_message_handler_t handler, void* self) {
    if (!bus_) {
        return false;
    }
    // A floating slot: it lives as long as the connection.
    const int added = sd_bus_add_match(bus_, nullptr, rule.c_str(), handler, self);
    if (added < 0) {
        Close(std::string("the bus refused to pass on signals: ") + std::strerror(-added));
        return false;
    }
    return true;
}

std::string BusErrorText(const sd_bus_error& error, int result) {
    if (error.message && *error.message) {
        return error.message;
    }
    if (error.name && *error.name) {
        return error.name;
    }
    return std::strerror(-result);
}

} // namespace tw
