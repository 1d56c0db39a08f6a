#pragma once

#include "skin/pictures.h"

namespace tw {

// The main window's pictures by role: the small header and list glyphs and the column
// strips are drawn here, everything else comes from the program's picture resources.
// Roles: "view", "tools", "minimize", "add", "delete", "column", "panel", "pill", "combo",
// "combo_arrow", "tray". An unknown role is a programming error (EAssertionFailed).
TPicture MainWindowPicture(const char* role);

} // namespace tw
