#include "storage/date_format.h"
#include "storage/error_log.h"
#include "support/collecting_log.h"
#include "support/file_text.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using twtest::ReadAll;

const tw::TDateTime Now = tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour;

// What a person finds in the log: time-stamped entries, progress only when asked for, and
// never more than about two megabytes however long the program runs.
TEST(ErrorLogTest, TimeStampedBoundedAndDiagnosticsOnlyOnRequest) {
    twtest::TestDataFolder folder(Now);
    tw::TErrorLog log(folder.Places().LogFilePath());
    log.SetClock(&folder.ProgramClock());
    log.SetDiagnosticsEnabled(false);
    log.Report("ErrorClassName: ESQLiteException; X.Y: first\rsecond line");
    log.Trace("tmrScanTimer started");
    EXPECT_EQ(ReadAll(log.FilePath()), "2026-12-07 10:00:00 ErrorClassName: "
                                       "ESQLiteException; X.Y: first\n    second line\n");
    log.SetDiagnosticsEnabled(true);
    folder.Clock().Advance(1);
    log.Trace("tmrScanTimer ended");
    EXPECT_NE(ReadAll(log.FilePath()).find("2026-12-07 10:00:01 trace: tmrScanTimer ended\n"),
              std::string::npos);

    const std::string filler(500, 'x');
    for (int i = 0; i < 5000; ++i) {
        log.Report("entry " + std::to_string(i) + " " + filler);
    }
    const std::string current = ReadAll(log.FilePath());
    const std::string older = ReadAll(log.OlderFilePath());
    EXPECT_LE(current.size(), tw::MaxLogFileBytes);
    EXPECT_GT(older.size(), tw::MaxLogFileBytes - 1000);
    EXPECT_LE(older.size(), tw::MaxLogFileBytes);
    EXPECT_NE(current.find("entry 4999 "), std::string::npos);
    EXPECT_EQ(older.find("entry 0 "), std::string::npos); // the oldest have gone
    int logs = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        logs += entry.path().extension() == ".log";
    }
    EXPECT_EQ(logs, 2);
}

TEST(ErrorLogTest, AFolderThatCannotBeWrittenFailsNobody) {
    twtest::TempDir dir;
    const std::string blocked = dir.File("file-not-folder");
    twtest::WriteAll(blocked, "");
    twtest::TCollectingLog log(blocked + "/Tallywick.V3/tallywick.log");
    EXPECT_NO_THROW(log.Report("ErrorClassName: Exception; X.Y: lost"));
    // what the log is told still reaches who listens to it
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"ErrorClassName: Exception; X.Y: lost"});
}

} // namespace
