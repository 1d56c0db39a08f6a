#include "dialogs/access_gate.h"

#include "dialogs/password_check_form.h"
#include "storage/options.h"

namespace tw {

bool AskAdminPassword(TOptions& options, QWidget* owner) {
    if constexpr (!TChangePolicy::PasswordGuardsSettings()) {
        return true;
    }
    TfrmPasswordCheck prompt(KitOf(owner), options, owner);
    return prompt.exec() == QDialog::Accepted;
}

TChangeDecision DecideWithPassword(TOptions& options, QWidget* owner,
                                   const std::function<TChangeDecision()>& decide) {
    const TChangeDecision first = decide();
    if (first != TChangeDecision::NeedsPassword || !AskAdminPassword(options, owner)) {
        return first;
    }
    return decide();
}

bool MayBeginChange(TOptions& options, QWidget* owner) {
    const TChangePolicy& policy = options.Policy();
    return DecideWithPassword(options, owner, [&policy] { return policy.DecideChange(); }) ==
           TChangeDecision::Allowed;
}

} // namespace tw
