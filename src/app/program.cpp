#include "app/program.h"

#include "app/program_files.h"
#include "storage/error_log.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"

namespace tw {

namespace {

// The program's timers (the engine's, the instance watch's and the clean-up's beside it).
// The odd intervals keep them from lining up with each other and with the view's.
constexpr int ClockRealignmentMs = 1800000; // the program clock follows the system's
constexpr int SaveOptionsMs = 240025;       // what changed reaches settings.sqlite

int ScanPeriodMs(const TOptions& options) {
    return options.Values().ScanPeriodSeconds * 1000;
}

} // namespace

TProgram::TProgram(TDesktop& desktop, TInstanceLocks& locks, TProgramTimers& timers, TClock& clock,
                   TPlaces places, TErrorLog& log)
    : desktop_(desktop), timers_(timers), data_(std::move(places), clock, log),
      instance_(locks, timers, data_.Places(), log),
      host_([this](bool isBlock) { return engine_->TimeUpAction(isBlock); }), engineTimers_(timers),
      notices_(
          desktop, timers, [this](const TNotice& notice) { HandleNotice(notice); },
          [this] {
              if (end_) {
                  end_();
              }
          }) {}

TProgram::~TProgram() {
    Finish();
}

bool TProgram::TakeInstanceLock() {
    return instance_.TakeLock();
}

void TProgram::WatchForTheEnd(std::function<void()> end) {
    end_ = std::move(end);
    sessionEnd_ = std::make_unique<TSessionEndWatch>([this] {
        SecureForTheEnd();
        end_();
    });
    // Already during the first start's settings: a package removed meanwhile ends this copy
    // all the same, within about a second.
    instance_.Watch([this] { end_(); });
}

void TProgram::LoadOptions() {
    const TSeedOutcome seeded = SeedDataFolder(data_.Places(), data_.Log());
    options_ = std::make_unique<TOptions>(data_);
    options_->RepairListCopy(seeded);
}

void TProgram::Start() {
    engine_ =
        std::make_unique<TScanEngine>(desktop_, *options_, host_, engineTimers_,
                                      data_.Settings().ReadBool("Common", "Show5MinButton", true));
    FollowTheList();
    // The list changes in many places (windows, the daily reset); each scan sees the list it
    // ended with.
    engineTimers_.Add(
        ScanPeriodMs(*options_),
        [this] {
            FollowTheList();
            engine_->ScanTimer();
        },
        [this] { engine_->ReminderOnlyTimer(); });
    timers_.Add("tmrTimeSynchronization", ClockRealignmentMs, true,
                [this] { engine_->TimeSynchronizationTimer(); });
    tmrSaveOptions_ = timers_.Add("tmrSaveOptions", SaveOptionsMs, true, [this] {
        if (!engine_->IsPaused()) {
            options_->Save();
        }
    });
    if (!sliceRunner_) {
        sliceRunner_ = std::make_unique<TThreadSliceRunner>(data_.SliceTurns());
    }
    cleanUp_ = std::make_unique<TActivityCleanUp>(
        timers_, data_, *options_, [this] { return engine_->IsPaused(); }, std::move(sliceRunner_));
}

void TProgram::ListenToNotices() {
    if (const std::string problem = desktop_.LockDetectionProblem(); !problem.empty()) {
        data_.Log().Report("Session locks cannot be noticed (" + problem +
                           "): time on the list is counted also while the screen is locked");
    }
    if (const std::string problem = desktop_.WindowsProblem(); !problem.empty()) {
        data_.Log().Report("Windows cannot be seen (" + problem +
                           "): time in front of them is not counted");
        // Counting nothing without a word would look like a limit that never comes.
        host_.ShowFailureNotice("Tallywick cannot see every window on this desktop, and time in "
                                "front of those it cannot see is not counted: " +
                                problem + ".");
    }
    notices_.Listen();
}

void TProgram::HandleNotice(const TNotice& notice) {
    if (engine_->HandleNotice(notice)) {
        // Whatever the session or the power did, the window is put away.
        if (noticeView_) {
            noticeView_->PutAway();
        }
        return;
    }
    if (notice.what == TDesktopNotice::SwitchedBackOn) {
        data_.Log().Report(notice.detail);
        host_.ShowFailureNotice(notice.detail);
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
    // Told at every scan while needed: a switch turned off meanwhile is turned on again.
    if (needed || needed != addressesNeeded_) {
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

void TProgram::SecureForTheEnd() {
    instance_.Release();
    // Its slice in flight ends first: the kept rows below must find the file free.
    if (cleanUp_) {
        cleanUp_->Stop();
    }
    // Before the session's bus goes, which keeps the switch beyond this program.
    StopNeedingAddresses();
    if (options_) {
        options_->Save();
    }
    data_.Activity().WriteKept();
    RemoveFlagFile(data_.Places());
}

void TProgram::Finish() {
    host_.Attach(nullptr);
    noticeView_ = nullptr;
    notices_.Stop();
    StopNeedingAddresses();
    if (cleanUp_) {
        cleanUp_->Stop();
    }
    engine_.reset();  // the probe and the logger go with it
    options_.reset(); // saves
    // Rows a failing file refused since the last scan.
    data_.Activity().WriteKept();
    RemoveFlagFile(data_.Places());
    instance_.Release();
}

} // namespace tw
