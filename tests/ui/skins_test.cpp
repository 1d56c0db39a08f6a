#include "skin/skins.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

TEST(EnumerateSkinsTest, MissingFolderGivesNoSkins) {
    twtest::TempDir dir;
    EXPECT_TRUE(tw::EnumerateSkins((dir.Path() / "Skins").string()).empty());
    EXPECT_TRUE(tw::EnumerateSkins("").empty());
}

TEST(EnumerateSkinsTest, PicturesOfSubfoldersSortedByNameWithoutRegardToCase) {
    twtest::TempDir dir;
    const fs::path skins = dir.Path() / "Skins";
    Touch(skins / "moss.png");
    Touch(skins / "Dusk.JPG");
    Touch(skins / "more" / "Autumn.gif");
    Touch(skins / "readme.txt");
    Touch(skins / "noextension");
    fs::create_directories(skins / "folder.png"); // a folder is no picture

    const tw::TSkinList list = tw::EnumerateSkins(skins.string());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (std::pair<std::string, std::string>{
                           "Autumn", (skins / "more" / "Autumn.gif").string()}));
    EXPECT_EQ(list[1].first, "Dusk");
    EXPECT_EQ(list[2].first, "moss");
}

TEST(EnumerateSkinsTest, OfTwoFilesWithOneNameTheLaterPathWins) {
    twtest::TempDir dir;
    const fs::path skins = dir.Path() / "Skins";
    Touch(skins / "Sea.bmp");
    Touch(skins / "z" / "sea.png");
    const tw::TSkinList list = tw::EnumerateSkins(skins.string());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].first, "Sea");
    EXPECT_EQ(list[0].second, (skins / "z" / "sea.png").string());
}

} // namespace
