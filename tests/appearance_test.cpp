#include "storage/appearance.h"

#include "platform/file_checks.h"
#include "storage/date_format.h"
#include "storage/settings_file.h"
#include "support/file_text.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using twtest::ReadAll;
using twtest::WriteAll;

class AppearanceTest : public ::testing::Test {
  protected:
    void TearDown() override { tw::SetImageChangedHandler({}); }
    std::string Path() { return tw::SettingsFile().FileName(); }
    void Restart() { folder_.Restart(); }

    twtest::TestDataFolder folder_{tw::EncodeDate(2026, 3, 14)};
};

TEST_F(AppearanceTest, FreshProfileHasTheDefaults) {
    EXPECT_FALSE(tw::GetAutohide());
    EXPECT_EQ(tw::GetAlign(), 1);
    EXPECT_EQ(tw::GetAlignVertical(), 0);
    EXPECT_EQ(tw::GetColor(), 0);
    EXPECT_EQ(tw::GetTextColor(), 16777215);
    EXPECT_EQ(tw::GetTransparency(), 10);
    EXPECT_EQ(tw::GetImage(), "");
    EXPECT_FALSE(fs::exists(Path()));
}

TEST_F(AppearanceTest, SettingsSurviveARestart) {
    tw::SetAutohide(true);
    tw::SetAlign(2);
    tw::SetAlignVertical(1);
    tw::SetColor(0x336699);
    tw::SetTextColor(0);
    tw::SetTransparency(35);
    tw::SetImage("/skins/wood.png");
    Restart();
    EXPECT_TRUE(tw::GetAutohide());
    EXPECT_EQ(tw::GetAlign(), 2);
    EXPECT_EQ(tw::GetAlignVertical(), 1);
    EXPECT_EQ(tw::GetColor(), 0x336699);
    EXPECT_EQ(tw::GetTextColor(), 0);
    EXPECT_EQ(tw::GetTransparency(), 35);
    EXPECT_EQ(tw::GetImage(), "/skins/wood.png");
}

TEST_F(AppearanceTest, AlignSetToItsCachedValueLeavesTheFileAlone) {
    ASSERT_EQ(tw::GetAlign(), 1);
    tw::SetAlign(1);
    EXPECT_FALSE(fs::exists(Path()));

    tw::SetAlign(2);
    ASSERT_EQ(ReadAll(Path()), "[Position]\nAlign=2\n");
    // Someone else's edit is not seen and not overwritten by an unchanged value.
    WriteAll(Path(), "[Position]\nAlign=1\n");
    tw::SetAlign(2);
    EXPECT_EQ(ReadAll(Path()), "[Position]\nAlign=1\n");
    EXPECT_EQ(tw::GetAlign(), 2);
}

TEST_F(AppearanceTest, OnlyAutohideFollowsLaterFileEdits) {
    tw::GetAutohide();
    tw::GetColor();
    tw::GetTextColor();
    tw::GetTransparency();
    tw::GetAlign();
    WriteAll(Path(), "[Position]\nAutohide=1\nAlign=2\n"
                     "[Background]\nColor=5\nTextColor=6\nTransparency=70\n");
    EXPECT_TRUE(tw::GetAutohide());
    EXPECT_EQ(tw::GetAlign(), 1);
    EXPECT_EQ(tw::GetColor(), 0);
    EXPECT_EQ(tw::GetTextColor(), 16777215);
    EXPECT_EQ(tw::GetTransparency(), 10);
}

TEST_F(AppearanceTest, AlignVerticalNoneIsAskedForAgain) {
    EXPECT_EQ(tw::GetAlignVertical(), 0);
    WriteAll(Path(), "[Position]\nAlignVertical=2\n");
    EXPECT_EQ(tw::GetAlignVertical(), 2);

    // Returning to "none" before anything was read must still reach the file.
    Restart();
    tw::SetAlignVertical(0);
    Restart();
    EXPECT_EQ(tw::GetAlignVertical(), 0);
    EXPECT_EQ(ReadAll(Path()), "[Position]\nAlignVertical=0\n");
}

TEST_F(AppearanceTest, ImageChangesReachTheHandlerAndTheFile) {
    std::vector<std::string> reloads;
    tw::SetImageChangedHandler([&](const std::string& path) { reloads.push_back(path); });
    tw::SetImage("C:\\Skins\\a=b.png");
    tw::SetImage("");
    EXPECT_EQ(reloads, (std::vector<std::string>{"C:\\Skins\\a=b.png", ""}));
    EXPECT_EQ(tw::SettingsFile().ReadString("Background", "Image", "?"), "");

    // An empty image is asked for again, so a path stored meanwhile is picked up.
    WriteAll(Path(), "[Background]\nImage=/skins/b.png\n");
    EXPECT_EQ(tw::GetImage(), "/skins/b.png");
    WriteAll(Path(), "[Background]\nImage=/skins/c.png\n");
    EXPECT_EQ(tw::GetImage(), "/skins/b.png");
}

TEST(FileChecksTest, TellFilesFromFoldersAndMissingPaths) {
    twtest::TempDir dir;
    std::string file = dir.File("skin.png");
    WriteAll(file, "x");
    EXPECT_TRUE(tw::FileExistsChecked(file));
    EXPECT_FALSE(tw::DirectoryExistsChecked(file));
    EXPECT_TRUE(tw::DirectoryExistsChecked(dir.Path().string()));
    EXPECT_FALSE(tw::FileExistsChecked(dir.Path().string()));
    EXPECT_FALSE(tw::FileExistsChecked(dir.File("missing.png")));
    EXPECT_FALSE(tw::FileExistsChecked(""));
    EXPECT_FALSE(tw::DirectoryExistsChecked(""));
    EXPECT_FALSE(tw::FileExistsChecked("Q:\\x.png"));
    EXPECT_FALSE(tw::DirectoryExistsChecked("Q:\\"));
    EXPECT_FALSE(tw::FileExistsChecked(std::string(5000, 'a')));
}

} // namespace
