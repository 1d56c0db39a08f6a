#pragma once

#include "app/program_timers.h"
#include "monitor/program_control.h"
#include "monitor/scan_engine.h"
#include "monitor/scan_host.h"
#include "platform/desktop.h"
#include "platform/instance_lock.h"
#include "platform/session_end.h"
#include "storage/data_folder.h"
#include "storage/options.h"

#include <functional>
#include <memory>

namespace tw {

class TLogPurge;
class TRollupBuild;

// The program, with or without windows: its data folder (settings file, activity database),
// the options, the engine, the single-instance lock, the end of the session, the desktop's
// notices and the program's timers. Both entries build it and take it through the same
// steps; the windowed one attaches its main window as the view that shows the engine's state
// and asks the person.
class TProgram final : public TProgramControl, private TScanHost, private TScanTimers {
  public:
    // Over the places the entry found (the system's, or a test's own folders).
    // The lock is taken from locks (the system's, or a test's scripted ones).
    TProgram(TDesktop& desktop, TInstanceLocks& locks, TProgramTimers& timers, TPlaces places);
    ~TProgram() override;
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // --- start-up, in this order ---
    // Takes the single-instance lock; false when another copy holds it. Throws when the lock
    // file cannot be created.
    bool TakeInstanceLock();
    // From now on the session's end (and the uninstaller's marker) make what must survive
    // safe at once and then call `end`, which ends the entry's loop.
    void WatchForTheEnd(std::function<void()> end);
    // Seeds the data folder on the first start and reads the options. Throws
    // ETemplatesMissing for a broken install.
    void LoadOptions();
    // Creates the engine and starts the scan, the re-arm, the clock re-alignment, the save
    // and the clean-up of old activity.
    void Start();
    // From now on the desktop's notices reach the engine and then the view, however this
    // desktop announces them (a descriptor the timers watch, the thread's messages, or asked
    // a few times a second); what is waiting already is handled at once. Says first what the
    // desktop cannot notice or see (the log, and the view's failure notice). After the view
    // is attached.
    void ListenToNotices();

    // --- while it runs ---
    TDataFolder& Data() { return data_; }
    TOptions& Options() { return *options_; }
    TSessionEndWatch& SessionEnd() { return *sessionEnd_; }
    // One desktop notice: the engine's share first (suspend, resume, lock and unlock pause
    // or restart the count, and the view is put away), then the view's (the work area, the
    // hot key).
    void HandleNotice(const TNotice& notice);

    // TProgramControl
    TScanEngine& Engine() override { return *engine_; }
    void AttachView(TScanHost* view) override { view_ = view; }
    void AttachNoticeView(TNoticeView* view) override { noticeView_ = view; }
    void HoldSaving(bool hold) override;

    // --- the end ---
    // The desktop told that addresses are no longer needed, the engine gone, the options saved,
    // the flag file deleted, the lock released. The view must be gone first. Runs again, doing
    // nothing more, when the object goes.
    void Finish();

  private:
    // TScanHost: forwarded to the view; without one, the limit's action is carried out at
    // once and nothing is shown.
    TReminderChoice ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                 bool fiveMinutesAllowed) override;
    void SelectDayPart(int dayPart) override;
    void SetBlockDisplay(bool on) override;
    void RedisplayAfterReset() override;
    void ShowAddressNotice(TAddressProblem problem) override;
    void ShowFailureNotice(const std::string& text) override;
    // TScanTimers
    void SetScanTimerEnabled(bool enabled) override;
    void EnableReminderOnlyTimer() override;
    void DisableReminderOnlyTimer() override;

    // Tells the desktop whether browser addresses are needed, when that changes with the list.
    void FollowTheList();
    // The switches that serve browser addresses are put back as they were found.
    void StopNeedingAddresses();
    void UninstallWatchTimer();
    // Every notice waiting, each handled even when one before it failed (the first failure
    // is thrown after). A desktop that fails to answer has gone with the session: the
    // program ends.
    void DeliverNotices();
    void LogPurgeTimer();
    // Closes the lock and deletes its file, once.
    void ReleaseInstanceLock();
    // The session ends, or the uninstaller asked: what must survive is made so first.
    void SecureForTheEnd();

    TDesktop& desktop_;
    TInstanceLocks& locks_;
    TProgramTimers& timers_;
    std::unique_ptr<TInstanceLock> lock_;
    std::unique_ptr<TSessionEndWatch> sessionEnd_;
    std::function<void()> end_;
    TDataFolder data_;
    std::unique_ptr<TOptions> options_;
    std::unique_ptr<TScanEngine> engine_;
    std::unique_ptr<TLogPurge> logPurge_;       // the clean-up of old activity
    std::unique_ptr<TRollupBuild> rollupBuild_; // then the roll-up's first build
    TScanHost* view_ = nullptr;
    TNoticeView* noticeView_ = nullptr;
    bool addressesNeeded_ = false;
    int tmrScan_ = -1;
    int tmrReminderOnly_ = -1;
    int tmrSaveOptions_ = -1;
    int tmrLogPurge_ = -1;
    int tmrShutdown_ = -1;
    int tmrNotices_ = -1;
};

} // namespace tw
