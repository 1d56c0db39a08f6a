#pragma once

#include "base/date_time.h"
#include "skin/base_form.h"

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;

namespace tw {

class TImageButton;
class TImagePanel;
class TLinkLabel;
class TMonitoredList;

// "Block Mode": how long every listed site and application is to be closed on sight.
// What the link "your list" opens over the dialog: the add wizard, collecting the sites and
// applications chosen there in the change list.
using TYourListAction = std::function<void(QWidget* dialog, TMonitoredList& changes)>;

class TfrmFocusSettings : public TfrmBase {
    Q_OBJECT
  public:
    explicit TfrmFocusSettings(TWindowKit& kit, QWidget* owner);

    // Shows the dialog; the length chosen on OK, nothing on Cancel.
    std::optional<TDateTime> Execute(TMonitoredList& changes, const TYourListAction& yourList);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void btnOkClick();

    QLabel* lblAppsDescription;
    QLabel* lblTimeLimit;
    TLinkLabel* lblAppWizardLink;
    TImagePanel* pnlAfter;
    QLineEdit* medTimeLimit;
    QLabel* lblHoursMinutes;
    QLabel* lblNote;
    TImageButton* btnOk;
    TImageButton* btnCancel;
};

// Asks for the length of a Block period, "00:01" to "23:59". Returns it as a day fraction
// on OK, nothing on Cancel. Additions made through the link stay in `changes` either way.
std::optional<TDateTime> ExecuteBlockSettings(TMonitoredList& changes, QWidget* owner,
                                              const TYourListAction& yourList);

} // namespace tw
