#include "platform/linux/atspi_client.h"

#include <cerrno>
#include <cstring>
#include <systemd/sd-bus.h>

namespace tw {

namespace {

constexpr const char* AccessibleInterface = "org.a11y.atspi.Accessible";
constexpr const char* PropertiesInterface = "org.freedesktop.DBus.Properties";
const TAtspiRef LauncherObject{"org.a11y.Bus", "/org/a11y/bus"};
const TAtspiRef RegistryRoot{"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};
const TAtspiRef BusDaemon{"org.freedesktop.DBus", "/org/freedesktop/DBus"};

// AT-SPI's match rule: a match type of "all" over an empty set accepts everything, "any"
// over the role set accepts the roles named; the result comes in tree (canonical) order.
constexpr std::int32_t MatchAll = 1;
constexpr std::int32_t MatchAny = 2;
constexpr std::uint32_t SortCanonical = 1;
constexpr int RoleWords = 4; // role bits, 32 to a word

std::uint64_t MicrosecondsLeft(TDeadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<std::uint64_t>(left.count()) : 0;
}

bool ConnectionBroken(int result) {
    return result == -ECONNRESET || result == -ENOTCONN || result == -EPIPE ||
           result == -ESHUTDOWN || result == -ECONNREFUSED;
}

// Replies of the form a(so): object references.
int ReadReferences(sd_bus_message* reply, std::vector<TAtspiRef>& references) {
    int r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "(so)");
    if (r < 0) {
        return r;
    }
    const char* bus = nullptr;
    const char* path = nullptr;
    while ((r = sd_bus_message_read(reply, "(so)", &bus, &path)) > 0) {
        references.push_back({bus, path});
    }
    if (r < 0) {
        return r;
    }
    return sd_bus_message_exit_container(reply);
}

// The owner of a message; unreferenced when it goes.
class TMessage {
  public:
    ~TMessage() { sd_bus_message_unref(message_); }
    sd_bus_message** Out() { return &message_; }
    sd_bus_message* Get() const { return message_; }

  private:
    sd_bus_message* message_ = nullptr;
};

} // namespace

TAtspiClient::TAtspiClient() = default;

TAtspiClient::~TAtspiClient() {
    Disconnect();
    if (session_) {
        sd_bus_flush_close_unref(session_);
    }
}

sd_bus* TAtspiClient::Session() {
    if (session_ && sd_bus_is_open(session_) <= 0) {
        sd_bus_flush_close_unref(session_);
        session_ = nullptr;
    }
    if (!session_ && sd_bus_open_user(&session_) < 0) {
        session_ = nullptr;
    }
    return session_;
}

void TAtspiClient::Disconnect() {
    if (accessibility_) {
        sd_bus_flush_close_unref(accessibility_);
    }
    accessibility_ = nullptr;
}

bool TAtspiClient::Switch(bool on, TDeadline deadline) {
    sd_bus* session = Session();
    const std::uint64_t left = MicrosecondsLeft(deadline);
    if (!session || left == 0) {
        return false;
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    TMessage call;
    TMessage reply;
    int r = sd_bus_message_new_method_call(session, call.Out(), LauncherObject.bus.c_str(),
                                           LauncherObject.path.c_str(), PropertiesInterface, "Set");
    if (r >= 0) {
        r = sd_bus_message_append(call.Get(), "ssv", "org.a11y.Status", "IsEnabled", "b",
                                  static_cast<int>(on));
    }
    // Answered once the launcher has stored the switch: a program that ends right afterwards
    // has put it back for certain.
    if (r >= 0) {
        r = sd_bus_call(session, call.Get(), left, &error, reply.Out());
    }
    sd_bus_error_free(&error);
    return r >= 0;
}

std::optional<bool> TAtspiClient::Enabled(TDeadline deadline) {
    return Status("IsEnabled", deadline);
}

std::optional<bool> TAtspiClient::ScreenReaderEnabled(TDeadline deadline) {
    return Status("ScreenReaderEnabled", deadline);
}

std::optional<bool> TAtspiClient::Status(const char* property, TDeadline deadline) {
    sd_bus* session = Session();
    const std::uint64_t left = MicrosecondsLeft(deadline);
    if (!session || left == 0) {
        return std::nullopt;
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    TMessage call;
    TMessage reply;
    int r = sd_bus_message_new_method_call(session, call.Out(), LauncherObject.bus.c_str(),
                                           LauncherObject.path.c_str(), PropertiesInterface, "Get");
    if (r >= 0) {
        r = sd_bus_message_append(call.Get(), "ss", "org.a11y.Status", property);
    }
    if (r >= 0) {
        r = sd_bus_call(session, call.Get(), left, &error, reply.Out());
    }
    int value = 0;
    if (r >= 0) {
        r = sd_bus_message_read(reply.Get(), "v", "b", &value);
    }
    sd_bus_error_free(&error);
    if (r < 0) {
        return std::nullopt;
    }
    return value != 0;
}

sd_bus* TAtspiClient::Accessibility(TDeadline deadline) {
    if (accessibility_ && sd_bus_is_open(accessibility_) <= 0) {
        Disconnect();
    }
    if (accessibility_) {
        return accessibility_;
    }
    sd_bus* session = Session();
    const std::uint64_t left = MicrosecondsLeft(deadline);
    if (!session || left == 0) {
        return nullptr;
    }
    // The session bus names the accessibility bus; asking also starts its launcher where
    // the session can start services.
    sd_bus_error error = SD_BUS_ERROR_NULL;
    TMessage call;
    TMessage reply;
    int r =
        sd_bus_message_new_method_call(session, call.Out(), LauncherObject.bus.c_str(),
                                       LauncherObject.path.c_str(), "org.a11y.Bus", "GetAddress");
    if (r >= 0) {
        r = sd_bus_call(session, call.Get(), left, &error, reply.Out());
    }
    sd_bus_error_free(&error);
    const char* address = nullptr;
    if (r >= 0) {
        r = sd_bus_message_read(reply.Get(), "s", &address);
    }
    if (r < 0 || !address || !*address) {
        return nullptr;
    }
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) {
        return nullptr;
    }
    if (sd_bus_set_address(bus, address) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
        sd_bus_start(bus) < 0) {
        sd_bus_unref(bus);
        return nullptr;
    }
    accessibility_ = bus;
    return accessibility_;
}

bool TAtspiClient::Reachable(TDeadline deadline) {
    return Accessibility(deadline) != nullptr;
}

template <typename Fill, typename Read>
TAtspiStatus TAtspiClient::Call(const TAtspiRef& object, const char* interface, const char* member,
                                TDeadline deadline, Fill fill, Read read) {
    sd_bus* bus = Accessibility(deadline);
    if (!bus) {
        return TAtspiStatus::Failed;
    }
    // Answers to calls that timed out earlier wait in the queue: thrown away unread, so a
    // browser that hung once costs nothing more once it answers again.
    int r = 0;
    while ((r = sd_bus_process(bus, nullptr)) > 0) {
    }
    if (r < 0) {
        Disconnect();
        return TAtspiStatus::Failed;
    }
    const std::uint64_t left = MicrosecondsLeft(deadline);
    if (left == 0) {
        return TAtspiStatus::TimedOut;
    }
    TMessage call;
    r = sd_bus_message_new_method_call(bus, call.Out(), object.bus.c_str(), object.path.c_str(),
                                       interface, member);
    if (r >= 0) {
        r = fill(call.Get());
    }
    if (r < 0) {
        return TAtspiStatus::Failed;
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    TMessage reply;
    r = sd_bus_call(bus, call.Get(), left, &error, reply.Out());
    TAtspiStatus status = TAtspiStatus::Ok;
    if (r == -ETIMEDOUT) {
        status = TAtspiStatus::TimedOut;
    } else if (r < 0) {
        // A program that went away, an object that went with its window: look again.
        const bool gone = sd_bus_error_has_names(
            &error, SD_BUS_ERROR_SERVICE_UNKNOWN, SD_BUS_ERROR_NAME_HAS_NO_OWNER,
            SD_BUS_ERROR_UNKNOWN_OBJECT, SD_BUS_ERROR_UNKNOWN_METHOD, SD_BUS_ERROR_NO_REPLY);
        status = gone ? TAtspiStatus::Gone : TAtspiStatus::Failed;
        if (ConnectionBroken(r)) {
            Disconnect();
        }
    } else if (read(reply.Get()) < 0) {
        status = TAtspiStatus::Failed; // an answer of another shape than asked for
    }
    sd_bus_error_free(&error);
    return status;
}

namespace {

auto NoArguments = [](sd_bus_message*) { return 0; };

// Reads a reply holding one string (in a variant when variant is set).
auto StringInto(std::string& text, bool variant = false) {
    return [&text, variant](sd_bus_message* reply) {
        const char* value = nullptr;
        const int r = variant ? sd_bus_message_read(reply, "v", "s", &value)
                              : sd_bus_message_read(reply, "s", &value);
        if (r >= 0 && value) {
            text = value;
        }
        return r;
    };
}

auto ReferencesInto(std::vector<TAtspiRef>& references) {
    return [&references](sd_bus_message* reply) { return ReadReferences(reply, references); };
}

} // namespace

TAtspiStatus TAtspiClient::Applications(std::vector<TAtspiRef>& applications, TDeadline deadline) {
    return Call(RegistryRoot, AccessibleInterface, "GetChildren", deadline, NoArguments,
                ReferencesInto(applications));
}

TAtspiStatus TAtspiClient::ProcessOf(const std::string& busName, long& pid, TDeadline deadline) {
    return Call(
        BusDaemon, "org.freedesktop.DBus", "GetConnectionUnixProcessID", deadline,
        [&](sd_bus_message* m) { return sd_bus_message_append(m, "s", busName.c_str()); },
        [&](sd_bus_message* reply) {
            std::uint32_t value = 0;
            const int r = sd_bus_message_read(reply, "u", &value);
            pid = static_cast<long>(value);
            return r;
        });
}

TAtspiStatus TAtspiClient::Children(const TAtspiRef& object, std::vector<TAtspiRef>& children,
                                    TDeadline deadline) {
    return Call(object, AccessibleInterface, "GetChildren", deadline, NoArguments,
                ReferencesInto(children));
}

TAtspiStatus TAtspiClient::Name(const TAtspiRef& object, std::string& name, TDeadline deadline) {
    return Call(
        object, PropertiesInterface, "Get", deadline,
        [](sd_bus_message* m) {
            return sd_bus_message_append(m, "ss", AccessibleInterface, "Name");
        },
        StringInto(name, true));
}

TAtspiStatus TAtspiClient::Extents(const TAtspiRef& object, TScreenRect& extents,
                                   TDeadline deadline) {
    return Call(
        object, "org.a11y.atspi.Component", "GetExtents", deadline,
        [](sd_bus_message* m) { return sd_bus_message_append(m, "u", 0u /* screen */); },
        [&](sd_bus_message* reply) {
            return sd_bus_message_read(reply, "(iiii)", &extents.x, &extents.y, &extents.width,
                                       &extents.height);
        });
}

TAtspiStatus TAtspiClient::States(const TAtspiRef& object, std::uint64_t& states,
                                  TDeadline deadline) {
    return Call(
        object, AccessibleInterface, "GetState", deadline, NoArguments, [&](sd_bus_message* reply) {
            const void* words = nullptr;
            std::size_t size = 0;
            const int r = sd_bus_message_read_array(reply, 'u', &words, &size);
            states = 0;
            for (std::size_t i = 0; r >= 0 && i < size / sizeof(std::uint32_t) && i < 2; ++i) {
                states |= std::uint64_t{static_cast<const std::uint32_t*>(words)[i]} << (32 * i);
            }
            return r;
        });
}

TAtspiStatus TAtspiClient::Attributes(const TAtspiRef& object,
                                      std::map<std::string, std::string>& attributes,
                                      TDeadline deadline) {
    return Call(object, AccessibleInterface, "GetAttributes", deadline, NoArguments,
                [&](sd_bus_message* reply) {
                    int r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "{ss}");
                    const char* key = nullptr;
                    const char* value = nullptr;
                    while (r >= 0 && (r = sd_bus_message_read(reply, "{ss}", &key, &value)) > 0) {
                        attributes[key] = value;
                    }
                    return r >= 0 ? sd_bus_message_exit_container(reply) : r;
                });
}

TAtspiStatus TAtspiClient::RelationTargets(const TAtspiRef& object, std::uint32_t relation,
                                           std::vector<TAtspiRef>& targets, TDeadline deadline) {
    return Call(object, AccessibleInterface, "GetRelationSet", deadline, NoArguments,
                [&](sd_bus_message* reply) {
                    int r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "(ua(so))");
                    while (r >= 0 && (r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_STRUCT,
                                                                         "ua(so)")) > 0) {
                        std::uint32_t type = 0;
                        std::vector<TAtspiRef> ofThisType;
                        r = sd_bus_message_read(reply, "u", &type);
                        if (r >= 0) {
                            r = ReadReferences(reply, ofThisType);
                        }
                        if (r >= 0) {
                            r = sd_bus_message_exit_container(reply);
                        }
                        if (type == relation) {
                            targets.insert(targets.end(), ofThisType.begin(), ofThisType.end());
                        }
                    }
                    return r >= 0 ? sd_bus_message_exit_container(reply) : r;
                });
}

TAtspiStatus TAtspiClient::Text(const TAtspiRef& object, std::string& text, TDeadline deadline) {
    return Call(
        object, "org.a11y.atspi.Text", "GetText", deadline,
        [](sd_bus_message* m) { return sd_bus_message_append(m, "ii", 0, -1 /* to the end */); },
        StringInto(text));
}

TAtspiStatus TAtspiClient::DocumentAttribute(const TAtspiRef& object, const char* name,
                                             std::string& value, TDeadline deadline) {
    return Call(
        object, "org.a11y.atspi.Document", "GetAttributeValue", deadline,
        [&](sd_bus_message* m) { return sd_bus_message_append(m, "s", name); }, StringInto(value));
}

TAtspiStatus TAtspiClient::DescendantsWithRole(const TAtspiRef& object, std::uint32_t role,
                                               int count, std::vector<TAtspiRef>& found,
                                               TDeadline deadline) {
    std::int32_t roles[RoleWords] = {};
    if (role < 32 * RoleWords) {
        roles[role / 32] = static_cast<std::int32_t>(1u << (role % 32));
    }
    auto fill = [&](sd_bus_message* m) {
        const std::int32_t noStates[2] = {};
        int r = sd_bus_message_open_container(m, SD_BUS_TYPE_STRUCT, "aiia{ss}iaiiasib");
        if (r >= 0) {
            r = sd_bus_message_append_array(m, 'i', noStates, sizeof noStates);
        }
        if (r >= 0) {
            r = sd_bus_message_append(m, "ia{ss}i", MatchAll, 0, MatchAll);
        }
        if (r >= 0) {
            r = sd_bus_message_append_array(m, 'i', roles, sizeof roles);
        }
        if (r >= 0) {
            r = sd_bus_message_append(m, "iasib", MatchAny, 0, MatchAll, 0);
        }
        if (r >= 0) {
            r = sd_bus_message_close_container(m);
        }
        if (r >= 0) {
            r = sd_bus_message_append(m, "uib", SortCanonical, count, 1 /* whole subtree */);
        }
        return r;
    };
    return Call(object, "org.a11y.atspi.Collection", "GetMatches", deadline, fill,
                ReferencesInto(found));
}

} // namespace tw
