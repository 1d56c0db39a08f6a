#pragma once

#include "base/date_time.h"
#include "storage/places.h"

#include <cstddef>
#include <exception>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace tw {

class TClock;
class TErrorLog;
class TOptions;
class TSliceTurns;

// One row of the applications table.
struct TActivityRow {
    TDateTime When = 0; // end of the logged interval
    std::string ExeName;
    std::string Url;
    std::string BrowserName;
    int Seconds = 0;
    int Origin = 0; // 1 matched as an application, 2 as a website
};

// Keeps the counting going when actmondb.sqlite fails. Rows that cannot be written are
// kept (in memory) and written, in order, with the next row that can be; a failure is
// written to the error log once, not at every scan; and once per scan Check puts right
// what it can: a damaged file is moved aside and a fresh copy of the template takes its
// place, a missing one (or a missing data folder) is started anew. What the person must
// know comes back from Check once per failure.
class TActivityDatabase {
  public:
    // The rows are dated, and a lock timed, by the clock; failures go to the log. With the
    // turns of the program's slices, a slice's lock is waited for or waited out (see Write);
    // without, every lock fails at once. All must outlive the database.
    TActivityDatabase(TPlaces places, TClock& clock, TErrorLog& log, TSliceTurns* turns = nullptr)
        : places_(std::move(places)), clock_(clock), log_(log), turns_(turns) {}
    TActivityDatabase(const TActivityDatabase&) = delete;
    TActivityDatabase& operator=(const TActivityDatabase&) = delete;

    std::string Path() const { return places_.ActivityDatabasePath(); }
    TClock& Clock() const { return clock_; }
    // What the program's connections to the file take with its slices; null for none.
    TSliceTurns* Turns() const { return turns_; }

    // Writes the rows kept so far and this one, all or none. When that fails, the row is
    // kept and the failure noted under the label; while the clean-up of old activity holds
    // the file on its own thread, the row is kept for the next scan without a try.
    // Returns whether the rows were written.
    bool Write(const TActivityRow& row, const char* label);
    // The program ends: one last try to write the kept rows, which would otherwise go with it.
    void WriteKept();
    // The rows kept, oldest first.
    const std::vector<TActivityRow>& Pending() const { return pending_; }
    std::size_t PendingRowCount() const { return pending_.size(); }

    // A read or write of the file failed: reported under the label when it is the first
    // failure since the file last worked, or a different one.
    void Failed(const std::exception& e, const char* label);
    // A read worked: that ends a failure only when no rows wait to be written (a file
    // that reads but cannot be written has not recovered).
    void ReadWorked();
    bool Failing() const { return failing_; }

    // Once per scan. Writes rows kept back for the clean-up. While the file fails: repairs
    // what can be repaired, tries the kept rows again, and returns the notice for the person the
    // first time it has one for this failure (empty otherwise). A lock is noticed only once it
    // outlasts a scan period.
    std::string Check(TOptions& options);
    // Whether a damaged or missing file was replaced by a fresh one since the last call: the
    // day's time stored in the old file is then missing from the new one.
    bool TakeRepair() { return std::exchange(repaired_, false); }

  private:
    enum class TFault { None, Damaged, Missing, Unusable };

    TFault Classify() const;
    std::string RepairDamaged(TOptions& options);
    std::string StartAnew(TOptions& options);
    // Writes the kept rows unless a slice of the clean-up holds the file (then they stay
    // kept, which is no failure); reports a failure under the label.
    bool WriteUnlessCleaningUp(const char* label);
    // Writes the kept rows, all or none; throws the database's error. Without mayWait, a
    // lock the program's own clean-up holds fails it too.
    void Flush(bool mayWait = true);
    // The file works again: says so in the log.
    void Recovered();
    // Tries the kept rows, or a read when there are none; notes the outcome.
    void Retry();

    TPlaces places_; // the file, and the template a fresh one is copied from
    TClock& clock_;
    TErrorLog& log_;
    TSliceTurns* turns_;
    std::vector<TActivityRow> pending_;
    bool droppedReported_ = false;
    bool failing_ = false;
    bool noticeGiven_ = false;
    bool attempted_ = false; // a read or write was tried since the last Check
    bool repaired_ = false;  // a damaged or missing file was replaced, not yet taken
    int code_ = 0;           // SQLite's result code of the last failure, 0 for none
    std::string reason_;     // its short text, for the person
    TDateTime since_ = 0;    // first failure of this spell
    int repeats_ = 0;        // failures not reported again
};

// "<name>.damaged-yyyy-mm-dd_hh-nn-ss.sqlite" for "<name>.sqlite": where a damaged database
// is kept.
std::string DamagedDatabaseName(const std::string& path, TDateTime when);
// Moves a damaged database aside under that name, its journals with it (a journal left beside
// a fresh copy would be rolled back into it); returns where it went, or the empty text with
// the system's error when it could not be moved.
std::string MoveDatabaseAside(const std::string& path, TDateTime when, std::error_code& error);

} // namespace tw
