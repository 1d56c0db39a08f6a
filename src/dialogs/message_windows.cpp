#include "dialogs/message_windows.h"

#include "base/exception.h"
#include "base/scope_exit.h"
#include "dialogs/error_message_form.h"
#include "dialogs/warning_form.h"
#include "storage/error_log.h"

namespace tw {

void InstallMessageWindows(TWindowKit& kit) {
    kit.SetWarningPresenter(
        [&kit](const QString& text, const QString& caption) { ShowWarning(kit, text, caption); });
}

void ReportApplicationException(TWindowKit& kit, const std::exception& e) {
    try {
        kit.Log().Report(ErrorReportText(e, "; ReportApplicationException:"));
        if (kit.ErrorWindowShowing()) {
            return;
        }
        kit.SetErrorWindowShowing(true);
        TScopeExit clear([&kit] { kit.SetErrorWindowShowing(false); });
        ShowApplicationError(kit, QString::fromUtf8(e.what()));
    } catch (...) {
        // The last handler there is: nothing may leave it.
    }
}

void ReportApplicationException(const QObject* inWindow, const std::exception& e) {
    try {
        ReportApplicationException(KitOf(inWindow), e);
    } catch (...) {
        // Outside every window there is nowhere to report to; the handler still may not
        // throw.
    }
}

} // namespace tw
