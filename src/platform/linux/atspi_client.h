#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct sd_bus;
struct sd_bus_message;

namespace tw {

// Calls on the accessibility bus end by this moment, answered or not.
using TDeadline = std::chrono::steady_clock::time_point;

// One object of an accessibility tree: the bus name of its program and its object path.
struct TAtspiRef {
    std::string bus;
    std::string path;
    bool Empty() const { return bus.empty() || path.empty(); }
    bool operator==(const TAtspiRef&) const = default;
};

// A rectangle in screen coordinates.
struct TScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const TScreenRect&) const = default;
};

// How a call ended. Gone: the program or the object is no longer there (a closing window);
// TimedOut: no answer by the deadline (a hung program); Failed: anything else, such as an
// interface the object does not offer or a broken connection.
enum class TAtspiStatus { Ok, Gone, TimedOut, Failed };

// The roles and relations the browser reading relies on (AT-SPI's numbering).
constexpr std::uint32_t AtspiRoleEntry = 79;
constexpr std::uint32_t AtspiRelationEmbeds = 13;
constexpr std::uint32_t AtspiStateActive = 1;

// A client of the session's accessibility bus, through sd-bus. Every call is a round trip to
// another program; each waits at most until its deadline, and an answer that comes later is
// thrown away unread. Nothing connects until first needed; a connection that broke is opened
// again on the next call.
class TAtspiClient {
  public:
    TAtspiClient();
    ~TAtspiClient();
    TAtspiClient(const TAtspiClient&) = delete;
    TAtspiClient& operator=(const TAtspiClient&) = delete;

    // Switches the session's accessibility on or off (org.a11y.Status IsEnabled): programs
    // that start afterwards expose their trees, or not. False when it was not done by the
    // deadline.
    bool Switch(bool on, TDeadline deadline);
    // Whether the session's accessibility is switched on; nullopt when nobody answers for it.
    std::optional<bool> Enabled(TDeadline deadline);
    // Whether a screen reader said it runs (org.a11y.Status ScreenReaderEnabled); nullopt when
    // nobody answers for it.
    std::optional<bool> ScreenReaderEnabled(TDeadline deadline);
    // Whether the accessibility bus can be reached (connecting when not connected yet).
    bool Reachable(TDeadline deadline);

    // The programs registered on the accessibility bus (their application objects).
    TAtspiStatus Applications(std::vector<TAtspiRef>& applications, TDeadline deadline);
    // The process behind a bus name.
    TAtspiStatus ProcessOf(const std::string& busName, long& pid, TDeadline deadline);
    TAtspiStatus Children(const TAtspiRef& object, std::vector<TAtspiRef>& children,
                          TDeadline deadline);
    TAtspiStatus Name(const TAtspiRef& object, std::string& name, TDeadline deadline);
    TAtspiStatus Extents(const TAtspiRef& object, TScreenRect& extents, TDeadline deadline);
    // The object's states, one bit each.
    TAtspiStatus States(const TAtspiRef& object, std::uint64_t& states, TDeadline deadline);
    TAtspiStatus Attributes(const TAtspiRef& object, std::map<std::string, std::string>& attributes,
                            TDeadline deadline);
    // The targets of one kind of relation of the object.
    TAtspiStatus RelationTargets(const TAtspiRef& object, std::uint32_t relation,
                                 std::vector<TAtspiRef>& targets, TDeadline deadline);
    // The whole text of an object that offers text.
    TAtspiStatus Text(const TAtspiRef& object, std::string& text, TDeadline deadline);
    // One attribute of a document ("DocURL").
    TAtspiStatus DocumentAttribute(const TAtspiRef& object, const char* name, std::string& value,
                                   TDeadline deadline);
    // Up to count descendants of the object with the role, in tree order, found by the
    // program itself in one round trip.
    TAtspiStatus DescendantsWithRole(const TAtspiRef& object, std::uint32_t role, int count,
                                     std::vector<TAtspiRef>& found, TDeadline deadline);

  private:
    sd_bus* Session();
    std::optional<bool> Status(const char* property, TDeadline deadline);
    sd_bus* Accessibility(TDeadline deadline);
    void Disconnect();
    // Sends one method call whose arguments fill appends, waits for its reply until the
    // deadline and hands it to read; each returns a negative error when it fails.
    template <typename Fill, typename Read>
    TAtspiStatus Call(const TAtspiRef& object, const char* interface, const char* member,
                      TDeadline deadline, Fill fill, Read read);

    sd_bus* session_ = nullptr;
    sd_bus* accessibility_ = nullptr;
};

} // namespace tw
