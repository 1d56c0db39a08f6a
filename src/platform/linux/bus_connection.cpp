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

bool TBusConnection::WatchFrom(const std::string& name, const std::string& rule,
                               sd_bus_message_handler_t handler, void* self) {
    if (!Follow(name)) {
        return false;
    }
    TTrustedWatch& watch = trusted_.emplace_back(TTrustedWatch{this, name, handler, self});
    return Watch("type='signal',sender='" + name + "'," + rule, OnTrusted, &watch);
}

int TBusConnection::OnTrusted(sd_bus_message* message, void* watch, sd_bus_error* error) {
    const auto& trusted = *static_cast<const TTrustedWatch*>(watch);
    if (!trusted.connection->IsFrom(message, trusted.name)) {
        return 0;
    }
    return trusted.handler(message, trusted.self, error);
}

bool TBusConnection::Follow(const std::string& name) {
    if (!bus_) {
        return false;
    }
    if (owners_.contains(name)) {
        return true;
    }
    owners_[name];
    // Watched before the owner is asked, so that no change between the two is missed.
    if (!Watch("type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
               "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='" +
                   name + "'",
               OnOwnerChanged, this)) {
        return false;
    }
    sd_bus_message* reply = nullptr;
    const char* owner = nullptr;
    // A name nobody owns yet is an error answer: its owner stays empty until one comes.
    if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "GetNameOwner", nullptr, &reply, "s",
                           name.c_str()) >= 0 &&
        sd_bus_message_read(reply, "s", &owner) >= 0 && owner) {
        owners_[name] = owner;
    }
    sd_bus_message_unref(reply);
    return true;
}

int TBusConnection::OnOwnerChanged(sd_bus_message* message, void* self, sd_bus_error*) {
    const char* name = nullptr;
    const char* before = nullptr;
    const char* after = nullptr;
    if (!IsFromBusDriver(message) ||
        sd_bus_message_read(message, "sss", &name, &before, &after) < 0 || !name) {
        return 0;
    }
    auto& owners = static_cast<TBusConnection*>(self)->owners_;
    if (const auto followed = owners.find(name); followed != owners.end()) {
        followed->second = after ? after : "";
    }
    return 0;
}

bool TBusConnection::IsFrom(sd_bus_message* message, const std::string& name) const {
    const char* sender = sd_bus_message_get_sender(message);
    const auto followed = owners_.find(name);
    return sender && followed != owners_.end() && !followed->second.empty() &&
           followed->second == sender;
}

bool IsFromBusDriver(sd_bus_message* message) {
    const char* sender = sd_bus_message_get_sender(message);
    return sender && std::string(sender) == "org.freedesktop.DBus";
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
