#include "platform/win32/address_search.h"

#include "platform/full_address.h"

#include <algorithm>
#include <vector>

namespace tw {

namespace {

// Looks for the address field in a browser window's accessibility tree: the first
// editable-text object within the depth limit whose value is a full address (and, for
// Opera, which is exactly focusable and hot-tracked).
class TAddressSearch {
  public:
    TAddressSearch(TBrowserKind kind, int depthLimit) : kind_(kind), limit_(depthLimit) {}

    std::optional<std::string> Run(const std::shared_ptr<TAccessible>& root) {
        Walk(root, 0);
        return found_;
    }

  private:
    // Each returns false once the address is found, which ends the whole search.
    bool Walk(const std::shared_ptr<TAccessible>& object, int depth) {
        if (!object || depth > limit_) {
            return true;
        }
        if (!Examine(*object)) {
            return false;
        }
        long count = 0;
        if (!object->ChildCount(count) || count <= 0) {
            return true;
        }
        std::vector<TAccVariant> children;
        if (object->Children(0, count, children)) {
            for (const TAccVariant& child : children) {
                if (!Visit(*object, child, depth + 1)) {
                    return false;
                }
            }
            return true;
        }
        if (object->OffersEnumeration()) {
            return VisitEnumerated(*object, depth + 1);
        }
        return VisitNavigated(*object, depth + 1);
    }

    bool VisitEnumerated(TAccessible& parent, int depth) {
        TAccVariant child;
        bool fetched = false;
        for (parent.EnumerateNext(child, fetched); fetched; parent.EnumerateNext(child, fetched)) {
            if (!Visit(parent, child, depth)) {
                return false;
            }
        }
        return true;
    }

    bool VisitNavigated(TAccessible& parent, int depth) {
        // A tree whose navigation leads back to any earlier sibling would otherwise keep
        // the scan busy forever.
        std::vector<TAccVariant> seen;
        TAccVariant child =
            parent.Navigate(TAccessible::NavFirstChild, TAccVariant::Number(0 /* self */));
        while (child.kind != TAccVariant::Empty &&
               std::find(seen.begin(), seen.end(), child) == seen.end()) {
            seen.push_back(child);
            if (!Visit(parent, child, depth)) {
                return false;
            }
            child = parent.Navigate(TAccessible::NavNext, child);
        }
        return true;
    }

    bool Visit(TAccessible& parent, const TAccVariant& child, int depth) {
        if (depth - 1 >= limit_) {
            return true;
        }
        switch (child.kind) {
        case TAccVariant::Int32:
            return Walk(parent.Child(child.number), depth);
        case TAccVariant::Object:
            return Walk(child.object, depth);
        default:
            return true;
        }
    }

    bool Examine(TAccessible& object) {
        const TAccVariant role = object.Role();
        if (role.kind != TAccVariant::Int32) {
            return true;
        }
        std::string value = object.Value();
        if (!IsFullAddress(value) || role.number != TAccessible::RoleText) {
            return true;
        }
        if (kind_ == TBrowserKind::Opera) {
            const TAccVariant state = object.State();
            if (state.kind != TAccVariant::Int32 ||
                state.number != TAccessible::StateFocusableHotTracked) {
                return true;
            }
        } else if (kind_ != TBrowserKind::Firefox) {
            return true;
        }
        found_ = std::move(value);
        return false;
    }

    TBrowserKind kind_;
    int limit_;
    std::optional<std::string> found_;
};

} // namespace

std::optional<std::string> FindAddressField(const std::shared_ptr<TAccessible>& root,
                                            TBrowserKind kind) {
    const int depthLimit = kind == TBrowserKind::Opera ? OperaDepthLimit : MozillaDepthLimit;
    return TAddressSearch(kind, depthLimit).Run(root);
}

} // namespace tw
