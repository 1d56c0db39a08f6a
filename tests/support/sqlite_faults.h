#pragma once

#include <memory>
#include <string>

struct sqlite3;

namespace twtest {

// Faults of real SQLite files on demand, for tests running as a user whom file modes do not
// stop: writes to a file (and its journals) fail as on a read-only file or a full disk.
// Installs itself as SQLite's default file layer the first time it is used.
enum class TWriteFault { None, ReadOnly, Full };
void SetWriteFault(const std::string& databasePath, TWriteFault fault);
void ClearWriteFaults();

// Another program holding the database: an exclusive transaction on a connection of its own,
// kept until the object goes.
class THeldDatabase {
  public:
    explicit THeldDatabase(const std::string& path);
    ~THeldDatabase();
    THeldDatabase(const THeldDatabase&) = delete;
    THeldDatabase& operator=(const THeldDatabase&) = delete;
    // False when the file could not be taken (it was locked or damaged itself).
    bool Held() const { return held_; }

  private:
    ::sqlite3* db_ = nullptr;
    bool held_ = false;
};

} // namespace twtest
