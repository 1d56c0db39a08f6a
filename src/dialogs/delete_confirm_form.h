#pragma once

#include "skin/base_form.h"

class QLabel;

namespace tw {

class TImageButton;

// The question before an item leaves the time-limit list. Enter answers yes, Escape no.
class TfrmDeleteConfirm : public TfrmBase {
    Q_OBJECT
  public:
    explicit TfrmDeleteConfirm(TWindowKit& kit, QWidget* parent = nullptr);

    // Fills the question with the item's text.
    void SetItemText(const QString& itemText);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* lblDescription = nullptr;
    TImageButton* btnOk = nullptr;
    TImageButton* btnCancel = nullptr;
};

// Asks whether the item may be deleted; true exactly when OK (or Enter) answered.
bool ConfirmDelete(const QString& itemText, QWidget* owner);

} // namespace tw
