#pragma once

#include <string>
#include <systemd/sd-bus.h>
#include <vector>

namespace twtest {

// A connection of no standing on a bus, sending what a service would send, each message
// addressed straight to other connections by their unique names: the bus passes on a message
// with a destination whoever sent it, where it passes a broadcast only to rules it fits.
class TBusForger {
  public:
    // The bus at the address; the session bus of this process's environment when empty.
    explicit TBusForger(const std::string& address = {});
    ~TBusForger();
    TBusForger(const TBusForger&) = delete;
    TBusForger& operator=(const TBusForger&) = delete;

    const std::string& UniqueName() const { return unique_; }
    // The unique name that owns the well-known one; empty when nobody does.
    std::string OwnerOf(const char* name) const;
    // The other connections this process holds on the bus (the program's among them).
    std::vector<std::string> OurConnections() const;

    // Sends the signal to each of the connections.
    template <typename... TArgs>
    void Signal(const std::vector<std::string>& to, const char* path, const char* interface,
                const char* member, const char* types, TArgs... args) {
        for (const std::string& destination : to) {
            sd_bus_message* message = nullptr;
            sd_bus_message_new_signal(bus_, &message, path, interface, member);
            Send(message, destination, sd_bus_message_append(message, types, args...));
        }
    }
    // Calls the method of each of the connections, without waiting for an answer.
    template <typename... TArgs>
    void Call(const std::vector<std::string>& to, const char* path, const char* interface,
              const char* member, const char* types, TArgs... args) {
        for (const std::string& destination : to) {
            sd_bus_message* message = nullptr;
            sd_bus_message_new_method_call(bus_, &message, nullptr, path, interface, member);
            sd_bus_message_set_expect_reply(message, 0);
            Send(message, destination, sd_bus_message_append(message, types, args...));
        }
    }

  private:
    void Send(sd_bus_message* message, const std::string& destination, int appended);

    sd_bus* bus_ = nullptr;
    std::string unique_;
};

} // namespace twtest
