#include "win32_support/fake_accessible.h"

#include "base/exception.h"

#include <algorithm>

namespace twtest {

std::shared_ptr<TFakeAccessible> TFakeAccessible::Make(TAccVariant role, std::string value,
                                                       TAccVariant state) {
    auto object = std::make_shared<TFakeAccessible>();
    object->role = std::move(role);
    object->value = std::move(value);
    object->state = std::move(state);
    return object;
}

std::shared_ptr<TFakeAccessible> TFakeAccessible::AddressField(const std::string& address,
                                                               std::int32_t state) {
    return Make(TAccVariant::Number(RoleText), address, TAccVariant::Number(state));
}

std::shared_ptr<TFakeAccessible> TFakeAccessible::Add(std::shared_ptr<TFakeAccessible> child) {
    children_.push_back(TAccVariant::Of(child));
    return child;
}

void TFakeAccessible::AddId(std::int32_t id, std::shared_ptr<TAccessible> object) {
    children_.push_back(TAccVariant::Number(id));
    if (object) {
        idObjects_[id] = std::move(object);
    }
}

bool TFakeAccessible::ChildCount(long& count) {
    ++otherCalls;
    if (Fails(TCall::ChildCount)) {
        return false;
    }
    count = static_cast<long>(children_.size());
    return true;
}

bool TFakeAccessible::Children(long start, long count, std::vector<TAccVariant>& children) {
    ++otherCalls;
    children.clear();
    if (Fails(TCall::Children) || childAccess != TChildAccess::All || start < 0 || count < 0) {
        return false;
    }
    const auto first = std::min(children_.size(), static_cast<std::size_t>(start));
    const auto last = std::min(children_.size(), first + static_cast<std::size_t>(count));
    children.assign(children_.begin() + static_cast<std::ptrdiff_t>(first),
                    children_.begin() + static_cast<std::ptrdiff_t>(last));
    return true;
}

bool TFakeAccessible::OffersEnumeration() {
    ++otherCalls;
    cursor_ = 0;
    return childAccess != TChildAccess::NavigationOnly;
}

void TFakeAccessible::EnumerateNext(TAccVariant& child, bool& fetched) {
    if (enumerationFailsAt >= 0 && cursor_ == static_cast<std::size_t>(enumerationFailsAt)) {
        throw tw::Exception(enumerationError);
    }
    fetched = cursor_ < children_.size();
    child = fetched ? children_[cursor_++] : TAccVariant{};
}

TAccVariant TFakeAccessible::Navigate(int direction, const TAccVariant& start) {
    ++otherCalls;
    if (Fails(TCall::Navigate) || childAccess == TChildAccess::EnumerationOnly) {
        return {};
    }
    if (navigation) {
        return navigation(direction, start);
    }
    if (direction == NavFirstChild && start == TAccVariant::Number(0)) {
        return children_.empty() ? TAccVariant{} : children_.front();
    }
    if (direction == NavNext) {
        auto at = std::find(children_.begin(), children_.end(), start);
        if (at != children_.end() && at + 1 != children_.end()) {
            return *(at + 1);
        }
    }
    return {};
}

std::shared_ptr<TAccessible> TFakeAccessible::Child(std::int32_t childId) {
    auto at = idObjects_.find(childId);
    if (Fails(TCall::Child) || at == idObjects_.end()) {
        return nullptr;
    }
    return at->second;
}

TAccVariant TFakeAccessible::Role() {
    ++roleReads;
    return Fails(TCall::Role) ? TAccVariant{} : role;
}

std::string TFakeAccessible::Value() {
    ++otherCalls;
    return Fails(TCall::Value) ? std::string() : value;
}

TAccVariant TFakeAccessible::State() {
    ++otherCalls;
    return Fails(TCall::State) ? TAccVariant{} : state;
}

std::string TFakeAccessible::KeyboardShortcut() {
    ++otherCalls;
    return shortcut;
}

} // namespace twtest
