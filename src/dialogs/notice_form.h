#pragma once

#include "skin/base_form.h"

class QLabel;

namespace tw {

// A message window that only informs: Enter and Escape both close it as OK.
class TfrmNotice : public TfrmBase {
    Q_OBJECT
  public:
    using TfrmBase::TfrmBase;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Message texts stand white on the dark body, whatever the chosen text colour.
void SetWhiteText(QLabel* label);

} // namespace tw
