#pragma once

#include "skin/base_form.h"

namespace tw {

// A message window that only informs: Enter and Escape both close it as OK.
class TfrmNotice : public TfrmBase {
    Q_OBJECT
  public:
    using TfrmBase::TfrmBase;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tw
