#include "dialogs/access_gate.h"

#include "dialogs/password_check_form.h"
#include "storage/access.h"
#include "storage/options.h"

namespace tw {

bool AskAdminPassword(TOptions& options, QWidget* owner) {
    if constexpr (EditionValue == 2) {
        return true;
    }
    TfrmPasswordCheck prompt(options, owner);
    return prompt.exec() == QDialog::Accepted;
}

bool ChangeGate(TOptions& options, QWidget* owner) {
    return EditionValue > 1 || options.AllowUserToChangeSettings ||
           AskAdminPassword(options, owner);
}

} // namespace tw
