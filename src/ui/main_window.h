#pragma once

#include "monitor/program_control.h"
#include "monitor/scan_engine.h"
#include "monitor/scan_host.h"
#include "skin/base_form.h"
#include "skin/form_controls.h"
#include "ui/dock_geometry.h"

#include <QRect>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSystemTrayIcon;
class QTimer;

namespace tw {

class TImageButton;
class TImagePanel;
class TLinkLabel;
class TUsageChart;

// The program's one permanent window: a narrow panel docked to a screen edge showing
// today's time on the list, the memo, the list and the usage view. It is the program's view:
// it shows what the engine holds, asks the person what the engine asks, and keeps only the
// timers of what it shows.
class TfrmMain : public TfrmBase, public TScanHost, public TNoticeView {
    Q_OBJECT
  public:
    // The views of the view menu; Lite shows the main sheet cut off below the memo.
    enum TView { vwAll = 0, vwReminders = 1, vwUsage = 2, vwLite = 3 };

    // Attaches itself to the program as its view until it goes.
    TfrmMain(TDesktop& desktop, TOptions& options, TProgramControl& program);
    ~TfrmMain() override;

    TScanEngine& Engine() { return engine_; }
    bool IsPaused() const { return engine_.IsPaused(); }

    // TScanHost
    TReminderChoice ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                 bool fiveMinutesAllowed) override;
    void SelectDayPart(int dayPart) override;
    void SetBlockDisplay(bool on) override;
    void RedisplayAfterReset() override;
    void ShowAddressNotice(TAddressProblem problem) override;
    void ShowFailureNotice(const std::string& text) override;

    // Views and paging.
    void ShowView(QWidget* sheet, bool lite);
    QWidget* CurrentSheet() const { return currentSheet_; }
    bool IsLiteView() const { return isLiteView_; }
    // The client height the current view wants: the work area's, or just below the memo.
    int WantedHeight() const;

    // Header time.
    int TimeFormatIndex = 0;
    void UpdateTimeDisplay();
    void UpdateTimeValue();
    int BlockTimeFormatIndex = 1;
    void UpdateBlockTimeValue();

    // Memos: the marks of the day-part selector's list (which parts have a memo).
    void RefreshMemoMarks();

    // Lists.
    void RefreshTodayList();
    void RefreshUsageList();
    // Merges what the add wizard handed back into the list and today's list, and saves.
    void ApplyListChanges(const TMonitoredList& changes);

    // Docking and auto-hide.
    int Align() const { return align_; }
    int AlignVertical() const { return alignVertical_; }
    void SetAlign(int value);
    void SetAlignVertical(int value);
    void DockPosition();
    bool CanMoveTo(int left, int top) override;
    // Whether the user is with the window: it is in front, or the mouse is over it.
    bool ApplicationInFocus();
    TWorkArea CurrentWorkArea() const;

    // Minimizing: hides to the tray, or, without a tray, minimizes like any window so it
    // can still be found.
    void MinimizeApplication();
    void RestoreApplication();
    // Where the desktop offers no tray, the window stays reachable: set before showing.
    void SetTrayAvailable(bool available) { trayAvailable_ = available; }
    bool TrayAvailable() const { return trayAvailable_; }
    // The program starts in the tray, or, without one, as a window; after the first start's
    // settings it is shown once in the All view.
    void ShowAtStart(bool trayAvailable, bool firstStart = false);

    // Skins: name and path of every picture in the Skins folder (and below), by name.
    const std::vector<std::pair<QString, QString>>& SkinList() const { return skinList_; }
    void SetSkinsFolder(const QString& folder);

    // TNoticeView: the desktop's notices that are the window's, from the program.
    void PutAway() override;
    void WorkAreaChanged() override;

  private:
    // Controls, named as their object names; tests find them by those names.
    TImageButton *btnView, *btnLinks, *btnMinimize;
    TLinkLabel* lblMain_TimeLink;
    QLabel *lblMain_TimeTitle, *lblMain_Time;
    TImagePanel* pnlMain_TimeOnline;
    TImageButton* btnFocus;
    TImagePanel* pnlMain_FocusTime;
    QLabel *lblMain_FocusTimeTitle, *lblMain_FocusTime;
    TLinkLabel* lblMain_FocusModeTimeLink;
    TImageButton *btnBack, *btnNext;
    QWidget *pcMain, *tsMain, *tsReminder, *tsUsage;
    // tsMain
    QLabel* lblReminder;
    TImagePanel* pnlReminderCombo;
    QComboBox* cbxReminder;
    TImageButton* btnReminderCombo;
    TImagePanel* pnlReminder;
    QPlainTextEdit* mmReminder;
    QLabel* imgComboBoxCheck;
    QLabel* lblMain_Applications;
    TImagePanel *pnlApp_Name, *pnlApp_Type, *pnlApp_Time;
    QLabel *lblApp_Name, *lblApp_Type, *lblApp_Time;
    TImageButton *btnApp_Add, *btnApp_Delete;
    TImagePanel* pnlMain_Applications;
    QListWidget* lbxMain_Applications;
    QLabel* lblAction;
    TImagePanel* pnlAction;
    QLineEdit* edtAction;
    TImageButton* btnTimeEdit;
    QLabel* lblTimeLimit;
    TImagePanel* pnlAfter;
    QLineEdit* edtTimeLimit;
    // tsReminder
    QLabel *lblReminderMorning, *lblReminderAfternoon, *lblReminderEvening;
    TImagePanel *pnlReminderMorning, *pnlReminderAfternoon, *pnlReminderEvening;
    QPlainTextEdit *mmReminderMorning, *mmReminderAfternoon, *mmReminderEvening;
    // tsUsage
    TImagePanel* pnlUsage_Period;
    QComboBox* cbxUsage_Period;
    TImageButton* btnComboUsagePeriod;
    QLabel* lblUsage_Applications;
    TImagePanel *pnlHeader_Name, *pnlHeader_Type, *pnlHeader_Time;
    QLabel *lblHeader_Name, *lblHeader_Type, *lblHeader_Time;
    TImagePanel* pnlUsage_Applications;
    QListWidget* lbxUsage_Applications;
    TUsageChart* chtUsage;
    TImageButton* btnUsage_Export;

    // Menus and actions.
    QMenu *pmnView, *pmnAddons, *pmnTray, *miBackground, *miBackgroundImage;
    QActionGroup* viewGroup;
    QAction *actViewMain, *actViewRemindersOnly, *actViewUsage, *actViewLite;
    QAction *actMinimize, *actExit, *actAutohide, *actSettings, *actTimeEdit;
    // Whether the program starts with the person's session (their own switch over the
    // system's autostart entry); checked as the next login will do.
    QAction* actStartAtLogin;
    QAction *miBackgroundImageBrowse, *miClearBackgroundImage;
    QSystemTrayIcon* trayIcon;

    // The view's timers, named as their object names; the program runs its own.
    QTimer *tmrTime, *tmrUsage, *tmrReminderChange, *tmrAutohide, *tmrAutohideSlide,
        *tmrDeactivation;

  signals:
    // The person asked the program to end (the tray menu's Exit, where it is offered).
    void TerminateRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The colours, picture and docking stored with the options.
    TAppearance& Appearance() { return options_.Appearance(); }

    // main_window_layout.cpp
    void CreateHeader();
    void CreateMainSheet();
    void CreateReminderSheet();
    void CreateUsageSheet();
    void CreateMenus();
    void CreateTimers();
    void CreateTray();
    // main_window.cpp
    void LoadFromOptions();
    void tmrTimeTimer();
    void tmrUsageTimer();
    // main_window_views.cpp
    void btnBackClick();
    void btnNextClick();
    void actChangeTimeFormatExecute();
    void actChangeFocusModeTimeFormatExecute();
    void actMinimizeExecute();
    void btnFocusClick();
    // main_window_lists.cpp
    void cbxUsage_PeriodChange();
    // main_window_usage.cpp
    void RefreshUsageChart();
    void btnUsage_ExportClick();
    void btnApp_DeleteClick();
    void actTimeEditExecute();
    // main_window_memos.cpp
    void CreateMemoMarks();
    void tmrReminderChangeTimer();
    void cbxReminderChange();
    void mmReminderChange();
    void ReminderSheetMemoChange(int part);
    // The Reminders sheet's memo of a part of the day.
    QPlainTextEdit* SheetMemo(int part) const;
    // main_window_edit.cpp
    void btnApp_AddClick();
    void actSettingsExecute();
    // main_window_dock.cpp
    void tmrDeactivationTimer();
    void tmrAutohideTimer();
    void tmrAutohideSlideTimer();
    void actAutohideExecute();
    void TrayLeftClick();
    void HotKeyPressed() override;
    // main_window_appearance.cpp
    void miBackgroundColorClick();
    void miBackgroundImageClick();
    void miClearBackgroundImageClick();
    void SkinSetClick(int tag);
    void ChangeImage(const QString& path);
    void miTextColorClick();
    void miTransparencyClick();
    void BuildSkinList();
    void BuildImageMenu();
    void ApplyAppearance();

    // Runs a handler; what it throws goes to the application-wide handler, and the window
    // carries on.
    template <class F> void Guarded(F&& handler);
    // Connects a timer to a handler that does nothing while the engine is paused.
    void OnTimer(QTimer* timer, void (TfrmMain::*handler)());

    TDesktop& desktop_;
    TOptions& options_;
    TProgramControl& program_;
    TScanEngine& engine_;
    QWidget* currentSheet_ = nullptr;
    bool isLiteView_ = true;
    int align_ = daRight;
    int alignVertical_ = dvNone;
    TWorkArea workArea_;
    bool trayAvailable_ = true;
    bool memoUpdating_ = false;
    bool memoPromptOpen_ = false;
    TDateTime lastAltPress_ = 0;
    QString skinsFolder_;
    std::vector<std::pair<QString, QString>> skinList_;
    std::vector<QAction*> skinActions_;
};

// What a handler of the main window throws goes to the application-wide handler.
void ReportHandlerException(const std::exception& e);

template <class F> void TfrmMain::Guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportHandlerException(e);
    }
}

} // namespace tw
