#include "support/test_data_folder.h"

#include "storage/data_folder.h"
#include "storage/settings_file.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

#include <filesystem>

namespace twtest {

TestDataFolder::TestDataFolder(tw::TDateTime now) : clock_(now) {
    namespace fs = std::filesystem;
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        fs::copy_file(fs::path(TALLYWICK_TEMPLATE_DIR) / name, dir_.Path() / name);
    }
    tw::SetDataFolderForTest(dir_.Path().string());
    tw::ReleaseSettingsFile();
    tw::ClockInstallSource(&clock_);
}

TestDataFolder::~TestDataFolder() {
    tw::ClockInstallSource(nullptr);
    tw::ReleaseSettingsFile();
    tw::SetDataFolderForTest("");
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
