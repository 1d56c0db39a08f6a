#include "skin/window_kit.h"

#include "storage/error_log.h"

namespace tw {

void TWindowKit::ShowWarning(const QString& text, const QString& caption) {
    if (presenter_) {
        presenter_(text, caption);
        return;
    }
    log_.Report(("Notice without a message window: " + caption + ": " + text).toStdString());
}

} // namespace tw
