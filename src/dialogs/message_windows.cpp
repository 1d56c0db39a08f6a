#include "dialogs/message_windows.h"

#include "base/exception.h"
#include "base/scope_exit.h"
#include "dialogs/error_message_form.h"
#include "dialogs/warning_form.h"
#include "storage/error_log.h"

namespace tw {

void InstallMessageWindows() {
    TfrmBase::SetWarningPresenter(
        [](const QString& text, const QString& caption) { ShowWarning(text, caption); });
}

void ReportApplicationException(const std::exception& e) {
    static bool showing = false;
    try {
        TfrmBase::Log().Report(ErrorReportText(e, "; ReportApplicationException:"));
        if (showing) {
            return;
        }
        showing = true;
        TScopeExit clear([] { showing = false; });
        ShowApplicationError(QString::fromUtf8(e.what()));
    } catch (...) {
        // The last handler there is: nothing may leave it.
    }
}

} // namespace tw
