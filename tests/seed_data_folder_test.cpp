#include "platform/program_paths.h"
#include "storage/data_folder.h"
#include "storage/seed_data_folder.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class SeedDataFolderTest : public testing::Test {
  protected:
    SeedDataFolderTest() {
        fs::create_directories(program_.Path() / "bin");
        tw::SetProgramPathForTest((program_.Path() / "bin" / "tallywick").string());
        tw::SetDataFolderForTest(data_.Path().string());
    }
    ~SeedDataFolderTest() override {
        tw::SetProgramPathForTest("");
        tw::SetDataFolderForTest("");
    }
    static void Write(const fs::path& file, const std::string& text) {
        twtest::WriteAll(file.string(), text);
    }
    static std::string Read(const fs::path& file) { return twtest::ReadAll(file.string()); }
    fs::path Bin(const char* name) { return program_.Path() / "bin" / name; }
    fs::path Data(const char* name) { return data_.Path() / name; }

    twtest::TempDir program_;
    twtest::TempDir data_;
};

TEST_F(SeedDataFolderTest, FreshProfileGetsBothTemplates) {
    Write(Bin("settings.sqlite"), "settings template");
    Write(Bin("actmondb.sqlite"), "activity template");
    tw::SeedDataFolder();
    EXPECT_EQ(Read(Data("settings.sqlite")), "settings template");
    EXPECT_EQ(Read(Data("actmondb.sqlite")), "activity template");
}

TEST_F(SeedDataFolderTest, ExistingSettingsAreNeverReplaced) {
    Write(Bin("settings.sqlite"), "settings template");
    Write(Bin("actmondb.sqlite"), "activity template");
    Write(Data("settings.sqlite"), "the user's settings");
    tw::SeedDataFolder();
    EXPECT_EQ(Read(Data("settings.sqlite")), "the user's settings");
    EXPECT_FALSE(fs::exists(Data("actmondb.sqlite")));
}

TEST_F(SeedDataFolderTest, MissingTemplatesCopyNothing) {
    tw::SeedDataFolder();
    EXPECT_TRUE(fs::is_empty(data_.Path()));
}

} // namespace
