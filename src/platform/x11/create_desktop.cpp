#include "platform/x11/x11_desktop.h"

namespace tw {

std::unique_ptr<TDesktop> CreateDesktop() {
    return std::make_unique<TX11Desktop>();
}

} // namespace tw
