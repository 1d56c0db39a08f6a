#pragma once

#include <string>
#include <systemd/sd-bus.h>

namespace tw {

// One connection to a D-Bus message bus through sd-bus: its blocking calls and its single
// pollable descriptor are exactly what a one-thread program needs. A bus that cannot be
// reached leaves the connection closed, with the reason in Problem(); a closed connection
// answers nothing and fails nothing.
class TBusConnection {
  public:
    enum class TBus { System, Session };

    explicit TBusConnection(TBus bus);
    ~TBusConnection();
    TBusConnection(const TBusConnection&) = delete;
    TBusConnection& operator=(const TBusConnection&) = delete;

    bool IsOpen() const { return bus_ != nullptr; }
    // Why the bus could not be reached, or went away; empty while it is open.
    const std::string& Problem() const { return problem_; }
    // The system's reason alone, when the bus could not be reached at all.
    const std::string& OpenFailure() const { return reason_; }
    sd_bus* Get() const { return bus_; }

    // Readable when messages may be waiting; -1 when closed.
    int Descriptor() const;
    // Runs the handlers of every message waiting. A bus that went away is closed.
    void ProcessWaiting();
    // Asks for the signals that match the rule; false (and closed) when the bus refuses.
    bool Watch(const std::string& rule, sd_bus_message_handler_t handler, void* self);

  private:
    void Close(const std::string& problem);

    sd_bus* bus_ = nullptr;
    std::string problem_;
    std::string reason_;
};

// The text of a failed bus call: the bus's own error message where it gave one.
std::string BusErrorText(const sd_bus_error& error, int result);

} // namespace tw
