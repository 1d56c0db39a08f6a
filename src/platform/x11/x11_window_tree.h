#pragma once

#include <X11/Xlib.h>

#include <vector>

namespace tw {

// The children of a window, bottom of the stacking order first; empty when it is gone.
std::vector<::Window> ChildrenOf(Display* display, ::Window window);
// The parent of a window; 0 for the root or a window that is gone.
::Window ParentOf(Display* display, ::Window window);
// The child of the root that contains the window; 0 for the root itself or a lost window.
::Window TopLevelAncestor(Display* display, ::Window root, ::Window window);
// The first window at or below the given one that carries the property, breadth-first
// (the client inside a window manager's frame carries WM_STATE); 0 when none does.
::Window FindWithProperty(Display* display, ::Window window, ::Atom property);

} // namespace tw
