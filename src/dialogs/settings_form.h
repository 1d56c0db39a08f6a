#pragma once

#include "items/monitored_list.h"
#include "skin/base_form.h"
#include "skin/skins.h"

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace tw {

class TImageButton;
class TDesktop;
class TOptions;

// "Settings": every setting reviewed in one pass, page by page — the window's appearance,
// the administrator password (in the administrator-managed edition), the list, the time-up
// action and the daily limit, the memos. It works on copies and writes them on Apply; only
// the appearance is written at once, for a live preview, and put back on Cancel.
class TfrmSettings : public TfrmBase {
    Q_OBJECT
  public:
    // The desktop names the running programs the add wizard offers.
    TfrmSettings(TOptions& options, TDesktop& desktop, QWidget* parent = nullptr);
    ~TfrmSettings() override;

    // Runs the wizard modally; true when it was closed by Apply. At the first start
    // (firstRun) the self-managed edition works with administrator rights.
    bool ShowSettingsWizard(bool firstRun);

    QWidget* CurrentSheet() const { return currentSheet_; }
    const TMonitoredList& WorkingList() const { return workingList_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget *pcSettings = nullptr, *tsBackground = nullptr, *tsLogon = nullptr,
            *tsMonitoredList = nullptr, *tsExpiration = nullptr, *tsReminder = nullptr;
    QLabel* lblPageTitle = nullptr;
    TImageButton *btnBack = nullptr, *btnNext = nullptr;
    // Background.
    QLabel *lblBackgroundInfo = nullptr, *lblTextColor = nullptr, *lblBackground = nullptr,
           *lblColor = nullptr, *lblImage = nullptr, *lblTransparency = nullptr;
    QComboBox *cbxTextColor = nullptr, *cbxColor = nullptr, *cbxImage = nullptr,
              *cbxTransparency = nullptr;
    TImageButton* btnBrowseImage = nullptr;
    QCheckBox* chkStartAtLogin = nullptr;
    // Logon.
    QLabel *lblStart_Description = nullptr, *lblStart_Password = nullptr,
           *lblStart_ConfirmPassword = nullptr, *lblStorePasswordOnline = nullptr,
           *lblNote = nullptr, *lblForgotPassword = nullptr,
           *lblAllowUserToChangeSettings = nullptr, *imgAllowUserToChangeSettings_Yes = nullptr,
           *imgAllowUserToChangeSettings_No = nullptr;
    QLineEdit *edtStart_Password = nullptr, *edtStart_ConfirmPassword = nullptr;
    TImageButton* btnChangePassword = nullptr;
    // Apps.
    QLabel *lblAppsInfo = nullptr, *lblAppsName = nullptr, *lblAppsType = nullptr;
    QListWidget* lbxAppSites = nullptr;
    TImageButton *btnApp_Add = nullptr, *btnApp_Delete = nullptr;
    // Expiration.
    QLabel *lblExpirationInfo = nullptr, *lblAction = nullptr, *lblTimeLimit = nullptr,
           *lblHoursMinutes = nullptr, *lblExpirationNote = nullptr;
    QComboBox* cbxExpirationAction = nullptr;
    QLineEdit* medTimeLimit = nullptr;
    // Reminder.
    QLabel *lblReminderTitle = nullptr, *lblReminder = nullptr, *lblReminderChange = nullptr;
    QComboBox *cbxReminder = nullptr, *cbReminderChangePeriod = nullptr;
    QPlainTextEdit* memReminder = nullptr;

    void StepNext();
    void StepBack();
    void btnAddClick();
    void btnDeleteClick();
    void btnChangePasswordClick();
    void btnBrowseImageClick();

    // settings_form.cpp
    void CreateBackgroundSheet();
    void CreateLogonSheet();
    void CreateListSheet();
    void CreateExpirationSheet();
    void CreateReminderSheet();
    QList<QWidget*> VisibleSheets() const;
    void ShowPage(QWidget* sheet);
    // settings_form_steps.cpp
    void LoadPages();
    void LoadExpirationPage();
    void LoadListPage();
    void LoadReminderPage();
    void LoadStartAtLogin();
    void RefreshList();
    void EnableGuardedControls(bool usable);
    void cbxReminderChange();
    void memReminderChange();
    void RefreshReminderTicks();
    void Apply();
    // settings_form_appearance.cpp
    void LoadAppearance();
    void RestoreAppearance();
    void cbxTextColorChange();
    void cbxColorChange();
    void cbxTransparencyChange();
    void cbxImageChange();
    void SelectImageEntry();
    // settings_form_logon.cpp
    void SetUpLogonPage();
    bool ValidateLogonPage();
    void edtStart_PasswordChange();
    void ShowAllowToggle(bool visible);
    void FlipAllowToggle();
    bool AllowToggleOn() const;

    TOptions& options_;
    TDesktop& desktop_;
    bool firstRun_ = false;
    QWidget* currentSheet_ = nullptr;
    TMonitoredList workingList_;
    std::array<std::string, 3> texts_;
    TSkinList skins_;
    bool loadingImage_ = false;
    int loadedSeconds_ = 0;
    int loadedAction_ = 0;
    // The appearance as it was, put back on Cancel.
    int rememberedTransparency_ = 0;
    int rememberedColor_ = 0;
    int rememberedTextColor_ = 0;
    std::string rememberedImage_;
};

// The first start: marks it past and runs the wizard with first-run rights, once. Settings
// that could not be read are no first start: the wizard would offer defaults in their place.
// True when this was the first start.
bool ShowFirstRunSettings(TOptions& options, TDesktop& desktop);

} // namespace tw
