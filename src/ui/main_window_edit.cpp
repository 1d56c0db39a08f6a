// The main window's actions that reach over several of its views: starting a Block period
// and the settings wizard.
#include "base/scope_exit.h"
#include "dialogs/settings_form.h"
#include "monitor/scan_engine.h"
#include "storage/change_policy.h"
#include "storage/options.h"
#include "ui/appearance_menu.h"
#include "ui/block_view.h"
#include "ui/focus_settings.h"
#include "ui/header_time_view.h"
#include "ui/main_window.h"
#include "ui/memo_view.h"
#include "ui/today_sheet.h"

namespace tw {

void TfrmMain::btnFocusClick() {
    // What is added through "your list" goes on the list at once, whatever the Block window's
    // answer: a second use of the link then starts from the list as it now is, instead of
    // replacing what the first one chose.
    TMonitoredList changes;
    const std::optional<TDateTime> length =
        ExecuteBlockSettings(changes, this, [this](QWidget* dialog, TMonitoredList& collected) {
            Guarded(this, [&] { today_->AddThroughWizard(dialog, collected); });
        });
    today_->ApplyListChanges(changes);
    if (length) {
        engine_.StartBlock(*length); // switches the header to the Block time
        block_->Update();
    }
}

void TfrmMain::actSettingsExecute() {
    program_.HoldSaving(true);
    const TScopeExit saveAgain([this] { program_.HoldSaving(false); });
    const TAdminSession session(options_.Policy());
    TfrmSettings wizard(Kit(), options_, desktop_, this);
    if (!wizard.ShowSettingsWizard(false)) {
        return;
    }
    memos_->DayPartChange();
    memos_->Load();
    today_->ShowLimits();
    engine_.Logger().MonitoredListLoad(false); // today's total is counted already
    today_->Refresh();
    header_->Update();
    looks_->Apply();
}

} // namespace tw
