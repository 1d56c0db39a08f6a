#pragma once

#include "skin/base_form.h"

#include <memory>

class QLabel;

namespace tw {

class TImageButton;
class TDesktop;
class TMonitoredList;
class TOptions;
class TSettingsAppearancePage;
class TSettingsLimitPage;
class TSettingsListPage;
class TSettingsLogonPage;
class TSettingsReminderPage;

// "Settings": every setting reviewed in one pass, page by page — the window's appearance,
// the administrator password (in the administrator-managed edition), the list, the time-up
// action and the daily limit, the memos. It works on copies and writes them on Apply; only
// the appearance is written at once, for a live preview, and put back on Cancel. The window
// lays the pages out and steps through them; each page owns its controls and what they do.
class TfrmSettings : public TfrmBase {
    Q_OBJECT
  public:
    // The desktop names the running programs the add wizard offers.
    TfrmSettings(TWindowKit& kit, TOptions& options, TDesktop& desktop, QWidget* parent = nullptr);
    ~TfrmSettings() override;

    // Runs the wizard modally; true when it was closed by Apply. At the first start
    // (firstRun) the self-managed edition works with administrator rights.
    bool ShowSettingsWizard(bool firstRun);

    QWidget* CurrentSheet() const { return currentSheet_; }
    const TMonitoredList& WorkingList() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget *pcSettings = nullptr, *tsBackground = nullptr, *tsLogon = nullptr,
            *tsMonitoredList = nullptr, *tsExpiration = nullptr, *tsReminder = nullptr;
    QLabel* lblPageTitle = nullptr;
    TImageButton *btnBack = nullptr, *btnNext = nullptr;
    std::unique_ptr<TSettingsAppearancePage> appearance_;
    std::unique_ptr<TSettingsLogonPage> logon_;
    std::unique_ptr<TSettingsListPage> list_;
    std::unique_ptr<TSettingsLimitPage> limit_;
    std::unique_ptr<TSettingsReminderPage> reminders_;

    QList<QWidget*> VisibleSheets() const;
    void ShowPage(QWidget* sheet);
    void LoadPages();
    void StepNext();
    void StepBack();
    void Apply();

    TOptions& options_;
    bool firstRun_ = false;
    QWidget* currentSheet_ = nullptr;
};

// The first start: marks it past and runs the wizard with first-run rights, once. Settings
// that could not be read are no first start: the wizard would offer defaults in their place.
// True when this was the first start.
bool ShowFirstRunSettings(TWindowKit& kit, TOptions& options, TDesktop& desktop);

} // namespace tw
