#pragma once

#include "monitor/program_control.h"
#include "skin/base_form.h"
#include "ui/dock_controller.h"
#include "ui/guarded.h"

#include <memory>

namespace tw {

class TAppearanceMenu;
class TBlockView;
class TDesktop;
class THeaderTimeView;
class TMainWindowHost;
class TMemoView;
class TOptions;
class TScanEngine;
class TTodaySheet;
class TTray;
class TUsageView;

// The program's one permanent window: a narrow panel docked to a screen edge showing
// today's time on the list, the memo, the list and the usage view. It lays out its views
// (the header's time and Block time, the memos, today's sheet, the usage sheet), the dock
// and the tray, and wires the menus and the views to each other; its views are the
// program's view (TMainWindowHost).
class TfrmMain : public TfrmBase {
    Q_OBJECT
  public:
    // Attaches its views to the program as its view until it goes.
    TfrmMain(TWindowKit& kit, TDesktop& desktop, TOptions& options, TProgramControl& program);
    ~TfrmMain() override;

    // Views and paging.
    void ShowView(QWidget* sheet, bool lite);
    QWidget* CurrentSheet() const { return currentSheet_; }
    bool IsLiteView() const { return isLiteView_; }
    // The client height the current view wants: the work area's, or just below the memo.
    int WantedHeight() const;

    // Docking and auto-hide.
    TDockController& Dock() { return dock_; }
    bool CanMoveTo(int left, int top) override;

    // Where the desktop offers no tray, the window stays reachable: set before showing.
    void SetTrayAvailable(bool available);
    // The program starts in the tray, or, without one, as a window; after the first start's
    // settings it is shown once in the All view.
    void ShowAtStart(bool trayAvailable, bool firstStart = false);

    // The background, skins, text colour and transparency.
    TAppearanceMenu& Looks() { return *looks_; }

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
    // main_window_actions.cpp: what joins several views.
    void btnFocusClick();
    void actSettingsExecute();

    TDesktop& desktop_;
    TOptions& options_;
    TProgramControl& program_;
    TScanEngine& engine_;
    TDockController dock_;
    // The pages: their controls are shown on the window itself (ShowSheetControls).
    QWidget *tsMain, *tsReminder, *tsUsage;
    QWidget* currentSheet_ = nullptr;
    bool isLiteView_ = true;
    std::unique_ptr<THeaderTimeView> header_;
    std::unique_ptr<TBlockView> block_;
    std::unique_ptr<TMemoView> memos_;
    std::unique_ptr<TTodaySheet> today_;
    std::unique_ptr<TUsageView> usage_;
    std::unique_ptr<TTray> tray_;
    std::unique_ptr<TAppearanceMenu> looks_;
    std::unique_ptr<TMainWindowHost> host_;
};

} // namespace tw
