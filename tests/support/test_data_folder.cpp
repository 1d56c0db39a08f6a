#include "support/test_data_folder.h"

#include "storage/activity_database.h"
#include "storage/appearance.h"
#include "storage/data_folder.h"
#include "storage/options.h"
#include "storage/settings_file.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

#include <filesystem>

namespace twtest {

TestDataFolder::TestDataFolder(tw::TDateTime now)
    : TestDataFolder(now, std::filesystem::temp_directory_path()) {}

TestDataFolder::TestDataFolder(tw::TDateTime now, const std::filesystem::path& under)
    : dir_(under), clock_(now), previousFolder_(tw::DataFolderSetForTest()) {
    namespace fs = std::filesystem;
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        fs::copy_file(fs::path(TALLYWICK_TEMPLATE_DIR) / name, dir_.Path() / name);
    }
    tw::SetDataFolderForTest(dir_.Path().string());
    tw::ClockInstallSource(&clock_);
    Restart();
}

TestDataFolder::~TestDataFolder() {
    Restart(); // the options object saves into this folder while it still exists
    tw::ClockInstallSource(nullptr);
    tw::SetDataFolderForTest(previousFolder_);
    tw::ReleaseSettingsFile();
    tw::ResetAppearanceCacheForTest();
}

void TestDataFolder::Restart() {
    tw::ReleaseSettingsFile();
    tw::ResetAppearanceCacheForTest();
    tw::ReleaseActivityDatabase();
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
