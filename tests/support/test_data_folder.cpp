#include "support/test_data_folder.h"

#include "platform/file_privacy.h"
#include "platform/native_path.h"
#include "storage/clock_trust.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "support/build_folder.h"

#include <filesystem>

namespace twtest {

TestDataFolder::TestDataFolder(tw::TDateTime now)
    : TestDataFolder(now, std::filesystem::temp_directory_path()) {}

TestDataFolder::TestDataFolder(tw::TDateTime now, const std::filesystem::path& under)
    : dir_(under), clock_(now) {
    namespace fs = std::filesystem;
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        fs::copy_file(BuildProgramFolder() / name, dir_.Path() / name);
    }
    // Private, as the program's own seeding leaves it: the program reports a folder open to
    // other accounts.
    tw::MakeFolderPrivate(tw::Utf8Path(dir_.Path()));
    RestartClock();
    log_.SetFilePath(Places().LogFilePath());
}

TestDataFolder::~TestDataFolder() {
    log_.SetClock(nullptr);
}

void TestDataFolder::RestartClock() {
    data_.reset();
    programClock_ = std::make_unique<tw::TClock>(clock_);
    log_.SetClock(programClock_.get());
    Restart();
}

void TestDataFolder::Restart() {
    data_.reset();
    // A program beside the template databases, which a repair copies afresh.
    data_ = std::make_unique<tw::TDataFolder>(
        tw::PlacesOf(tw::Utf8Path(dir_.Path()), tw::Utf8Path(BuildProgramFolder() / "tallywick")),
        *programClock_, log_);
}

void TestDataFolder::Exec(const std::string& file, const std::string& sql) const {
    tw::TSQLiteDatabase db(File(file));
    db.ExecSQL(sql);
}

std::string TestDataFolder::Scalar(const std::string& file, const std::string& sql) const {
    tw::TSQLiteDatabase db(File(file));
    auto table = db.GetTable(sql);
    return table->First() ? table->ValueAsText(0) : std::string();
}

} // namespace twtest
