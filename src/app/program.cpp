#include "app/program.h"

#include "app/program_files.h"
#include "base/scope_exit.h"
#include "monitor/probe.h"
#include "storage/clock.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/rollup_build.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"

#include <cstdio>
#include <exception>

namespace tw {

namespace {

// The program's timers. The odd intervals keep them from lining up with each other and with
// the view's.
constexpr int ReminderReArmMs = 300000;     // "Give me 5 Minutes" and a missed reminder
constexpr int ClockRealignmentMs = 1800000; // the program clock follows the system's
constexpr int SaveOptionsMs = 240025;       // what changed reaches settings.sqlite
constexpr int UninstallWatchMs = 900;       // the uninstaller's marker ends the program
constexpr int LogPurgeFirstSliceMs = 2000;  // the clean-up waits until the start is over,
constexpr int LogPurgeNextSlicesMs = 10;    // then goes on in short slices, and so does the
                                            // roll-up's first build;
constexpr int ClockRejudgeMs = 600000;      // then the clock is judged again now and then
constexpr int NoticePollMs = 250;           // a desktop that cannot wake the loop is asked

int ScanPeriodMs(const TOptions& options) {
    return options.Values().ScanPeriodSeconds * 1000;
}

} // namespace

TProgram::TProgram(TDesktop& desktop, TInstanceLocks& locks, TProgramTimers& timers, TPlaces places)
    : desktop_(desktop), locks_(locks), timers_(timers), data_(std::move(places)) {}

TProgram::~TProgram() {
    Finish();
}

bool TProgram::TakeInstanceLock() {
    lock_ = AcquireInstanceLock(locks_, data_.Places());
    return lock_ != nullptr;
}

void TProgram::WatchForTheEnd(std::function<void()> end) {
    end_ = std::move(end);
    sessionEnd_ = std::make_unique<TSessionEndWatch>([this] {
        SecureForTheEnd();
        end_();
    });
    // Already during the first start's settings: a package removed meanwhile ends this copy
    // all the same, within about a second.
    tmrShutdown_ =
        timers_.Add("tmrShutdown", UninstallWatchMs, true, [this] { UninstallWatchTimer(); });
}

void TProgram::LoadOptions() {
    const bool seededAfresh = SeedDataFolder(data_.Places());
    options_ = std::make_unique<TOptions>(data_);
    options_->RepairListCopy(seededAfresh);
}

void TProgram::Start() {
    TScanHost& host = *this;
    TScanTimers& engineTimers = *this;
    engine_ =
        std::make_unique<TScanEngine>(desktop_, *options_, host, engineTimers,
                                      data_.Settings().ReadBool("Common", "Show5MinButton", true));
    FollowTheList();
    // The engine checks the pause itself: a paused scan must leave its timer running. The list
    // changes in many places (windows, the daily reset); each scan sees the list it ended with.
    tmrScan_ = timers_.Add("tmrScan", ScanPeriodMs(*options_), true, [this] {
        FollowTheList();
        engine_->ScanTimer();
    });
    tmrReminderOnly_ = timers_.Add("tmrReminderOnly", ReminderReArmMs, false,
                                   [this] { engine_->ReminderOnlyTimer(); });
    timers_.Add("tmrTimeSynchronization", ClockRealignmentMs, true,
                [this] { engine_->TimeSynchronizationTimer(); });
    tmrSaveOptions_ = timers_.Add("tmrSaveOptions", SaveOptionsMs, true, [this] {
        if (!engine_->IsPaused()) {
            options_->Save();
        }
    });
    // Made now, before this run writes rows: in a folder that keeps no trusted time yet, the
    // newest stored row tells whether the clock can judge which rows are old.
    const TDateTime now = ClockNow();
    const std::string activity = options_->LogDBPath();
    logPurge_ = std::make_unique<TLogPurge>(activity, now, options_->ListTrusted(),
                                            TLogPurge::ClockRight(activity, data_.Settings(), now),
                                            options_->KeptHistoryNames());
    tmrLogPurge_ =
        timers_.Add("tmrLogPurge", LogPurgeFirstSliceMs, true, [this] { LogPurgeTimer(); });
}

void TProgram::ListenToNotices() {
    if (const std::string problem = desktop_.LockDetectionProblem(); !problem.empty()) {
        ErrorLog("Session locks cannot be noticed (" + problem +
                 "): time on the list is counted also while the screen is locked");
    }
    if (const std::string problem = desktop_.WindowsProblem(); !problem.empty()) {
        ErrorLog("Windows cannot be seen (" + problem + "): time in front of them is not counted");
        // Counting nothing without a word would look like a limit that never comes.
        ShowFailureNotice("Tallywick cannot see every window on this desktop, and time in "
                          "front of those it cannot see is not counted: " +
                          problem + ".");
    }
    if (const int descriptor = desktop_.NoticeDescriptor(); descriptor >= 0) {
        timers_.WatchDescriptor(descriptor, [this] { DeliverNotices(); });
    } else {
        const bool woken = desktop_.WakeOnNotices([this] {
            if (tmrNotices_ >= 0) {
                timers_.SetEnabled(tmrNotices_, true);
            }
        });
        if (woken) {
            // Handled on the loop just after the message that woke it, not inside its dispatch.
            tmrNotices_ = timers_.Add("tmrNotices", 0, false, [this] {
                timers_.SetEnabled(tmrNotices_, false);
                DeliverNotices();
            });
        } else {
            tmrNotices_ =
                timers_.Add("tmrNotices", NoticePollMs, true, [this] { DeliverNotices(); });
        }
    }
    DeliverNotices();
}

void TProgram::DeliverNotices() {
    std::exception_ptr failure;
    TNotice notice;
    for (;;) {
        try {
            if (!desktop_.NextNotice(notice)) {
                break;
            }
        } catch (...) {
            // The desktop itself has gone (an X server that went away), and the session with
            // it.
            if (end_) {
                end_();
            }
            throw;
        }
        try {
            HandleNotice(notice);
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void TProgram::HandleNotice(const TNotice& notice) {
    if (engine_->HandleNotice(notice)) {
        // Whatever the session or the power did, the window is put away.
        if (noticeView_) {
            noticeView_->PutAway();
        }
        return;
    }
    if (!noticeView_) {
        return;
    }
    if (notice.what == TDesktopNotice::WorkAreaChange) {
        noticeView_->WorkAreaChanged();
    } else if (notice.what == TDesktopNotice::HotKey) {
        noticeView_->HotKeyPressed();
    }
}

void TProgram::HoldSaving(bool hold) {
    timers_.SetEnabled(tmrSaveOptions_, !hold);
}

void TProgram::FollowTheList() {
    const bool needed = options_->Values().MonitoredList.HasWebsite();
    if (needed != addressesNeeded_) {
        addressesNeeded_ = needed;
        desktop_.NeedAddresses(needed);
    }
}

void TProgram::StopNeedingAddresses() {
    if (addressesNeeded_) {
        addressesNeeded_ = false;
        desktop_.NeedAddresses(false);
    }
}

void TProgram::UninstallWatchTimer() {
    // A handler that fails or opens a window must not be entered again meanwhile.
    timers_.SetEnabled(tmrShutdown_, false);
    TScopeExit again([this] { timers_.SetEnabled(tmrShutdown_, true); });
    // Two copies would each count every scan: the one that lost its lock file to the other
    // ends as it would for the uninstaller, keeping what it counted.
    if (lock_ && !lock_->Reassert()) {
        lock_.reset();
        ErrorLog("Another copy of Tallywick took the lock file " + LockPath(data_.Places()) +
                 " after it was deleted; this copy ends");
        end_();
        return;
    }
    if (UninstallRequested(data_.Places())) {
        end_();
    }
}

void TProgram::LogPurgeTimer() {
    timers_.SetInterval(tmrLogPurge_, LogPurgeNextSlicesMs);
    if (engine_->IsPaused() || !logPurge_) {
        return;
    }
    if (logPurge_->Step()) {
        return;
    }
    if (!rollupBuild_) {
        // After the clean-up, so that it builds no day the clean-up then changes.
        rollupBuild_ = std::make_unique<TRollupBuild>(options_->LogDBPath(), ClockNow());
    }
    if (rollupBuild_->Step()) {
        return;
    }
    // Judged again now and then, the clock keeps its last trusted time close to now, and old
    // rows left at start (a start before the system had set its clock) go once it is right.
    timers_.SetInterval(tmrLogPurge_, ClockRejudgeMs);
    if (logPurge_->JudgeAgain(data_.Settings(), ClockNow())) {
        timers_.SetInterval(tmrLogPurge_, LogPurgeNextSlicesMs);
    }
}

void TProgram::ReleaseInstanceLock() {
    if (lock_) {
        lock_->Release();
        lock_.reset();
    }
}

void TProgram::SecureForTheEnd() {
    ReleaseInstanceLock();
    // Before the session's bus goes, which keeps the switch beyond this program.
    StopNeedingAddresses();
    if (options_) {
        options_->Save();
    }
    data_.Activity().WriteKept();
    RemoveFlagFile(data_.Places());
}

void TProgram::Finish() {
    view_ = nullptr;
    noticeView_ = nullptr;
    // The desktop outlives the program, and must not wake it after.
    desktop_.WakeOnNotices(nullptr);
    StopNeedingAddresses();
    logPurge_.reset();
    engine_.reset();  // the probe and the logger go with it
    options_.reset(); // saves
    // Rows a failing file refused since the last scan.
    data_.Activity().WriteKept();
    RemoveFlagFile(data_.Places());
    ReleaseInstanceLock();
}

// --- the engine's host ---

TReminderChoice TProgram::ShowReminder(const TOnlineTimeApplication& probe, bool isBlock,
                                       bool fiveMinutesAllowed) {
    if (view_) {
        return view_->ShowReminder(probe, isBlock, fiveMinutesAllowed);
    }
    // Without windows nobody is asked: the configured action follows at once, and a
    // shutdown takes the countdown nobody saw on top of its own warning.
    std::fprintf(stderr, "Time is up: %s%s\n", probe.ExeName.c_str(),
                 isBlock ? " (Block mode)" : "");
    TReminderChoice choice;
    choice.action = engine_->TimeUpAction(isBlock);
    choice.unshownCountdownSeconds = TimeUpCountdownSeconds;
    return choice;
}

void TProgram::SelectDayPart(int dayPart) {
    if (view_) {
        view_->SelectDayPart(dayPart);
    }
}

void TProgram::SetBlockDisplay(bool on) {
    if (view_) {
        view_->SetBlockDisplay(on);
    }
}

void TProgram::RedisplayAfterReset() {
    if (view_) {
        view_->RedisplayAfterReset();
    }
}

void TProgram::ShowAddressNotice(TAddressProblem problem) {
    if (view_) {
        view_->ShowAddressNotice(problem);
    }
}

void TProgram::ShowFailureNotice(const std::string& text) {
    if (view_) {
        view_->ShowFailureNotice(text);
    }
}

// --- the engine's timers ---

void TProgram::SetScanTimerEnabled(bool enabled) {
    timers_.SetEnabled(tmrScan_, enabled);
}

void TProgram::EnableReminderOnlyTimer() {
    timers_.SetEnabled(tmrReminderOnly_, true);
}

void TProgram::DisableReminderOnlyTimer() {
    timers_.SetEnabled(tmrReminderOnly_, false);
}

} // namespace tw
