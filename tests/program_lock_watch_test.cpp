// The running program keeps its single-instance lock when people delete the lock file, and
// ends when another copy took it meanwhile.
#include "app/program.h"
#include "app/program_files.h"
#include "app/timer_loop.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_instance_lock.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <chrono>
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
        tw::TProgram program(desktop, locks, timers, folder.Places(), folder.Log());
        ASSERT_TRUE(program.TakeInstanceLock());
        int ended = 0;
        program.WatchForTheEnd([&] { ++ended; });

        machine->held.erase(tw::LockPath(folder.Places())); // the file deleted
        tw::TFakeDesktop otherDesktop;
        tw::TFakeInstanceLocks otherLocks(machine);
        tw::TTimerLoop otherTimers;
        tw::TProgram other(otherDesktop, otherLocks, otherTimers, folder.Places(), folder.Log());
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

} // namespace
