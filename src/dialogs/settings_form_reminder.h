#pragma once

#include <QObject>

#include <array>
#include <string>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace tw {

class TOptions;
struct TChosenSettings;

// The settings wizard's memo page: the three memos edited one at a time behind the selector
// of the part of the day, and how often to be asked to write them afresh.
class TSettingsReminderPage : public QObject {
  public:
    TSettingsReminderPage(QWidget* sheet, const TOptions& options);

    void Load();
    void Fill(TChosenSettings& chosen) const;

  private:
    void PartChange();
    void MemoChange();
    void RefreshTicks();

    const TOptions& options_;
    std::array<std::string, 3> texts_;
    QLabel *lblReminderTitle = nullptr, *lblReminder = nullptr, *lblReminderChange = nullptr;
    QComboBox *cbxReminder = nullptr, *cbReminderChangePeriod = nullptr;
    QPlainTextEdit* memReminder = nullptr;
};

} // namespace tw
