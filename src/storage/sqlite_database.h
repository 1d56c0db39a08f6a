#pragma once

#include "base/exception.h"
#include "storage/sql_value.h"

#include <chrono>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tw {

class TSliceTurns;
class TSQLiteTable;

// The one failure type of the database layer. It also keeps SQLite's primary result code
// (0 when none applies), so that callers can tell a damaged file from a busy one.
class ESQLiteException : public Exception {
  public:
    explicit ESQLiteException(const std::string& message, int code = 0)
        : Exception(message), code_(code) {}
    const char* ClassName() const override { return "ESQLiteException"; }
    int Code() const { return code_; }

  private:
    int code_;
};

// Text of an SQLite primary result code as error messages show it.
std::string SQLiteErrorCodeText(int code);
// What went wrong, in a few words for the person: the result code's text for a database
// failure, else the message.
std::string FailureReason(const std::exception& e);

// Whether opening may create the file. The program's own files are copied from templates
// and never created by an open: a file deleted behind the program's back must fail to open
// rather than come back empty.
enum class TOpenMode { Existing, CreateIfMissing };

// One open connection to one database file. Values reach a statement as bound parameters.
// A lock held by another program fails a statement at once. A connection the program opens
// with its slice turns waits for a lock held by one of its slices on a thread of its own
// (TThreadSliceRunner), and a slice's own connection waits for the locks it meets, up to two
// seconds each.
class TSQLiteDatabase {
  public:
    // Opens the file; ESQLiteException on failure (also for a missing file, unless the mode
    // allows creating it). Without turns every lock fails a statement at once.
    explicit TSQLiteDatabase(const std::string& fileName, TOpenMode mode = TOpenMode::Existing);
    // The turns must outlive the connection; null is as none.
    TSQLiteDatabase(const std::string& fileName, TSliceTurns* turns,
                    TOpenMode mode = TOpenMode::Existing);
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    // Runs the first statement of the text, which must return no rows.
    void ExecSQL(const std::string& sql, const TSQLValues& values = {});
    // Runs one query and reads its whole result into a detached table.
    std::unique_ptr<TSQLiteTable> GetTable(const std::string& sql, const TSQLValues& values = {});

    // Message + ".\rError [code]: code text.\r\"sql\": SQLite's text", or the message alone
    // when the connection reports no error.
    [[noreturn]] void RaiseError(const std::string& message, const std::string& sql) const;

    // After a failure part way through a transaction: ends it without its changes, so that
    // the connection can go on reading what the file holds. Nothing when none is open.
    void RollbackOpenTransaction();

    // From now on a slice's lock fails a statement at once too, as another program's does.
    void FailWhenBusy();

    sqlite3* Handle() const { return db_; }
    // Rows changed by the last statement.
    int Changes() const;

  private:
    // SQLite's busy handler; the connection is its context.
    static int WaitWhenBusy(void* connection, int attempt);

    sqlite3* db_ = nullptr;
    TSliceTurns* turns_ = nullptr;
    std::chrono::steady_clock::time_point busySince_; // the first try at the lock met now
};

// Prepares the first statement of the text and binds the values to its parameters in order:
// "Error executing SQL" when SQLite refuses it,
// "Could not prepare SQL statement" when the text holds no statement. A locked file is
// reported as running the statement would report it: through RaiseBusy for a query, as
// "Error executing SQL statement" otherwise.
sqlite3_stmt* PrepareStatement(const TSQLiteDatabase& db, const std::string& sql, bool forQuery,
                               const TSQLValues& values);

// A query met a database locked by another program, which is not waited for.
[[noreturn]] void RaiseBusy(const std::string& sql);

} // namespace tw
