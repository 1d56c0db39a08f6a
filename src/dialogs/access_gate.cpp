#include "dialogs/access_gate.h"

#include "dialogs/password_check_form.h"
#include "storage/options.h"

namespace tw {

bool AskAdminPassword(TOptions& options, QWidget* owner) {
    if constexpr (!TOptions::PasswordGuardsSettings()) {
        return true;
    }
    TfrmPasswordCheck prompt(options, owner);
    return prompt.exec() == QDialog::Accepted;
}

bool ChangeGate(TOptions& options, QWidget* owner) {
    return !options.ChangeNeedsPassword() || AskAdminPassword(options, owner);
}

} // namespace tw
