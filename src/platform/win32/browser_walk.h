#pragma once

#include "platform/desktop.h"

namespace tw {

class TWin32Desktop;

// Describes a top-level window as browsers have shown themselves on this system: by the
// class names of its descendant windows, in the system's depth-first order, the first
// browser met deciding. Chrome's omnibox and Internet Explorer's address edit give their
// text; Firefox's and Opera's content windows their accessibility tree's address field.
TWindowFacts DescribeWin32Window(TWin32Desktop& desktop, TWindowHandle window);

} // namespace tw
