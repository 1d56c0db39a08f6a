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
    tw::TAppearance& Look() { return folder_.Appearance(); }
    std::string Path() { return folder_.Settings().FileName(); }
    void Restart() { folder_.Restart(); }

    twtest::TestDataFolder folder_{tw::EncodeDate(2026, 3, 14)};
};

TEST_F(AppearanceTest, FreshProfileHasTheDefaults) {
    EXPECT_FALSE(Look().GetAutohide());
    EXPECT_EQ(Look().GetAlign(), 1);
    EXPECT_EQ(Look().GetAlignVertical(), 0);
    EXPECT_EQ(Look().GetColor(), 0);
    EXPECT_EQ(Look().GetTextColor(), 16777215);
    EXPECT_EQ(Look().GetTransparency(), 10);
    EXPECT_EQ(Look().GetImage(), "");
    EXPECT_FALSE(fs::exists(Path()));
}

TEST_F(AppearanceTest, SettingsSurviveARestart) {
    Look().SetAutohide(true);
    Look().SetAlign(2);
    Look().SetAlignVertical(1);
    Look().SetColor(0x336699);
    Look().SetTextColor(0);
    Look().SetTransparency(35);
    Look().SetImage("/skins/wood.png");
    Restart();
    EXPECT_TRUE(Look().GetAutohide());
    EXPECT_EQ(Look().GetAlign(), 2);
    EXPECT_EQ(Look().GetAlignVertical(), 1);
    EXPECT_EQ(Look().GetColor(), 0x336699);
    EXPECT_EQ(Look().GetTextColor(), 0);
    EXPECT_EQ(Look().GetTransparency(), 35);
    EXPECT_EQ(Look().GetImage(), "/skins/wood.png");
}

TEST_F(AppearanceTest, AlignSetToItsCachedValueLeavesTheFileAlone) {
    ASSERT_EQ(Look().GetAlign(), 1);
    Look().SetAlign(1);
    EXPECT_FALSE(fs::exists(Path()));

    Look().SetAlign(2);
    ASSERT_EQ(ReadAll(Path()), "[Position]\nAlign=2\n");
    // Someone else's edit is not seen and not overwritten by an unchanged value.
    WriteAll(Path(), "[Position]\nAlign=1\n");
    Look().SetAlign(2);
    EXPECT_EQ(ReadAll(Path()), "[Position]\nAlign=1\n");
    EXPECT_EQ(Look().GetAlign(), 2);
}

TEST_F(AppearanceTest, OnlyAutohideFollowsLaterFileEdits) {
    Look().GetAutohide();
    Look().GetColor();
    Look().GetTextColor();
    Look().GetTransparency();
    Look().GetAlign();
    WriteAll(Path(), "[Position]\nAutohide=1\nAlign=2\n"
                     "[Background]\nColor=5\nTextColor=6\nTransparency=70\n");
    EXPECT_TRUE(Look().GetAutohide());
    EXPECT_EQ(Look().GetAlign(), 1);
    EXPECT_EQ(Look().GetColor(), 0);
    EXPECT_EQ(Look().GetTextColor(), 16777215);
    EXPECT_EQ(Look().GetTransparency(), 10);
}

TEST_F(AppearanceTest, AlignVerticalNoneIsAskedForAgain) {
    EXPECT_EQ(Look().GetAlignVertical(), 0);
    WriteAll(Path(), "[Position]\nAlignVertical=2\n");
    EXPECT_EQ(Look().GetAlignVertical(), 2);

    // Returning to "none" before anything was read must still reach the file.
    Restart();
    Look().SetAlignVertical(0);
    Restart();
    EXPECT_EQ(Look().GetAlignVertical(), 0);
    EXPECT_EQ(ReadAll(Path()), "[Position]\nAlignVertical=0\n");
}

TEST_F(AppearanceTest, ImageChangesReachTheHandlerAndTheFile) {
    std::vector<std::string> reloads;
    Look().SetImageChangedHandler([&](const std::string& path) { reloads.push_back(path); });
    Look().SetImage("C:\\Skins\\a=b.png");
    Look().SetImage("");
    EXPECT_EQ(reloads, (std::vector<std::string>{"C:\\Skins\\a=b.png", ""}));
    EXPECT_EQ(folder_.Settings().ReadString("Background", "Image", "?"), "");

    // An empty image is asked for again, so a path stored meanwhile is picked up.
    WriteAll(Path(), "[Background]\nImage=/skins/b.png\n");
    EXPECT_EQ(Look().GetImage(), "/skins/b.png");
    WriteAll(Path(), "[Background]\nImage=/skins/c.png\n");
    EXPECT_EQ(Look().GetImage(), "/skins/b.png");
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
