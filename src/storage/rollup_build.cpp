#include "storage/rollup_build.h"

#include "base/exception.h"
#include "storage/activity_logger.h"
#include "storage/daily_rollup.h"
#include "storage/error_log.h"
#include "storage/sqlite_database.h"

#include <utility>

namespace tw {

TRollupBuild::TRollupBuild(TErrorLog& log, std::string path, TDateTime now, TSliceTurns* turns)
    : log_(log), path_(std::move(path)), turns_(turns),
      first_(AccountingDayStart(UsagePeriodStart(5, now))), next_(AccountingDayStart(now) - 1) {}

bool TRollupBuild::Step() {
    // Day starts are whole days apart; half a day absorbs their rounding.
    if (next_ < first_ - 0.5) {
        return false;
    }
    try {
        TSQLiteDatabase db(path_, turns_);
        EnsureDailyRollup(db);
        BuildRollupDays(db, next_, next_ + 1);
        BuildItemDays(db, next_, next_ + 1);
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, "; TRollupBuild.Step: "));
        return false;
    }
    next_ -= 1;
    return true;
}

} // namespace tw
