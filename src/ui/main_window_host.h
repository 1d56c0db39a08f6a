#pragma once

#include "monitor/program_control.h"
#include "monitor/scan_host.h"

class QWidget;

namespace tw {

class TBlockView;
class TDockController;
class THeaderTimeView;
class TMemoView;
class TOptions;
class TScanEngine;
class TTodaySheet;
class TTray;
class TUsageView;

// The main window's views as the program's view: what the engine asks and shows, and the
// desktop's notices that are the window's, each handed to the view it is for.
class TMainWindowHost : public TScanHost, public TNoticeView {
  public:
    // The views of the main window, which shows the questions over itself.
    struct TViews {
        THeaderTimeView& header;
        TBlockView& block;
        TMemoView& memos;
        TTodaySheet& today;
        TUsageView& usage;
        TDockController& dock;
        TTray& tray;
    };

    TMainWindowHost(QWidget& window, TOptions& options, TScanEngine& engine, const TViews& views);

    // TScanHost
    TReminderChoice ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                 bool fiveMinutesAllowed) override;
    void SelectDayPart(TDayPart dayPart) override;
    void SetBlockDisplay(bool on) override;
    void RedisplayAfterReset() override;
    void ShowAddressNotice(TAddressProblem problem) override;
    void ShowFailureNotice(const std::string& text) override;

    // TNoticeView
    void PutAway() override;
    void WorkAreaChanged() override;
    void HotKeyPressed() override;

  private:
    QWidget& window_;
    TOptions& options_;
    TScanEngine& engine_;
    TViews views_;
};

} // namespace tw
