#pragma once

#include "base/date_time.h"
#include "storage/sql_value.h"

#include <optional>
#include <string>
#include <vector>

namespace tw {

class TClock;
class TErrorLog;
class TSettingsFile;
class TSliceTurns;
class TSQLiteDatabase;

// The retention clean-up of the activity database (rows older than 90 days, and rows of
// programs no longer on the list) cut into short slices, so that a large clean-up never
// holds up the start or freezes the window: the roll-up of the old days first, then the old
// rows, then the unlisted programs' rows one day at a time, then the roll-up's rows that
// fell to nothing. A slice deletes as many rows as fit in a few tens of milliseconds.
// Together the slices remove exactly what the two whole statements would, except that a
// program's rows stay while any listed item covers them, by name or by file name.
// It deletes nothing it cannot be sure of: old rows stay while the clock is not judged right
// (see JudgeClock); the unlisted programs' rows stay when the list is not trusted.
class TLogPurge {
  public:
    // The clean-up of the activity database at the path, as of this moment (local time). The
    // kept names are programs whose history stays although they are not listed. Its
    // connections take the turns (which must outlive it) with the program's other ones.
    TLogPurge(TErrorLog& log, std::string path, TDateTime now, bool listTrusted, bool clockRight,
              std::vector<std::string> keptNames = {}, TSliceTurns* turns = nullptr);

    // Judges the clock for the clean-up of the database at the path (JudgeClock): made at
    // start, before this run writes rows of its own. Says in the log why old rows stay.
    static bool ClockRight(TErrorLog& log, const std::string& path, TSettingsFile& settings,
                           const TClock& clock);

    // Runs the next slice. False once everything is done, or after a slice failed (the
    // failure is reported; the next start cleans up again).
    bool Step();

    // Judges the clock again later in the run (which moves its last trusted time on when
    // it is right). True when old rows left at start for want of a right clock can go now:
    // the next slices remove them.
    bool JudgeAgain(TSettingsFile& settings, const TClock& clock);

  private:
    // A delete of at most %LIMIT% rows, run again until fewer go.
    struct TSlice {
        std::string sql;
        TSQLValues values;
        // For the unlisted programs' rows of a day: the read that finds the programs, run
        // once before the deletes, and what it found (temp.unlisted of each delete).
        std::string findNames;
        std::optional<std::vector<std::string>> names;
    };

    static TSlice UnlistedSlice(const std::string& day, TSQLValues values);
    bool FindUnlisted(TSlice& slice);
    // temp.kept of the connection: the kept names.
    void KeepNames(TSQLiteDatabase& db) const;

    void AddOldRows();
    void AddEmptyRollupRows();
    bool Run(const TSlice& slice, int& changed);

    TErrorLog& log_;
    std::string path_;
    TSliceTurns* turns_;
    std::string cutoff_; // rows before it are older than 90 days
    std::vector<std::string> keptNames_;
    bool clockRight_;
    std::vector<TSlice> slices_;
    std::size_t next_ = 0;
    int limit_;             // rows a slice deletes, fitted to the time the last ones took
    double commitMs_ = 1e9; // the least time a slice that deleted rows took
};

} // namespace tw
