#pragma once

#include "monitor/program_control.h"
#include "monitor/scan_engine.h"
#include "monitor/scan_host.h"
#include "skin/base_form.h"
#include "ui/dock_controller.h"
#include "ui/guarded.h"

#include <memory>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTimer;

namespace tw {

class TAppearanceMenu;
class TBlockView;
class THeaderTimeView;
class TImageButton;
class TMemoView;
class TTodaySheet;
class TTray;
class TUsageView;

// The program's one permanent window: a narrow panel docked to a screen edge showing
// today's time on the list, the memo, the list and the usage view. It is the program's view:
// it lays out its views (the header's time and Block time, the memos, today's sheet, the
// usage sheet), the dock and the tray, wires the menus to them, shows what the engine holds
// and asks the person what the engine asks.
class TfrmMain : public TfrmBase, public TScanHost, public TNoticeView {
    Q_OBJECT
  public:
    // Attaches itself to the program as its view until it goes.
    TfrmMain(TDesktop& desktop, TOptions& options, TProgramControl& program);
    ~TfrmMain() override;

    TScanEngine& Engine() { return engine_; }
    bool IsPaused() const { return engine_.IsPaused(); }

    // TScanHost
    TReminderChoice ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                 bool fiveMinutesAllowed) override;
    void SelectDayPart(TDayPart dayPart) override;
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

    // Header time and Block time.
    void UpdateTimeValue();
    void UpdateBlockTimeValue();

    // Lists.
    void RefreshTodayList();
    void RefreshUsageList();
    // Merges what the add wizard handed back into the list and today's list, and saves.
    void ApplyListChanges(const TMonitoredList& changes);

    // Docking and auto-hide.
    TDockController& Dock() { return dock_; }
    void DockPosition();
    bool CanMoveTo(int left, int top) override;
    TWorkArea CurrentWorkArea() const;

    // Minimizing: hides to the tray, or, without a tray, minimizes like any window so it
    // can still be found.
    void MinimizeApplication();
    void RestoreApplication();
    // Where the desktop offers no tray, the window stays reachable: set before showing.
    void SetTrayAvailable(bool available) { trayAvailable_ = available; }
    // The program starts in the tray, or, without one, as a window; after the first start's
    // settings it is shown once in the All view.
    void ShowAtStart(bool trayAvailable, bool firstStart = false);

    // The background, skins, text colour and transparency.
    TAppearanceMenu& Looks() { return *looks_; }

    // TNoticeView: the desktop's notices that are the window's, from the program.
    void PutAway() override;
    void WorkAreaChanged() override;

  signals:
    // The person asked the program to end (the tray menu's Exit, where it is offered).
    void TerminateRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // main_window_layout.cpp
    void CreatePages();
    void CreateMenus();
    void ConnectControls();
    // main_window.cpp
    void LoadFromOptions();
    void HotKeyPressed() override;
    // main_window_views.cpp
    void btnFocusClick();
    // The list actions (main_window_lists.cpp, main_window_edit.cpp).
    void cbxUsage_PeriodChange();
    void btnApp_DeleteClick();
    void actTimeEditExecute();
    void btnApp_AddClick();
    void actSettingsExecute();
    // What the list actions ask of the views.
    void cbxReminderChange();
    void RefreshUsageChart();
    void ApplyAppearance();

    TDesktop& desktop_;
    TOptions& options_;
    TProgramControl& program_;
    TScanEngine& engine_;
    TDockController dock_;
    // The pages: their controls are shown on the window itself (ShowSheetControls).
    QWidget *tsMain, *tsReminder, *tsUsage;
    QWidget* currentSheet_ = nullptr;
    bool isLiteView_ = true;
    bool trayAvailable_ = true;
    std::unique_ptr<THeaderTimeView> header_;
    std::unique_ptr<TBlockView> block_;
    std::unique_ptr<TMemoView> memos_;
    std::unique_ptr<TTodaySheet> today_;
    std::unique_ptr<TUsageView> usage_;
    std::unique_ptr<TTray> tray_;
    std::unique_ptr<TAppearanceMenu> looks_;
    // The views' controls and state the list actions reach by these names.
    QListWidget *lbxMain_Applications, *lbxUsage_Applications;
    QComboBox* cbxUsage_Period;
    QLineEdit *edtTimeLimit, *edtAction;
    QPlainTextEdit *mmReminderMorning, *mmReminderAfternoon, *mmReminderEvening;
    // Set while the program writes the memos (the memo view's), so that their change
    // handlers store nothing back.
    bool memoUpdating_ = false;
    const TWorkArea& workArea_;
};

} // namespace tw
