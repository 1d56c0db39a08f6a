// The running program keeps its single-instance lock when people delete the lock file, and
// ends when another copy took it meanwhile or the uninstaller left its marker.
#include "app/program.h"
#include "app/program_files.h"
#include "app/timer_loop.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_instance_lock.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "support/file_text.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(ProgramLockWatchTest, ADeletedLockIsTakenAgainAndOneTakenByAnotherCopyEndsThisOne) {
    for (const bool anotherCopyStarted : {false, true}) {
        SCOPED_TRACE(anotherCopyStarted ? "another copy started" : "nobody else");
        twtest::TestDataFolder folder(tw::EncodeDate(2026, 3, 2) + 0.5);
        const std::vector<std::string>& errors = folder.Log().Lines();
        auto machine = std::make_shared<tw::TFakeLockRegistry>();
        tw::TFakeDesktop desktop;
        tw::TFakeInstanceLocks locks(machine);
        tw::TTimerLoop timers;
        tw::TProgram program(desktop, locks, timers, folder.ProgramClock(), folder.Places(),
                             folder.Log());
        ASSERT_TRUE(program.TakeInstanceLock());
        int ended = 0;
        program.WatchForTheEnd([&] { ++ended; });

        machine->held.erase(tw::LockPath(folder.Places())); // the file deleted
        tw::TFakeDesktop otherDesktop;
        tw::TFakeInstanceLocks otherLocks(machine);
        tw::TTimerLoop otherTimers;
        tw::TProgram other(otherDesktop, otherLocks, otherTimers, folder.ProgramClock(),
                           folder.Places(), folder.Log());
        if (anotherCopyStarted) {
            ASSERT_TRUE(other.TakeInstanceLock());
        }
        for (int watch = 1; watch <= 3; ++watch) {
            timers.FireDue(std::chrono::steady_clock::now() + std::chrono::seconds(watch),
                           [](const std::exception& e) { ADD_FAILURE() << e.what(); });
        }
        EXPECT_EQ(ended, anotherCopyStarted ? 1 : 0);
        EXPECT_EQ(errors.size(), anotherCopyStarted ? 1u : 0u);
        if (!anotherCopyStarted) {
            EXPECT_FALSE(other.TakeInstanceLock()) << "the lock was taken again";
        }
        program.Finish();
        EXPECT_EQ(machine->held.count(tw::LockPath(folder.Places())), anotherCopyStarted ? 1u : 0u)
            << "the other copy keeps its lock";
    }
}

// The program folder is the build's, shared by every test: a test's uninstall marker goes
// beside a program of its own, in its data folder.
tw::TPlaces BesideAProgramOfItsOwn(twtest::TestDataFolder& folder) {
    tw::TPlaces places = folder.Places();
    places.programFolder = places.dataFolder;
    return places;
}

// A marker from before the start (an interrupted uninstall, or made by anybody) is no order:
// the start removes it and says so, and only one made while the program runs ends it.
TEST(ProgramLockWatchTest, OnlyAnUninstallMarkerMadeWhileTheProgramRunsEndsIt) {
    namespace fs = std::filesystem;
    twtest::TestDataFolder folder(tw::EncodeDate(2026, 3, 2) + 0.5);
    const tw::TPlaces places = BesideAProgramOfItsOwn(folder);
    const std::string marker = tw::UninstallFlagPath(places);
    twtest::WriteAll(marker, "");
    const std::vector<std::string>& errors = folder.Log().Lines();
    tw::TFakeDesktop desktop;
    tw::TFakeInstanceLocks locks;
    tw::TTimerLoop timers;
    tw::TProgram program(desktop, locks, timers, folder.ProgramClock(), places, folder.Log());
    ASSERT_TRUE(program.TakeInstanceLock());
    int ended = 0;
    program.WatchForTheEnd([&] { ++ended; });
    auto watch = [&timers](int seconds) {
        timers.FireDue(std::chrono::steady_clock::now() + std::chrono::seconds(seconds),
                       [](const std::exception& e) { ADD_FAILURE() << e.what(); });
    };
    for (int second = 1; second <= 3; ++second) {
        watch(second);
    }
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(std::count_if(errors.begin(), errors.end(),
                            [](const std::string& e) {
                                return e.find("uninstall marker") != std::string::npos;
                            }),
              1);

    twtest::WriteAll(marker, "");
    watch(4);
    EXPECT_EQ(ended, 1);
    program.Finish();
}

// A marker the person may not remove (a program folder of the system's) is ignored while it
// stays as it was; written anew, it is an order again.
TEST(ProgramLockWatchTest, AMarkerThatCannotBeRemovedCountsOnceWrittenAnew) {
    namespace fs = std::filesystem;
    twtest::TestDataFolder folder(tw::EncodeDate(2026, 3, 2) + 0.5);
    const tw::TPlaces places = BesideAProgramOfItsOwn(folder);
    const std::string marker = tw::UninstallFlagPath(places);
    EXPECT_FALSE(tw::UninstallRequested(places, std::nullopt));
    twtest::WriteAll(marker, "");
    const fs::file_time_type found = fs::last_write_time(marker);
    EXPECT_TRUE(tw::UninstallRequested(places, std::nullopt));
    EXPECT_FALSE(tw::UninstallRequested(places, found));
    fs::last_write_time(marker, found + std::chrono::seconds(1));
    EXPECT_TRUE(tw::UninstallRequested(places, found));
}

} // namespace
