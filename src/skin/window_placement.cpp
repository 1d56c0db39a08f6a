#include "skin/window_placement.h"

#include <QGuiApplication>

namespace tw {

bool CanPlaceOwnWindows() {
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

} // namespace tw
