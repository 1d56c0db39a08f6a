#include "platform/win32/tree_walk.h"

#include <algorithm>
#include <vector>

namespace tw {

namespace {

class TTreeWalk {
  public:
    TTreeWalk(const TWalkBounds& bounds,
              const std::function<TNodeVerdict(const std::shared_ptr<TAccessible>&)>& look)
        : bounds_(bounds), look_(look) {}

    TWalkEnd Run(const std::shared_ptr<TAccessible>& root) {
        Walk(root, 0);
        return end_;
    }

  private:
    // Each returns false once the walk is over, which ends it everywhere.
    bool Walk(const std::shared_ptr<TAccessible>& object, int depth) {
        if (!object) {
            return true;
        }
        if (++nodes_ > bounds_.nodeLimit) {
            end_ = TWalkEnd::OutOfNodes;
            return false;
        }
        if (bounds_.now() >= bounds_.deadline) {
            end_ = TWalkEnd::OutOfTime;
            return false;
        }
        switch (look_(object)) {
        case TNodeVerdict::Stop:
            end_ = TWalkEnd::Stopped;
            return false;
        case TNodeVerdict::Skip:
            return true;
        case TNodeVerdict::Descend:
            break;
        }
        if (depth >= bounds_.depthLimit) {
            return true;
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
        switch (child.kind) {
        case TAccVariant::Int32:
            return Walk(parent.Child(child.number), depth);
        case TAccVariant::Object:
            return Walk(child.object, depth);
        default:
            return true;
        }
    }

    const TWalkBounds& bounds_;
    const std::function<TNodeVerdict(const std::shared_ptr<TAccessible>&)>& look_;
    int nodes_ = 0;
    TWalkEnd end_ = TWalkEnd::Finished;
};

} // namespace

TWalkEnd
WalkTree(const std::shared_ptr<TAccessible>& root, const TWalkBounds& bounds,
         const std::function<TNodeVerdict(const std::shared_ptr<TAccessible>& object)>& look) {
    return TTreeWalk(bounds, look).Run(root);
}

} // namespace tw
