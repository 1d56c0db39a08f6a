#pragma once

#include "platform/win32/accessible.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace twtest {

using tw::TAccessible;
using tw::TAccVariant;

// A scripted accessibility object for the tests of the address search, which fail its
// calls at will. Children are object references or child ids;
// an id may stand for a simple element (no object) or name an object of its own.
class TFakeAccessible : public TAccessible {
  public:
    // Which ways of reaching the children answer.
    enum class TChildAccess {
        All,             // the children list, enumeration and navigation
        EnumerationOnly, // only enumeration one at a time
        NavigationOnly,  // only first-child / next navigation
    };
    // The calls a test can make fail.
    enum class TCall { ChildCount, Children, Child, Role, Value, State, Navigate };

    static std::shared_ptr<TFakeAccessible> Make(TAccVariant role = TAccVariant::Number(10),
                                                 std::string value = {},
                                                 TAccVariant state = TAccVariant::Number(0));
    // An editable-text object showing an address, in the given state.
    static std::shared_ptr<TFakeAccessible> AddressField(const std::string& address,
                                                         std::int32_t state = 0x100000);

    TAccVariant role;
    std::string value;
    TAccVariant state;
    std::string shortcut;
    TChildAccess childAccess = TChildAccess::All;
    // Enumeration throws tw::Exception(enumerationError) when asked for this child index.
    int enumerationFailsAt = -1;
    std::string enumerationError = "Unspecified error";
    // Replaces the sibling rule of Navigate when set.
    std::function<TAccVariant(int direction, const TAccVariant& start)> navigation;

    // Counts reads of the role: how often the object was examined.
    int roleReads = 0;
    // Counts every other call on the object: how often it was reached into.
    int otherCalls = 0;

    // Adds an object child; returns it so trees can be built in one expression.
    std::shared_ptr<TFakeAccessible> Add(std::shared_ptr<TFakeAccessible> child);
    // Adds a child id, with the object that Child(id) answers (null: a simple element).
    void AddId(std::int32_t id, std::shared_ptr<TAccessible> object = nullptr);
    // Adds any child variant as it is (empty, a non-accessible object, something else).
    void AddVariant(const TAccVariant& child) { children_.push_back(child); }
    void Fail(TCall call) { failing_.insert(call); }

    bool ChildCount(long& count) override;
    bool Children(long start, long count, std::vector<TAccVariant>& children) override;
    // Asking for enumeration hands out a fresh enumerator, as asking for the interface does.
    bool OffersEnumeration() override;
    void EnumerateNext(TAccVariant& child, bool& fetched) override;
    TAccVariant Navigate(int direction, const TAccVariant& start) override;
    std::shared_ptr<TAccessible> Child(std::int32_t childId) override;
    TAccVariant Role() override;
    std::string Value() override;
    TAccVariant State() override;
    std::string KeyboardShortcut() override;

  private:
    bool Fails(TCall call) const { return failing_.count(call) != 0; }

    std::vector<TAccVariant> children_;
    std::map<std::int32_t, std::shared_ptr<TAccessible>> idObjects_;
    std::set<TCall> failing_;
    std::size_t cursor_ = 0;
};

} // namespace twtest
