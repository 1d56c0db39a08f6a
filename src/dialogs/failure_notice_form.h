#pragma once

#include "dialogs/notice_form.h"

class QLabel;

namespace tw {

class TImageButton;

// The notice for a failure that concerns the person's own data: what went wrong, the
// file's path and what Tallywick does about it. Unlike the short warning it grows with
// its text, so that a long path is never cut off, and the text can be selected and copied.
class TfrmFailureNotice : public TfrmNotice {
    Q_OBJECT
  public:
    explicit TfrmFailureNotice(QWidget* parent = nullptr);

    void SetMessage(const QString& message);

    QLabel* lblMessage = nullptr;
    TImageButton* btnOk = nullptr;
};

// Shows the notice under the caption "Please Note" and waits until it is dismissed.
void ExecuteFailureNotice(const QString& message);

} // namespace tw
