#pragma once

#include "platform/desktop.h"

namespace tw {

class TWin32Desktop;

// Describes a top-level window as browsers show themselves on this system. Today's browsers
// by their window's class, and the Chromium family by its program too; their addresses come
// from their accessibility objects (browser_addresses.h), read for shown windows only. Older
// browsers by the class names of descendant windows, in the system's depth-first order, the
// first browser met deciding: Chrome's omnibox and Internet Explorer's address edit give
// their text; Firefox's and Opera's content windows their accessibility tree's address field.
TWindowFacts DescribeWin32Window(TWin32Desktop& desktop, TWindowHandle window);

} // namespace tw
