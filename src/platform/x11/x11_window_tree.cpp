#include "platform/x11/x11_window_tree.h"

#include <X11/Xatom.h>

#include <deque>

namespace tw {

namespace {

bool QueryTree(Display* display, ::Window window, ::Window& parent,
               std::vector<::Window>& children) {
    ::Window root = 0;
    ::Window* list = nullptr;
    unsigned int count = 0;
    if (window == 0 || !XQueryTree(display, window, &root, &parent, &list, &count)) {
        return false;
    }
    children.assign(list, list + count);
    if (list) {
        XFree(list);
    }
    return true;
}

bool HasProperty(Display* display, ::Window window, ::Atom property) {
    int count = 0;
    ::Atom* properties = XListProperties(display, window, &count);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        found = properties[i] == property;
    }
    if (properties) {
        XFree(properties);
    }
    return found;
}

} // namespace

std::vector<::Window> ChildrenOf(Display* display, ::Window window) {
    ::Window parent = 0;
    std::vector<::Window> children;
    QueryTree(display, window, parent, children);
    return children;
}

::Window ParentOf(Display* display, ::Window window) {
    ::Window parent = 0;
    std::vector<::Window> children;
    return QueryTree(display, window, parent, children) ? parent : 0;
}

::Window TopLevelAncestor(Display* display, ::Window root, ::Window window) {
    // X nests windows only as deep as programs make them; the bound guards against a
    // server answer that loops.
    for (int depth = 0; depth < 256 && window != 0 && window != root; ++depth) {
        const ::Window parent = ParentOf(display, window);
        if (parent == root) {
            return window;
        }
        window = parent;
    }
    return 0;
}

::Window FindWithProperty(Display* display, ::Window window, ::Atom property) {
    std::deque<::Window> pending{window};
    for (int visited = 0; !pending.empty() && visited < 4096; ++visited) {
        const ::Window current = pending.front();
        pending.pop_front();
        if (HasProperty(display, current, property)) {
            return current;
        }
        for (const ::Window child : ChildrenOf(display, current)) {
            pending.push_back(child);
        }
    }
    return 0;
}

} // namespace tw
