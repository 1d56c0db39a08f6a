#include "platform/win32/address_bar_search.h"

namespace tw {

namespace {

// Not translated, unlike the bar's name.
constexpr const char* AddressBarShortcut = "Ctrl+L";

bool IsEditableWithValue(TAccessible& object, TBarReading& reading) {
    const TAccVariant state = object.State();
    if (state.kind != TAccVariant::Int32 || (state.number & TAccessible::StateFocusable) == 0 ||
        (state.number & TAccessible::StateReadOnly) != 0) {
        return false;
    }
    reading.value = object.Value();
    reading.focused = (state.number & TAccessible::StateFocused) != 0;
    return !reading.value.empty();
}

} // namespace

TNodeVerdict LookForAddressBar(TAccessible& object, TBrowserKind kind, TBarReading& reading) {
    const TAccVariant role = object.Role();
    if (role.kind != TAccVariant::Int32) {
        return TNodeVerdict::Descend;
    }
    if (role.number == TAccessible::RoleDocument) {
        return TNodeVerdict::Skip;
    }
    if (role.number != TAccessible::RoleText) {
        return TNodeVerdict::Descend;
    }
    if (object.KeyboardShortcut() == AddressBarShortcut) {
        const TAccVariant state = object.State();
        reading.value = object.Value();
        reading.focused =
            state.kind == TAccVariant::Int32 && (state.number & TAccessible::StateFocused) != 0;
        return TNodeVerdict::Stop;
    }
    const bool ownToolbar = kind == TBrowserKind::Opera || kind == TBrowserKind::Vivaldi;
    if (ownToolbar && IsEditableWithValue(object, reading)) {
        return TNodeVerdict::Stop;
    }
    reading = {};
    return TNodeVerdict::Skip;
}

TBarSearch FindAddressBar(const std::shared_ptr<TAccessible>& root, TBrowserKind kind,
                          const TWalkBounds& bounds) {
    TBarSearch search;
    search.end = WalkTree(root, bounds, [&](const std::shared_ptr<TAccessible>& object) {
        const TNodeVerdict verdict = LookForAddressBar(*object, kind, search.reading);
        if (verdict == TNodeVerdict::Stop) {
            search.bar = object;
        }
        return verdict;
    });
    return search;
}

} // namespace tw
