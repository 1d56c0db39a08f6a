#pragma once

#include "storage/settings_database.h"
#include "storage/sqlite_database.h"

#include <exception>
#include <memory>
#include <string>

namespace tw {

// One connection to settings.sqlite with one open write transaction. With the activity
// database attached, the list's copy there is written from the settings' own rows inside
// the same transaction, so the two lists are kept, or lost, together.
class TSettingsDatabase::TSaveBatch {
  public:
    // An empty activity path: settings.sqlite alone.
    TSaveBatch(const std::string& settingsFile, const std::string& activityFile, TErrorLog& log,
               TSliceTurns* turns);
    // Runs a statement inside the transaction; after a failure every later one is refused.
    bool Exec(const std::string& sql, const TSQLValues& values);
    // Writes the list's copy (when attached), then keeps everything, or (after a failure)
    // nothing. Closing without it rolls back.
    bool Commit();
    // Why the batch failed, when it did.
    const std::string& FailureText() const { return failure_; }

  private:
    void Fail(const std::exception& e);

    std::unique_ptr<TSQLiteDatabase> db_;
    TErrorLog& log_;
    bool withCopy_ = false;
    bool failed_ = false;
    std::string failure_;
};

// While alive, the database's statements go into one transaction. Scopes nest: only the
// outermost one commits.
class TSettingsDatabase::TSaveScope {
  public:
    TSaveScope(TSettingsDatabase& owner, bool withCopy);
    ~TSaveScope();
    TSaveScope(const TSaveScope&) = delete;
    TSaveScope& operator=(const TSaveScope&) = delete;
    // Commits; returns whether everything was kept.
    bool Finish();
    const std::string& FailureText() const;

  private:
    TSettingsDatabase& owner_;
    std::unique_ptr<TSaveBatch> batch_;
};

} // namespace tw
