#pragma once

#include "storage/options.h"
#include "storage/sqlite_database.h"

#include <exception>
#include <memory>
#include <string>

namespace tw {

// One connection with one open write transaction on one database.
class TOptions::TSaveBatch {
  public:
    TSaveBatch(const std::string& file, const char* label);
    // Runs a statement inside the transaction; after a failure every later one is refused.
    bool Exec(const std::string& sql);
    // Keeps everything, or (after a failure) nothing. Closing without it rolls back.
    bool Commit();

  private:
    void Fail(const std::exception& e);

    std::unique_ptr<TSQLiteDatabase> db_;
    const char* label_;
    bool failed_ = false;
};

// While alive, the options' statements go into one transaction per database. Scopes
// nest: only the outermost one commits.
class TOptions::TSaveScope {
  public:
    explicit TSaveScope(TOptions& owner);
    ~TSaveScope();
    TSaveScope(const TSaveScope&) = delete;
    TSaveScope& operator=(const TSaveScope&) = delete;
    // Commits both databases; returns whether both kept everything.
    bool Finish();

  private:
    TOptions& owner_;
    std::unique_ptr<TSaveBatch> settings_;
    std::unique_ptr<TSaveBatch> log_;
};

} // namespace tw
