#pragma once

#include "dialogs/notice_form.h"

class QLabel;

namespace tw {

class TImageButton;

// The window for a failure no handler caught: an apology, a "contact us" link to the help
// page, and the error text, which is not shown but can be copied to the clipboard.
class TfrmErrorMessage : public TfrmNotice {
    Q_OBJECT
  public:
    explicit TfrmErrorMessage(TWindowKit& kit, QWidget* parent = nullptr);

    void SetErrorText(const QString& text) { errorText_ = text; }
    QString ErrorText() const { return errorText_; }

  private:
    QLabel* lblDescription = nullptr;
    QLabel* lblContactUs = nullptr;
    TImageButton* btnCopyErrorToClipboard = nullptr;
    TImageButton* btnOk = nullptr;
    QString errorText_;
};

// Shows the error window for the message and waits until it is closed.
void ShowApplicationError(TWindowKit& kit, const QString& errorText);

} // namespace tw
