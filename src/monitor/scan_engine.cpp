#include "monitor/scan_engine.h"

#include "base/exception.h"
#include "base/scope_exit.h"
#include "monitor/day_part.h"
#include "storage/activity_database.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/day_choice.h"
#include "storage/day_start.h"
#include "storage/error_log.h"
#include "storage/settings_file.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace tw {

namespace {

// A shutdown at the limit powers off (not restarts) and leaves a minute to save work.
constexpr TShutdownKind ShutdownKindAtLimit = TShutdownKind::PowerOff;
constexpr int ShutdownWarningSeconds = 60;

} // namespace

TScanEngine::TScanEngine(TDesktop& desktop, TOptions& options, TScanHost& host, TScanTimers& timers,
                         bool fiveMinutesAllowed)
    : desktop_(desktop), options_(options), activity_(options.Data().Activity()), host_(host),
      timers_(timers), probe_(desktop), closeProbe_(desktop), lastScanTime_(ClockUtcNow()),
      fiveMinutesOffered_(fiveMinutesAllowed),
      fiveMinutesAllowed_(fiveMinutesAllowed &&
                          !DayChoiceMade(options.Settings(), TDayChoice::FiveMinutesTaken)),
      listClosedForTheDay_(DayChoiceMade(options.Settings(), TDayChoice::ListClosed)),
      blockEnd_(ClockUtcNow()) {
    KeepDayWithinReach();
}

TDateTime TScanEngine::DayNow() const {
    return options_.Values().Day().RowTime(ClockNow());
}

bool TScanEngine::IsBlockActive() const {
    return ClockUtcNow() <= blockEnd_;
}

TOnlineTimeApplicationLogger& TScanEngine::Logger() {
    if (!logger_) {
        logger_ =
            std::make_unique<TOnlineTimeApplicationLogger>(activity_, options_.Values().Day());
    }
    return *logger_;
}

void TScanEngine::ScanTimer() {
    DiagnosticLog("tmrScanTimer started");
    if (IsPaused()) {
        return; // no time passes for the list while the session is locked or asleep
    }
    // The reminder runs a nested message loop: no second cycle may start inside this one.
    timers_.SetScanTimerEnabled(false);
    // Also after a failure, which goes on to the application-wide handler: the next cycle
    // runs as usual.
    TScopeExit finish([this] {
        timers_.SetScanTimerEnabled(true);
        lastScanTime_ = ClockUtcNow();
        DiagnosticLog("tmrScanTimer ended");
    });
    RunCycle();
    // A failing activity database is retried at every scan, repaired where it can be, and
    // the person hears of it once.
    const std::string notice = activity_.Check(options_);
    // Once the kept rows are in the new file, the day's earlier time joins them.
    if (activity_.PendingRowCount() == 0 && activity_.TakeRepair()) {
        Logger().KeepTodayInNewFile();
    }
    if (logger_) {
        logger_->ReadTodayIfUnread();
    }
    if (!notice.empty()) {
        host_.ShowFailureNotice(notice);
    }
    const std::string settingsNotice = options_.RepairSettingsDatabase();
    if (!settingsNotice.empty()) {
        host_.ShowFailureNotice(settingsNotice);
    }
}

void TScanEngine::FollowClockCorrection() {
    const TDateTime step = ClockFollowCorrection();
    if (step != 0) {
        DiagnosticLog("The program clock followed the system's correction by " +
                      std::to_string(SecondsBetween(0, step)) + " s");
        // The time since the last cycle was measured by the counter, not by the clock.
        lastScanTime_ += step;
        blockEnd_ += step;
        blockStart_ += step;
    }
    KeepDayWithinReach();
}

void TScanEngine::KeepDayWithinReach() {
    TProgramDay day = options_.Values().Day();
    if (day.StartUtc == 0) {
        // Stored before the day's start was kept: it began at its 04:00 by today's zone.
        day.StartUtc = std::min(ClockUtcNow(), day.StartUtcByZoneNow(ClockNow(), ClockUtcNow()));
        options_.Edit().SetDay(day);
    }
    if (!day.PullBack(ClockNow(), ClockUtcNow())) {
        return;
    }
    ErrorLog("The program day stored ends on " + DateTimeToSQL(day.End) +
             " no more: the clock that stored it was ahead. Today's time is counted to the day "
             "that ends on " +
             DateTimeToSQL(options_.Values().ResetDateTime) + ".");
    options_.Edit().SetDay(day);
    logger_.reset(); // today's totals are read again for the day now in force
}

void TScanEngine::RunCycle() {
    FollowClockCorrection();
    cycleStart_ = ClockUtcNow();
    const TDayPart part = DayPart(ClockTimeOfDay());
    if (part != currentDayPart_) {
        ShowDayPart(part);
    }

    const bool inBlock = IsBlockActive();
    if (!inBlock) {
        host_.SetBlockDisplay(false);
    }
    if (options_.Values().Day().NextIsDue(ClockNow(), ClockUtcNow())) {
        DailyReset();
    }

    try {
        probe_.Execute(false, nullptr);
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, "; TScanEngine.RunCycle: "));
    }
    NoticeUnreadableAddress();

    int index = -1;
    TMonitoredItemType kind = TMonitoredItemType::mitAll;
    std::string caption;
    if (!IsListed(probe_, &options_.Values().MonitoredList, index, kind, caption)) {
        return; // unlisted time is dropped, never counted later
    }
    // Taken now: the reminder below runs a message loop of its own, and whatever runs in it
    // may change the list.
    const std::string listedName = options_.Values().MonitoredList.Items(index).Name;

    const bool limitReached = Logger().Total >= options_.Values().TimeLimitSeconds;
    if (listClosedForTheDay_) {
        desktop_.PostCloseRequest(probe_.Window); // asked and answered: no reminder again
    } else if (limitReached || inBlock) {
        bool& due = inBlock ? blockReminderDue_ : limitReminderDue_;
        if (due) {
            const TReminderChoice choice = host_.ShowReminder(probe_, inBlock, fiveMinutesAllowed_);
            // Carried out before the reminder counts as given: a refused shutdown is offered
            // again at the next listed cycle.
            if (choice.action) {
                CarryOutTimeUpAction(choice);
            }
            KeepTheDaysChoice(choice, inBlock);
            reminderSnoozed_ = choice.fiveMoreMinutes;
            due = false;
            timers_.EnableReminderOnlyTimer();
        }
        if (TimeUpAction(inBlock) == TExpirationAction::CloseListed && !reminderSnoozed_) {
            desktop_.PostCloseRequest(probe_.Window);
        }
    }

    if (probe_.BrowserKind != TBrowserKind::Desktop) {
        // The log keeps the list entry, not the raw address. A browser that is listed as a
        // program keeps no address at all: written into the address column, its path would
        // be matched as a website when the row is logged and read back, and the time would
        // leave the program's totals at the next reload.
        probe_.Url = kind == TMonitoredItemType::mitWeb ? listedName : std::string();
    }
    Logger().Log(probe_.Activity(), CreditedSeconds(), &options_.Values().MonitoredList);
}

int TScanEngine::CreditedSeconds() const {
    // A gap the program did not hear of (a sleep without notice, a stopped process, a frozen
    // session) is not time in front of the list; a late timer is. The time this cycle spent
    // with the person (the reminder) was seen, and counts in full.
    const int most = 2 * options_.Values().ScanPeriodSeconds;
    return std::clamp(SecondsBetween(lastScanTime_, cycleStart_), 0, most) +
           std::max(SecondsBetween(cycleStart_, ClockUtcNow()), 0);
}

void TScanEngine::NoticeUnreadableAddress() {
    if (addressNoticeGiven_ || !AddressProblemNeedsThePerson(probe_.AddressProblem) ||
        !options_.Values().MonitoredList.HasWebsite()) {
        return;
    }
    addressNoticeGiven_ = true;
    host_.ShowAddressNotice(probe_.AddressProblem);
}

void TScanEngine::ReminderOnlyTimer() {
    if (IsPaused()) {
        return; // tried again after another interval
    }
    limitReminderDue_ = true;
    reminderSnoozed_ = false;
    timers_.DisableReminderOnlyTimer();
}

void TScanEngine::TimeSynchronizationTimer() {
    ClockRealign();
}

void TScanEngine::StartBlock(TDateTime duration) {
    blockDuration_ = duration;
    blockStart_ = ClockUtcNow();
    blockEnd_ = blockStart_ + blockDuration_;
    host_.SetBlockDisplay(true);
}

bool TScanEngine::HandleNotice(const TNotice& notice) {
    const std::string detail = notice.detail.empty() ? std::string() : " " + notice.detail;
    switch (notice.what) {
    case TDesktopNotice::Suspend:
        isSuspended_ = true;
        DiagnosticLog("Application suspended." + detail);
        return true;
    case TDesktopNotice::Resume:
        DiagnosticLog("Application resumed." + detail);
        isSuspended_ = false;
        break;
    case TDesktopNotice::SessionLock:
        isSessionLocked_ = true;
        DiagnosticLog("Locking started");
        return true;
    case TDesktopNotice::SessionUnlock:
        DiagnosticLog("Locking finished");
        isSessionLocked_ = false;
        break;
    default:
        return false;
    }
    // Neither the sleep nor the locked period is ever added to the list.
    if (!IsPaused()) {
        RestartCount();
    }
    return true;
}

void TScanEngine::RestartCount() {
    lastScanTime_ = ClockUtcNow();
}

void TScanEngine::SelectCurrentDayPart() {
    ShowDayPart(DayPart(ClockTimeOfDay()));
}

void TScanEngine::ShowDayPart(TDayPart part) {
    currentDayPart_ = part;
    host_.SelectDayPart(part);
}

TExpirationAction TScanEngine::TimeUpAction(bool isBlock) const {
    return isBlock ? TExpirationAction::CloseListed : options_.Values().ExpirationAction;
}

void TScanEngine::CarryOutTimeUpAction(const TReminderChoice& choice) {
    switch (*choice.action) {
    case TExpirationAction::ReminderOnly:
        break;
    case TExpirationAction::CloseListed:
        CloseAllListed();
        break;
    case TExpirationAction::ShutdownComputer:
        // Programs are asked to close, yet one that hangs is ended unasked: what this
        // program holds goes to disk first.
        options_.Save();
        desktop_.ShutdownComputer(ShutdownKindAtLimit,
                                  ShutdownWarningSeconds + choice.unshownCountdownSeconds);
        break;
    }
}

void TScanEngine::KeepTheDaysChoice(const TReminderChoice& choice, bool isBlock) {
    if (choice.fiveMoreMinutes && fiveMinutesAllowed_) {
        fiveMinutesAllowed_ = false;
        MakeDayChoice(options_.Settings(), TDayChoice::FiveMinutesTaken);
    }
    // Only "Reminder Only" lets the person choose; the reminder offers closing as blocking
    // the list until the day ends.
    if (!isBlock && options_.Values().ExpirationAction == TExpirationAction::ReminderOnly &&
        choice.action == TExpirationAction::CloseListed) {
        listClosedForTheDay_ = true;
        MakeDayChoice(options_.Settings(), TDayChoice::ListClosed);
    }
}

void TScanEngine::ForgetTheDaysChoices() {
    fiveMinutesAllowed_ = fiveMinutesOffered_;
    listClosedForTheDay_ = false;
}

void TScanEngine::CloseAllListed() {
    closeProbe_.Execute(true, &options_.Values().MonitoredList);
}

TItemDeletion TScanEngine::DeleteListedItem(const TMonitoredItem* item) {
    // The options find the item by its name; today's list owns it and may free it, so it
    // goes last.
    const TItemDeletion level = options_.Policy().MonitoredItemDelete(item);
    Logger().MonitoredItemDelete(item, level);
    options_.MonitoredItemsSave();
    return level;
}

void TScanEngine::DailyReset() {
    limitReminderDue_ = true;
    blockReminderDue_ = true;
    ForgetTheDaysChoices(); // their marks in the settings file go with ResetChangeFlags
    options_.Edit().SetDay(options_.Values().Day().Next(ClockNow(), ClockUtcNow()));
    options_.Policy().ResetChangeFlags();

    options_.Policy().ApplyPendingRemovals();
    options_.Save();
    // The next use reads the new day's totals (and so today's list) from the database afresh.
    logger_.reset();
    host_.RedisplayAfterReset();
}

int SecondsBetween(TDateTime from, TDateTime to) {
    const double seconds = std::nearbyint((to - from) * SecondsPerDay); // ties to even
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return static_cast<int>(std::fmin(std::fmax(seconds, low), high));
}

} // namespace tw
