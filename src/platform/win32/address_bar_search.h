#pragma once

#include "platform/browser_kind.h"
#include "platform/win32/accessible.h"
#include "platform/win32/tree_walk.h"

#include <memory>
#include <string>

namespace tw {

// How deep and how wide the search for a Chromium-family address bar goes: the bar sits a
// handful of levels below the window's client object, in the first few hundred objects.
constexpr int AddressBarDepthLimit = 16;
constexpr int AddressBarNodeLimit = 1500;

// What an address bar shows.
struct TBarReading {
    std::string value;
    bool focused = false; // the person is typing into it, or about to
};

// Whether the object is a Chromium-family browser's address bar, read as it is found. The
// bar is the text object with the shortcut Ctrl+L (its name is in the person's language);
// Opera's and Vivaldi's own toolbars may lack the shortcut, so for them the first editable,
// focusable text with a value will do. A page's document is skipped without a further call:
// reaching into it switches on the browser's costly web-content tree.
TNodeVerdict LookForAddressBar(TAccessible& object, TBrowserKind kind, TBarReading& reading);

struct TBarSearch {
    std::shared_ptr<TAccessible> bar; // null when not found
    TBarReading reading;
    TWalkEnd end = TWalkEnd::Finished;
};

// The address bar below a browser window's client object, within the bounds (the depth
// and node limits above are the caller's to put in).
TBarSearch FindAddressBar(const std::shared_ptr<TAccessible>& root, TBrowserKind kind,
                          const TWalkBounds& bounds);

} // namespace tw
