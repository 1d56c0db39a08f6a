#pragma once

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace tw {

class TfrmBase;
class TOptions;
struct TChosenSettings;

// The settings wizard's time-limit page: the time-up action and the daily limit, with what
// was shown when the wizard opened, so that Apply can tell a change from none.
class TSettingsLimitPage {
  public:
    TSettingsLimitPage(QWidget* sheet, const TOptions& options);

    void Load();
    // An unreadable limit is refused with a notice from the window.
    bool Validate(TfrmBase& window);
    void SetEditable(bool editable);
    void Fill(TChosenSettings& chosen) const;

  private:
    const TOptions& options_;
    int loadedSeconds_ = 0;
    int loadedAction_ = 0;
    QLabel *lblExpirationInfo = nullptr, *lblAction = nullptr, *lblTimeLimit = nullptr,
           *lblHoursMinutes = nullptr, *lblExpirationNote = nullptr;
    QComboBox* cbxExpirationAction = nullptr;
    QLineEdit* medTimeLimit = nullptr;
};

} // namespace tw
