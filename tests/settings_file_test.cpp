#include "storage/settings_file.h"

#include "base/exception.h"
#include "platform/program_paths.h"
#include "storage/data_folder.h"
#include "storage/error_log.h"
#include "support/collecting_log.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

namespace fs = std::filesystem;
using Pairs = std::vector<std::pair<std::string, std::string>>;

using twtest::ReadAll;
using twtest::WriteAll;

class SettingsFileTest : public ::testing::Test {
  protected:
    tw::TSettingsFile& File() { return file_; }
    std::string Path() { return file_.FileName(); }

    twtest::TempDir dir_;
    tw::TPlaces places_ = tw::PlacesOf(dir_.Path().string(), tw::ProgramPath());
    twtest::TCollectingLog log_;
    tw::TSettingsFile file_{places_.SettingsFilePath(), log_};
    const std::vector<std::string>& reports_ = log_.Lines();
};

TEST_F(SettingsFileTest, LivesInTheDataFolderUnderTheProgramName) {
    EXPECT_EQ(Path(), places_.dataFolder + tw::ProgramBaseName(tw::ProgramPath()) + ".ini");
    EXPECT_EQ(places_.dataFolder, dir_.Path().string() + tw::PathDelim);

    twtest::TempDir other;
    std::string nested = (other.Path() / "a" / "b").string();
    const tw::TPlaces places = tw::PlacesOf(nested, tw::ProgramPath());
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_EQ(places.SettingsFilePath(),
              nested + tw::PathDelim + tw::ProgramBaseName(tw::ProgramPath()) + ".ini");
}

TEST_F(SettingsFileTest, MissingFileReadsDefaultsWithoutCreatingIt) {
    EXPECT_TRUE(File().ReadBool("Common", "Show5MinButton", true));
    EXPECT_EQ(File().ReadInteger("Position", "Align", 1), 1);
    EXPECT_EQ(File().ReadString("Background", "Image", "none"), "none");
    EXPECT_TRUE(File().ReadSectionValues("WebSites").empty());
    EXPECT_FALSE(File().SectionExists("Common"));
    File().EraseSection("Common");
    File().DeleteKey("Common", "TimeLimitSeconds");
    EXPECT_FALSE(fs::exists(Path()));
    EXPECT_TRUE(reports_.empty());
}

TEST_F(SettingsFileTest, WritesAndReadsEveryValueForm) {
    File().WriteBool("Common", "ExpirationActionChanged", true);
    File().WriteBool("Common", "TimeLimitSecondsChanged", false);
    File().WriteInteger("Background", "Color", -123);
    File().WriteString("Background", "Image", " C:\\Skins\\a=b.png ");
    EXPECT_EQ(ReadAll(Path()), "[Common]\nExpirationActionChanged=1\nTimeLimitSecondsChanged=0\n"
                               "[Background]\nColor=-123\nImage= C:\\Skins\\a=b.png \n");
    EXPECT_TRUE(File().ReadBool("Common", "ExpirationActionChanged", false));
    EXPECT_FALSE(File().ReadBool("Common", "TimeLimitSecondsChanged", true));
    EXPECT_EQ(File().ReadInteger("Background", "Color", 0), -123);
    EXPECT_EQ(File().ReadString("Background", "Image", ""), " C:\\Skins\\a=b.png ");
    EXPECT_TRUE(reports_.empty());
}

TEST_F(SettingsFileTest, NamesIgnoreCaseButValuesKeepIt) {
    File().WriteString("Position", "Align", "Two");
    File().WriteString("POSITION", "ALIGN", "tWO");
    EXPECT_EQ(File().ReadString("position", "align", ""), "tWO");
    EXPECT_EQ(File().ReadSectionValues("Position"), (Pairs{{"Align", "tWO"}}));
    EXPECT_TRUE(File().SectionExists("pOsItIoN"));
}

TEST_F(SettingsFileTest, ValuesThatAreNotIntegersReadAsTheDefault) {
    WriteAll(Path(), "[Common]\nA=abc\nB=12abc\nC=\nD=99999999999\nE=0x10\nF= 7 \nG=+5\n"
                     "H=2\nI=0\nJ=yes\n");
    for (const char* key : {"A", "B", "C", "D", "E"}) {
        EXPECT_EQ(File().ReadInteger("Common", key, -1), -1) << key;
        EXPECT_TRUE(File().ReadBool("Common", key, true)) << key;
        EXPECT_FALSE(File().ReadBool("Common", key, false)) << key;
    }
    EXPECT_EQ(File().ReadInteger("Common", "F", -1), 7);
    EXPECT_EQ(File().ReadInteger("Common", "G", -1), 5);
    EXPECT_TRUE(File().ReadBool("Common", "H", false));
    EXPECT_FALSE(File().ReadBool("Common", "I", true));
    EXPECT_TRUE(File().ReadBool("Common", "J", true));
    EXPECT_EQ(File().ReadString("Common", "F", ""), " 7 ");
}

// Pending removals use a watched item's name as the key: web addresses carry '=' and
// '%', and nothing in a key or value may start a line of its own.
TEST_F(SettingsFileTest, AwkwardKeysAndValuesRoundTripWithoutBreakingLines) {
    const Pairs written = {{"example.com/watch?v=1&b=2", "example.com/watch?v=1&b=2"},
                           {"a%20b 100%", "x%0Ay"},
                           {"[Common]", ";not a comment"},
                           {" padded ", "two\r\nlines\n[Common]\nTimeLimitSeconds=1"}};
    for (const auto& [key, value] : written) {
        File().WriteString("WebSites", key, value);
    }
    EXPECT_EQ(File().ReadSectionValues("WebSites"), written);
    EXPECT_FALSE(File().SectionExists("Common"));
    std::string content = ReadAll(Path());
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 5) << content;
    EXPECT_NE(content.find("=example.com/watch?v=1&b=2\n"), std::string::npos) << content;

    File().DeleteKey("WebSites", "EXAMPLE.com/watch?v=1&b=2");
    EXPECT_EQ(File().ReadSectionValues("WebSites").size(), 3u);
}

TEST_F(SettingsFileTest, KeepsByteOrderMarkLineEndsAndForeignLines) {
    WriteAll(Path(), "\xEF\xBB\xBF; kept comment\r\n[Position]\r\nAlign = 2\r\n\r\n"
                     "[Background]\r\nColor=255\r\nstray line\r\n");
    EXPECT_EQ(File().ReadInteger("Position", "Align", 1), 2);
    EXPECT_EQ(File().ReadString("Background", "Color", ""), "255");

    File().WriteInteger("Position", "AlignVertical", 1);
    File().WriteInteger("position", "align", 1);
    File().WriteInteger("Background", "Color", 0);
    EXPECT_EQ(ReadAll(Path()), "\xEF\xBB\xBF; kept comment\r\n[Position]\r\nAlign =1\r\n"
                               "AlignVertical=1\r\n\r\n[Background]\r\nColor=0\r\nstray line\r\n");
}

TEST_F(SettingsFileTest, SectionsListEraseAndDeleteInFileOrder) {
    WriteAll(Path(), "[Applications]\nC:\\b.exe=C:\\b.exe\n[Common]\nShow5MinButton=0\n"
                     "[applications]\nC:\\a.exe=C:\\a.exe\n\n[WebSites]\nx.com=x.com\n");
    EXPECT_EQ(File().ReadSectionValues("APPLICATIONS"),
              (Pairs{{"C:\\b.exe", "C:\\b.exe"}, {"C:\\a.exe", "C:\\a.exe"}}));
    EXPECT_FALSE(File().ReadBool("Common", "Show5MinButton", true));

    File().EraseSection("Applications");
    File().EraseSection("Common");
    EXPECT_FALSE(File().SectionExists("Applications"));
    EXPECT_TRUE(File().ReadBool("Common", "Show5MinButton", true));
    EXPECT_EQ(ReadAll(Path()), "[WebSites]\nx.com=x.com\n");

    File().DeleteKey("WebSites", "X.COM");
    EXPECT_TRUE(File().SectionExists("WebSites"));
    EXPECT_TRUE(File().ReadSectionValues("WebSites").empty());
    EXPECT_TRUE(reports_.empty());
}

TEST_F(SettingsFileTest, UnreadableFileIsReportedAndNeverReplaced) {
    fs::create_directory(Path());
    fs::path inside = fs::path(Path()) / "keep";
    WriteAll(inside.string(), "x");

    EXPECT_EQ(File().ReadInteger("Position", "Align", 1), 1);
    EXPECT_TRUE(File().ReadBool("Common", "Show5MinButton", true));
    ASSERT_EQ(reports_.size(), 2u);
    EXPECT_EQ(reports_[0].rfind("ErrorClassName: EInOutError; TSettingsFile.ReadInteger: ", 0), 0u)
        << reports_[0];

    File().WriteInteger("Position", "Align", 2);
    File().EraseSection("Common");
    ASSERT_EQ(reports_.size(), 4u);
    EXPECT_EQ(reports_[2].rfind("ErrorClassName: EInOutError; TSettingsFile.WriteInteger: ", 0), 0u)
        << reports_[2];
    EXPECT_TRUE(fs::is_directory(Path()));
    EXPECT_EQ(ReadAll(inside.string()), "x");
}

TEST_F(SettingsFileTest, FailedReplacementLeavesTheOldFileWhole) {
    const std::string old = "[Position]\nAlign=2\n";
    WriteAll(Path(), old);
    // The temporary file cannot be created where a folder already has its name.
    fs::create_directory(Path() + ".tmp");
    File().WriteInteger("Position", "Align", 1);
    EXPECT_EQ(ReadAll(Path()), old);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_NE(reports_[0].find("; TSettingsFile.WriteInteger: "), std::string::npos);
    fs::remove(Path() + ".tmp");

    File().WriteInteger("Position", "Align", 1);
    EXPECT_EQ(File().ReadInteger("Position", "Align", 0), 1);
}

#ifndef _WIN32
// A full disk, simulated by a file-size limit that the new text exceeds.
TEST_F(SettingsFileTest, FullDiskLeavesTheOldFileWholeAndNoLeftovers) {
    std::string old = "[Applications]\n";
    for (int i = 0; i < 100; ++i) {
        old += "C:\\Programs\\game" + std::to_string(i) + ".exe=x\n";
    }
    WriteAll(Path(), old);

    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 512;
    setrlimit(RLIMIT_FSIZE, &small);
    File().WriteString("Common", "TimeLimitSeconds", "3600");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadAll(Path()), old);
    EXPECT_FALSE(fs::exists(Path() + ".tmp"));
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_NE(reports_[0].find("; TSettingsFile.WriteString: "), std::string::npos);
}
#endif

TEST_F(SettingsFileTest, BrokenNamesAreProgrammingErrors) {
    EXPECT_THROW(File().ReadInteger("", "Align", 1), tw::EAssertionFailed);
    EXPECT_THROW(File().WriteInteger("Posi]tion", "Align", 1), tw::EAssertionFailed);
    EXPECT_THROW(File().WriteString("Common\n", "Key", ""), tw::EAssertionFailed);
    EXPECT_THROW(File().WriteString("Common", "", "x"), tw::EAssertionFailed);
}

} // namespace
