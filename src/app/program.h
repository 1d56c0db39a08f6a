#pragma once

#include "app/activity_clean_up.h"
#include "app/engine_timers.h"
#include "app/instance_watch.h"
#include "app/notice_pump.h"
#include "app/program_timers.h"
#include "app/view_host.h"
#include "base/slice_runner.h"
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

// The program, with or without windows: its data folder (settings file, activity database),
// the options, the engine, the single-instance lock, the end of the session, the desktop's
// notices and the program's timers. Both entries build it and take it through the same
// steps; the windowed one attaches its main window as the view that shows the engine's state
// and asks the person.
class TProgram final : public TProgramControl {
  public:
    // Over the places the entry found (the system's, or a test's own folders).
    // The lock is taken from locks (the system's, or a test's scripted ones). The clock (the
    // system's, or a test's that moves when told) and the log the entry (or a test) keeps, which
    // hears what fails, must outlive the program.
    TProgram(TDesktop& desktop, TInstanceLocks& locks, TProgramTimers& timers, TClock& clock,
             TPlaces places, TErrorLog& log);
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
    // Before Start: what runs the clean-up's slices. A thread of its own unless a test, which
    // drives the clean-up through its timers, gives one that runs them there.
    void SetSliceRunner(std::unique_ptr<TSliceRunner> runner) { sliceRunner_ = std::move(runner); }
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
    void AttachView(TScanHost* view) override { host_.Attach(view); }
    void AttachNoticeView(TNoticeView* view) override { noticeView_ = view; }
    void HoldSaving(bool hold) override;

    // --- the end ---
    // The desktop told that addresses are no longer needed, the engine gone, the options saved,
    // the flag file deleted, the lock released. The view must be gone first. Runs again, doing
    // nothing more, when the object goes.
    void Finish();

  private:
    // Tells the desktop whether browser addresses are needed, when that changes with the list.
    void FollowTheList();
    // The switches that serve browser addresses are put back as they were found.
    void StopNeedingAddresses();
    // The session ends, or the uninstaller asked: what must survive is made so first.
    void SecureForTheEnd();

    TDesktop& desktop_;
    TProgramTimers& timers_;
    TDataFolder data_;
    TInstanceWatch instance_;
    std::unique_ptr<TSessionEndWatch> sessionEnd_;
    std::function<void()> end_;
    std::unique_ptr<TOptions> options_;
    TViewHost host_;
    TEngineTimers engineTimers_;
    std::unique_ptr<TScanEngine> engine_;
    std::unique_ptr<TSliceRunner> sliceRunner_; // until Start hands it to the clean-up
    std::unique_ptr<TActivityCleanUp> cleanUp_;
    TNoticePump notices_;
    TNoticeView* noticeView_ = nullptr;
    bool addressesNeeded_ = false;
    int tmrSaveOptions_ = -1;
};

} // namespace tw
