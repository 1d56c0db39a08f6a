#pragma once

#include "base/date_time.h"
#include "storage/sql_value.h"

#include <string>
#include <vector>

namespace tw {

// The retention clean-up of the activity database (rows older than 90 days, and rows of
// programs no longer on the list) cut into short slices, so that a large clean-up never
// holds up the start or freezes the window: old rows a bounded number at a time, oldest
// first, then the unlisted programs' rows one day at a time. Together the slices remove
// exactly what the two whole statements would.
// It deletes nothing it cannot be sure of: old rows stay when the clock is more than a day
// ahead of the newest stored row, or behind it (a wrong clock would make recent rows look
// old); the unlisted programs' rows stay when the list is not trusted.
class TLogPurge {
  public:
    // The clean-up of the activity database at the path, as of this moment. Made at start,
    // before this run writes rows of its own.
    TLogPurge(std::string path, TDateTime now, bool listTrusted);

    // Runs the next slice. False once everything is done, or after a slice failed (the
    // failure is reported; the next start cleans up again).
    bool Step();

  private:
    // One day (or what lies outside the days) of the unlisted programs' rows.
    struct TSlice {
        std::string condition;
        TSQLValues values;
    };

    bool Run(const std::string& sql, const TSQLValues& values, int& changed);
    // Whether the stored rows show the clock to be right enough to judge their age; says
    // why not in the log.
    bool ClockAgreesWithRows(TDateTime now) const;

    std::string path_;
    std::string cutoff_; // rows before it are older than 90 days
    bool oldRowsDone_ = false;
    std::vector<TSlice> slices_; // empty when the list is not trusted
    std::size_t next_ = 0;
};

} // namespace tw
