#include "platform/win32/address_search.h"

#include "platform/full_address.h"
#include "platform/win32/tree_walk.h"

namespace tw {

std::optional<std::string> FindAddressField(const std::shared_ptr<TAccessible>& root,
                                            TBrowserKind kind) {
    TWalkBounds bounds;
    bounds.depthLimit = kind == TBrowserKind::Opera ? OperaDepthLimit : MozillaDepthLimit;
    std::optional<std::string> found;
    WalkTree(root, bounds, [&](const std::shared_ptr<TAccessible>& object) {
        const TAccVariant role = object->Role();
        if (role.kind != TAccVariant::Int32) {
            return TNodeVerdict::Descend;
        }
        std::string value = object->Value();
        if (!IsFullAddress(value) || role.number != TAccessible::RoleText) {
            return TNodeVerdict::Descend;
        }
        if (kind == TBrowserKind::Opera) {
            const TAccVariant state = object->State();
            if (state.kind != TAccVariant::Int32 ||
                state.number != TAccessible::StateFocusableHotTracked) {
                return TNodeVerdict::Descend;
            }
        } else if (kind != TBrowserKind::Firefox) {
            return TNodeVerdict::Descend;
        }
        found = std::move(value);
        return TNodeVerdict::Stop;
    });
    return found;
}

} // namespace tw
