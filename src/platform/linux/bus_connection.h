#pragma once

#include <list>
#include <map>
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
    // Asks for the signals that match the rule; false (and closed) when the bus refuses. The
    // handler hears whoever sent them: a rule's sender='well.known.name' holds only for what
    // the bus broadcasts, while a signal sent to this connection by name reaches it from any
    // connection. A rule that trusts a sender is WatchFrom's.
    bool Watch(const std::string& rule, sd_bus_message_handler_t handler, void* self);
    // Asks for the signals of the well-known name that match the rest of the rule, and hands
    // the handler only those its current owner sent. False (and closed) when the bus refuses.
    bool WatchFrom(const std::string& name, const std::string& rule,
                   sd_bus_message_handler_t handler, void* self);
    // Keeps the unique name of the name's owner from now on: asked once, then followed
    // through the bus driver's NameOwnerChanged. False (and closed) when the bus refuses.
    bool Follow(const std::string& name);
    // Whether the message comes from the current owner of a followed name.
    bool IsFrom(sd_bus_message* message, const std::string& name) const;

  private:
    struct TTrustedWatch {
        TBusConnection* connection;
        std::string name;
        sd_bus_message_handler_t handler;
        void* self;
    };
    static int OnTrusted(sd_bus_message* message, void* watch, sd_bus_error* error);
    static int OnOwnerChanged(sd_bus_message* message, void* self, sd_bus_error* error);
    void Close(const std::string& problem);

    sd_bus* bus_ = nullptr;
    std::string problem_;
    std::string reason_;
    // Followed names and their owners' unique names (empty: nobody owns it).
    std::map<std::string, std::string> owners_;
    // Where each trusting watch's handler waits; a list, so that each stays in place.
    std::list<TTrustedWatch> trusted_;
};

// Whether the message comes from the bus itself, which alone tells who owns a name: no
// connection may own the driver's name.
bool IsFromBusDriver(sd_bus_message* message);

// The text of a failed bus call: the bus's own error message where it gave one.
std::string BusErrorText(const sd_bus_error& error, int result);

} // namespace tw
