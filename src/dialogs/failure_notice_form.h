#pragma once

#include "dialogs/notice_form.h"

class QTextEdit;

namespace tw {

class TImageButton;

// The notice for a failure that concerns the person's own data: what went wrong, the
// file's path and what Tallywick does about it. Unlike the short warning it grows with
// its text, long paths wrap anywhere rather than being cut off, and the text can be
// selected and copied.
class TfrmFailureNotice : public TfrmNotice {
    Q_OBJECT
  public:
    explicit TfrmFailureNotice(TWindowKit& kit, QWidget* parent = nullptr);

    void SetMessage(const QString& message);

  private:
    QTextEdit* mmMessage = nullptr;
    TImageButton* btnOk = nullptr;
};

// Shows the notice under the caption "Please Note" and waits until it is dismissed.
void ExecuteFailureNotice(TWindowKit& kit, const QString& message);

} // namespace tw
