#include "platform/win32/win32_desktop.h"

namespace tw {

std::unique_ptr<TDesktop> CreateDesktop() {
    return std::make_unique<TWin32Desktop>();
}

} // namespace tw
