#include "monitor/scan_engine.h"

#include "base/exception.h"
#include "base/scope_exit.h"
#include "monitor/day_part.h"
#include "storage/activity_database.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/day_start.h"
#include "storage/error_log.h"

#include <algorithm>
#include <string>

namespace tw {

TScanEngine::TScanEngine(TDesktop& desktop, TOptions& options, TScanHost& host, TScanTimers& timers,
                         bool fiveMinutesAllowed)
    : desktop_(desktop), options_(options), host_(host), timers_(timers),
      probe_(desktop, options.Data().Log(), keptAddresses_),
      timeUp_(desktop, options, keptAddresses_), span_(options.Clock()),
      reminders_(options, fiveMinutesAllowed), pause_(options.Data().Log()),
      block_(options.Clock()) {
    KeepDayWithinReach();
}

TDateTime TScanEngine::DayNow() const {
    return options_.Values().Day().RowTime(Clock().Now());
}

TOnlineTimeApplicationLogger& TScanEngine::Logger() {
    if (!logger_) {
        logger_ = std::make_unique<TOnlineTimeApplicationLogger>(options_.Data().Activity(),
                                                                 options_.Values().Day());
    }
    return *logger_;
}

void TScanEngine::ScanTimer() {
    options_.Data().Log().Trace("tmrScanTimer started");
    if (IsPaused()) {
        return; // no time passes for the list while the session is locked or asleep
    }
    // The reminder runs a nested message loop: no second cycle may start inside this one.
    timers_.SetScanTimerEnabled(false);
    // Also after a failure, which goes on to the application-wide handler: the next cycle
    // runs as usual.
    TScopeExit finish([this] {
        timers_.SetScanTimerEnabled(true);
        span_.Restart();
        options_.Data().Log().Trace("tmrScanTimer ended");
    });
    RunCycle();
    // A failing activity database is retried at every scan, repaired where it can be, and
    // the person hears of it once.
    TActivityDatabase& activity = options_.Data().Activity();
    const std::string notice = activity.Check(options_);
    // Once the kept rows are in the new file, the day's earlier time joins them.
    if (activity.PendingRowCount() == 0 && activity.TakeRepair()) {
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
    const TDateTime step = Clock().FollowCorrection();
    if (step != 0) {
        options_.Data().Log().Trace("The program clock followed the system's correction by " +
                                    std::to_string(SecondsBetween(0, step)) + " s");
        // The time since the last cycle was measured by the counter, not by the clock.
        span_.Shift(step);
        block_.Shift(step);
    }
    KeepDayWithinReach();
}

void TScanEngine::KeepDayWithinReach() {
    TProgramDay day = options_.Values().Day();
    if (day.StartUtc == 0) {
        // Stored before the day's start was kept: it began at its 04:00 by today's zone.
        day.StartUtc =
            std::min(Clock().UtcNow(), day.StartUtcByZoneNow(Clock().Now(), Clock().UtcNow()));
        options_.Edit().SetDay(day);
    }
    if (!day.PullBack(Clock().Now(), Clock().UtcNow())) {
        return;
    }
    options_.Data().Log().Report(
        "The program day stored ends on " + DateTimeToSQL(day.End) +
        " no more: the clock that stored it was ahead. Today's time is counted to the day "
        "that ends on " +
        DateTimeToSQL(options_.Values().ResetDateTime) + ".");
    options_.Edit().SetDay(day);
    logger_.reset(); // today's totals are read again for the day now in force
}

void TScanEngine::RunCycle() {
    FollowClockCorrection();
    span_.BeginCycle();
    const TDayPart part = DayPart(Clock().TimeOfDay());
    if (part != currentDayPart_) {
        ShowDayPart(part);
    }

    const bool inBlock = block_.IsActive();
    if (!inBlock) {
        host_.SetBlockDisplay(false);
    }
    if (options_.Values().Day().NextIsDue(Clock().Now(), Clock().UtcNow())) {
        DailyReset();
    }

    try {
        probe_.Execute(false, nullptr);
    } catch (const std::exception& e) {
        options_.Data().Log().Report(ErrorReportText(e, "; TScanEngine.RunCycle: "));
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
    if (reminders_.ListClosedForTheDay()) {
        desktop_.PostCloseRequest(probe_.Window); // asked and answered: no reminder again
    } else if (limitReached || inBlock) {
        if (reminders_.IsDue(inBlock)) {
            const TReminderChoice choice =
                host_.ShowReminder(probe_, inBlock, reminders_.FiveMinutesAllowed());
            // Carried out before the reminder counts as given: a refused shutdown is offered
            // again at the next listed cycle.
            if (choice.action) {
                timeUp_.CarryOut(choice);
            }
            reminders_.Answered(choice, inBlock);
            timers_.EnableReminderOnlyTimer();
        }
        if (TimeUpAction(inBlock) == TExpirationAction::CloseListed &&
            !reminders_.ReminderSnoozed()) {
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
    Logger().Log(probe_.Activity(), span_.CreditedSeconds(options_.Values().ScanPeriodSeconds),
                 &options_.Values().MonitoredList);
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
    reminders_.RemindAgain();
    timers_.DisableReminderOnlyTimer();
}

void TScanEngine::TimeSynchronizationTimer() {
    Clock().Realign();
}

void TScanEngine::StartBlock(TDateTime duration) {
    block_.Begin(duration);
    host_.SetBlockDisplay(true);
}

bool TScanEngine::HandleNotice(const TNotice& notice) {
    if (!pause_.Follow(notice)) {
        return false;
    }
    // Neither the sleep nor the locked period is ever added to the list.
    if (!IsPaused()) {
        RestartCount();
    }
    return true;
}

void TScanEngine::RestartCount() {
    span_.Restart();
}

void TScanEngine::SelectCurrentDayPart() {
    ShowDayPart(DayPart(Clock().TimeOfDay()));
}

void TScanEngine::ShowDayPart(TDayPart part) {
    currentDayPart_ = part;
    host_.SelectDayPart(part);
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
    reminders_.NewDay(); // their marks in the settings file go with ResetChangeFlags
    options_.Edit().SetDay(options_.Values().Day().Next(Clock().Now(), Clock().UtcNow()));
    options_.Policy().ResetChangeFlags();

    options_.Policy().ApplyPendingRemovals();
    options_.Save();
    // The next use reads the new day's totals (and so today's list) from the database afresh.
    logger_.reset();
    host_.RedisplayAfterReset();
}

} // namespace tw
