#pragma once

#include "dialogs/notice_form.h"

class QLabel;

namespace tw {

class TImageButton;

// The one-button notice. Enter and Escape both act as OK.
class TfrmWarning : public TfrmNotice {
    Q_OBJECT
  public:
    explicit TfrmWarning(TWindowKit& kit, QWidget* parent = nullptr);

    void SetMessage(const QString& message);

  private:
    QLabel* lblWarning = nullptr; // centred, word-wrapped, in a fixed 339 x 38 area
    TImageButton* btnOk = nullptr;
};

// Shows the notice with the caption in its header and waits until it is dismissed.
void ShowWarning(TWindowKit& kit, const QString& message, const QString& caption);

} // namespace tw
