#pragma once

namespace tw {

// Presents every picture button to the accessibility tools as a push button named by its
// accessible name or else its caption, with a press action that clicks it. Installed once,
// by the first button made.
void InstallImageButtonAccessibility();

} // namespace tw
