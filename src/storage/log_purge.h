#pragma once

#include "base/date_time.h"

#include <string>
#include <vector>

namespace tw {

// The retention clean-up of the activity database (rows older than 90 days, and rows of
// programs no longer on the list) cut into short slices, so that a large clean-up never
// holds up the start or freezes the window: old rows a bounded number at a time, oldest
// first, then the unlisted programs' rows one day at a time. Together the slices remove
// exactly what the two whole statements would.
class TLogPurge {
  public:
    // The clean-up of the activity database at the path, as of this moment.
    TLogPurge(std::string path, TDateTime now);

    // Runs the next slice. False once everything is done, or after a slice failed (the
    // failure is reported; the next start cleans up again).
    bool Step();

  private:
    bool Run(const std::string& sql, int& changed);

    std::string path_;
    std::string cutoff_; // rows before it are older than 90 days
    bool oldRowsDone_ = false;
    std::vector<std::string> ranges_; // date conditions of the unlisted programs' slices
    std::size_t next_ = 0;
};

} // namespace tw
