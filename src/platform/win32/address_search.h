#pragma once

#include "platform/browser_kind.h"
#include "platform/win32/accessible.h"

#include <memory>
#include <optional>
#include <string>

namespace tw {

// How deep below a browser's content window its address field is looked for.
constexpr int MozillaDepthLimit = 4;
constexpr int OperaDepthLimit = 8;

// The address field in a Firefox or Opera window's accessibility tree: the first
// editable-text object within the kind's depth limit whose value is a full address (and, for
// Opera, which is exactly focusable and hot-tracked). Calls that fail find nothing and the
// walk goes on; a failing child enumeration throws its error.
std::optional<std::string> FindAddressField(const std::shared_ptr<TAccessible>& root,
                                            TBrowserKind kind);

} // namespace tw
