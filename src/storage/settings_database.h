#pragma once

#include "storage/places.h"
#include "storage/sql_value.h"
#include "storage/sqlite_table.h"

#include <functional>
#include <memory>
#include <string>

namespace tw {

class TErrorLog;
class TSliceTurns;

// settings.sqlite as the options use it. Outside a save every statement opens the file, runs
// and closes. While a save runs, its statements share one connection and one transaction,
// with the activity database attached for the list's copy, so a crash, a full disk or a
// failed statement leaves the previous settings and lists whole, and equal.
class TSettingsDatabase {
  public:
    // The connections that reach the activity database take the turns (which must outlive it)
    // with the program's slices.
    TSettingsDatabase(const TPlaces& places, TErrorLog& log, TSliceTurns* turns = nullptr)
        : places_(places), log_(log), turns_(turns) {}
    TSettingsDatabase(const TSettingsDatabase&) = delete;
    TSettingsDatabase& operator=(const TSettingsDatabase&) = delete;

    std::string Path() const { return places_.SettingsDatabasePath(); }
    std::string ActivityPath() const { return places_.ActivityDatabasePath(); }

    // One statement; failures are caught and reported.
    bool Exec(const std::string& sql, const TSQLValues& values = {});
    // A query; null (reported) when it failed, which a read in progress remembers.
    std::unique_ptr<TSQLiteTable> Query(const std::string& sql);
    // A read begins: failures are counted from here. Why the last one failed, in a few words.
    void StartRead() { readFailed_ = false; }
    bool ReadFailed() const { return readFailed_; }
    const std::string& ReadError() const { return readError_; }

    // Runs the writes in one transaction over both databases; when that fails, once more
    // over settings.sqlite alone, so that a failing activity database never costs the
    // settings. The copy is then written by the next save that can.
    bool Transacted(const std::function<bool()>& writes);
    // Whether the list's copy in the activity database holds exactly the rows of
    // settings.sqlite's list; CopyMatches is what the last look or save found.
    bool ListCopyEqual() const;
    bool CopyMatches() const { return listCopyMatches_; }
    void NoteCopyMatches(bool matches) { listCopyMatches_ = matches; }

    // A missing or empty settings.sqlite is replaced by the template (before a save).
    void Restore();
    // The notice for the person once a restore, else empty.
    std::string TakeRestoreNotice();

  private:
    class TSaveBatch;
    class TSaveScope;
    friend class TSaveScope;

    const TPlaces& places_;
    TErrorLog& log_;
    TSliceTurns* turns_;
    TSaveBatch* batch_ = nullptr;
    bool readFailed_ = false;
    std::string readError_;
    bool listCopyMatches_ = false;
    bool copyFailureReported_ = false;
    std::string restoreNotice_;
    bool restoreFailureReported_ = false;
};

} // namespace tw
