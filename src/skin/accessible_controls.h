#pragma once

namespace tw {

// Makes the program's own controls known to screen readers (and to tests that drive the
// windows through the accessibility bus): a picture button is a button named by its caption,
// or by its hint where it shows only a picture, that can be pressed; a link text is a link;
// a picture panel is a plain pane. Every window does this when created; once is enough.
void InstallAccessibleControls();

} // namespace tw
