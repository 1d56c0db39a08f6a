#include "platform/program_paths.h"
#include "storage/error_log.h"
#include "storage/places.h"
#include "storage/seed_data_folder.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class SeedDataFolderTest : public testing::Test {
  protected:
    SeedDataFolderTest() { fs::create_directories(program_.Path() / "bin"); }
    // Found as at a start: from the executable and what lies around it now.
    tw::TPlaces Places() const {
        return tw::PlacesOf(data_.Path().string(),
                            (program_.Path() / "bin" / "tallywick").string());
    }
    static void Write(const fs::path& file, const std::string& text) {
        twtest::WriteAll(file.string(), text);
    }
    static std::string Read(const fs::path& file) { return twtest::ReadAll(file.string()); }
    fs::path Bin(const char* name) { return program_.Path() / "bin" / name; }
    fs::path Data(const char* name) { return data_.Path() / name; }

    twtest::TempDir program_;
    twtest::TempDir data_;
    tw::TErrorLog log_;
};

// A build tree, or a copy with its files beside it: the executable's own folder.
TEST_F(SeedDataFolderTest, FreshProfileGetsBothTemplates) {
    EXPECT_EQ(Places().programFolder, Bin("").string());
    Write(Bin("settings.sqlite"), "settings template");
    Write(Bin("actmondb.sqlite"), "activity template");
    EXPECT_TRUE(tw::SeedDataFolder(Places(), log_).seededAfresh)
        << "a fresh list, untrusted at this start";
    EXPECT_EQ(Read(Data("settings.sqlite")), "settings template");
    EXPECT_EQ(Read(Data("actmondb.sqlite")), "activity template");
}

TEST_F(SeedDataFolderTest, ExistingSettingsAreNeverReplaced) {
    Write(Bin("settings.sqlite"), "settings template");
    Write(Bin("actmondb.sqlite"), "activity template");
    Write(Data("settings.sqlite"), "the user's settings");
    EXPECT_FALSE(tw::SeedDataFolder(Places(), log_).seededAfresh);
    EXPECT_EQ(Read(Data("settings.sqlite")), "the user's settings");
    EXPECT_FALSE(fs::exists(Data("actmondb.sqlite")));
}

// A broken install is said, naming the folder looked in, and nothing is made in its place:
// with no template, or with only one of the two.
TEST_F(SeedDataFolderTest, MissingTemplatesAreABrokenInstallAndCopyNothing) {
    for (bool withSettings : {false, true}) {
        if (withSettings) {
            Write(Bin("settings.sqlite"), "settings template");
        }
        try {
            tw::SeedDataFolder(Places(), log_);
            ADD_FAILURE() << "no error for a broken install";
        } catch (const tw::ETemplatesMissing& e) {
            EXPECT_NE(std::string(e.what()).find(Places().programFolder), std::string::npos)
                << e.what();
        }
        EXPECT_TRUE(fs::is_empty(data_.Path()));
    }
}

// An installed copy: the executable in bin/, what it ships in share/tallywick/ beside it,
// found from the executable wherever the prefix is.
TEST_F(SeedDataFolderTest, AnInstalledCopySeedsFromItsSharedProgramFolder) {
    const fs::path shared = program_.Path() / "share" / "tallywick";
    fs::create_directories(shared);
    Write(shared / "settings.sqlite", "installed settings");
    Write(shared / "actmondb.sqlite", "installed activity");
    EXPECT_EQ(Places().programFolder, shared.string() + "/");
    tw::SeedDataFolder(Places(), log_);
    EXPECT_EQ(Read(Data("settings.sqlite")), "installed settings");
    EXPECT_EQ(Read(Data("actmondb.sqlite")), "installed activity");
}

} // namespace
