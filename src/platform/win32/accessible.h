#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tw {

class TAccessible;

// A value of the accessibility interface: nothing, a 32-bit number (a child id, a role,
// a state), an object, or anything else. An object that does not offer the
// accessibility interface is an Object with a null pointer.
struct TAccVariant {
    enum class TKind { Empty, Int32, Object, Other };
    using enum TKind;
    TKind kind = Empty;
    std::int32_t number = 0;
    std::shared_ptr<TAccessible> object;

    static TAccVariant Number(std::int32_t value) { return {Int32, value, nullptr}; }
    static TAccVariant Of(std::shared_ptr<TAccessible> value) {
        return {Object, 0, std::move(value)};
    }
    bool operator==(const TAccVariant& other) const {
        return kind == other.kind && number == other.number && object == other.object;
    }
};

// One object of an accessibility tree. Every call may fail, as cross-process calls do;
// a failure is answered as documented per call, never by an exception unless stated.
class TAccessible {
  public:
    static constexpr std::int32_t RoleDocument = 15;
    static constexpr std::int32_t RoleText = 42;
    static constexpr std::int32_t StateFocused = 0x4;
    static constexpr std::int32_t StateReadOnly = 0x40;
    static constexpr std::int32_t StateFocusable = 0x100000;
    static constexpr std::int32_t StateFocusableHotTracked = 0x100080;
    static constexpr int NavFirstChild = 7;
    static constexpr int NavNext = 5;
    // The document of the tab in front, as Firefox answers it for its window's root.
    static constexpr int NavEmbeds = 0x1009;

    virtual ~TAccessible() = default;

    // The number of children; false when the call fails.
    virtual bool ChildCount(long& count) = 0;
    // Up to count children from start (child ids or objects); false when the call fails.
    virtual bool Children(long start, long count, std::vector<TAccVariant>& children) = 0;
    // Whether the object offers child enumeration one at a time.
    virtual bool OffersEnumeration() = 0;
    // Next child of that enumeration: true with fetched = false at the end. Throws the
    // system's error when the enumeration fails.
    virtual void EnumerateNext(TAccVariant& child, bool& fetched) = 0;
    // Navigation from start (Int32 0 = the object itself); Empty when it fails.
    virtual TAccVariant Navigate(int direction, const TAccVariant& start) = 0;
    // The object of a child id; null when there is none (simple elements) or it fails.
    virtual std::shared_ptr<TAccessible> Child(std::int32_t childId) = 0;
    // Role, value and state of the object itself; Empty / empty text when the call fails.
    // The value is already in the program's 8-bit text form.
    virtual TAccVariant Role() = 0;
    virtual std::string Value() = 0;
    virtual TAccVariant State() = 0;
    // The keyboard shortcut of the object itself; empty when it has none or the call fails.
    virtual std::string KeyboardShortcut() = 0;
};

} // namespace tw
