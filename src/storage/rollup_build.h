#pragma once

#include "base/date_time.h"

#include <string>

namespace tw {

class TErrorLog;
class TSliceTurns;

// The first build of the daily roll-up for the closed days that the longest usage period
// shows, one day a slice, newest first: on a file written before the roll-up existed, the
// person's first look at a long period would otherwise build them all at once on the window's
// thread. Days already built cost only a look-up. The period's read still builds whatever is
// missing, so a slice that fails ends the build.
class TRollupBuild {
  public:
    // Its connections take the turns (which must outlive it) with the program's other ones.
    TRollupBuild(TErrorLog& log, std::string path, TDateTime now, TSliceTurns* turns = nullptr);

    // Builds the next day. False once every day is built, or after a slice failed (the failure
    // is reported).
    bool Step();

  private:
    TErrorLog& log_;
    std::string path_;
    TSliceTurns* turns_;
    TDateTime first_; // the start of the oldest day to build
    TDateTime next_;  // the start of the day the next slice builds
};

} // namespace tw
