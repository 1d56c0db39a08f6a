// Storage on a Windows path whose folders are not ASCII, as for a user named Zoë: every
// file the program keeps is made, found and read back there.
#include "platform/native_path.h"
#include "platform/win32/win32_text.h"
#include "storage/data_folder.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string FileText(const std::string& path) {
    std::ifstream file(tw::NativePath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(Win32StorageTest, EveryFileIsKeptInFoldersWithNonAsciiLetters) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string root = tw::Utf8Text(temp, MAX_PATH) + "tallywick-storage-" +
                             std::to_string(GetCurrentProcessId()) + "\\";
    const std::string programs = root + "Programme Zoë\\";
    const std::string data = root + "Zoë Ωμέγα\\Tallywick.V3\\";
    fs::create_directories(tw::NativePath(programs));
    for (const char* name : {"settings.sqlite", "actmondb.sqlite"}) {
        fs::copy_file(twtest::OwnFolder() + "bin\\" + name, tw::NativePath(programs + name));
    }
    {
        tw::TSystemClockSource source;
        tw::TClock clock(source);
        tw::TErrorLog log;
        tw::TDataFolder folder(tw::PlacesOf(data, programs + "Tallywick.exe"), clock, log);
        log.SetFilePath(folder.Places().LogFilePath());

        tw::SeedDataFolder(folder.Places(), log);
        EXPECT_EQ(FileText(data + "actmondb.sqlite"), FileText(programs + "actmondb.sqlite"));
        {
            tw::TOptions options(folder);
            ASSERT_FALSE(options.LoadFailed());
            options.Edit().Reminders[0] = "Ζωή's memo";
            auto item = std::make_unique<tw::TMonitoredItem>();
            item->Name = programs + "Παιχνίδι.exe";
            item->Caption = "Παιχνίδι";
            item->ItemType = tw::TMonitoredItemType::mitApp;
            options.Edit().MonitoredList.Add("Παιχνίδι", std::move(item));
            ASSERT_TRUE(options.Save());
        }
        {
            tw::TOptions stored(folder);
            stored.MakeReadOnly();
            EXPECT_EQ(stored.Values().Reminders[0], "Ζωή's memo");
            ASSERT_EQ(stored.Values().MonitoredList.Count(), 1);
            EXPECT_EQ(stored.Values().MonitoredList.Items(0).Name, programs + "Παιχνίδι.exe");
        }

        const std::string picture = data + "Εικόνα.png";
        folder.Settings().WriteString("Background", "Image", picture);
        EXPECT_EQ(tw::TSettingsFile(folder.Places().SettingsFilePath(), log)
                      .ReadString("Background", "Image", ""),
                  picture);
        EXPECT_NE(FileText(data + "Tallywick.ini").find(picture), std::string::npos);

        log.Report("ErrorClassName: Exception; Win32StorageTest: Ζωή");
        EXPECT_EQ(log.FilePath(), data + "Tallywick.log");
        EXPECT_NE(FileText(log.FilePath()).find("Win32StorageTest: Ζωή"), std::string::npos);
    }
    std::error_code ignored;
    fs::remove_all(tw::NativePath(root), ignored);
}

} // namespace
